#include "tools/resgen/resgen.h"
#include <cstdio>

void PutU8(Bytes &b, unsigned v)
{
    b.push_back((uint8_t)v);
}

void PutU16(Bytes &b, unsigned v)
{
    b.push_back((uint8_t)(v & 0xFF));
    b.push_back((uint8_t)((v >> 8) & 0xFF));
}

void PutU32(Bytes &b, uint32_t v)
{
    PutU16(b, v & 0xFFFF);
    PutU16(b, v >> 16);
}

// Callers check the length first; a short buffer reads as zeros rather
// than past its end.
unsigned GetU16(const Bytes &b, size_t off)
{
    if (off + 2 > b.size())
        return 0;
    return (unsigned)b[off] | ((unsigned)b[off + 1] << 8);
}

uint32_t GetU32(const Bytes &b, size_t off)
{
    return (uint32_t)GetU16(b, off) | ((uint32_t)GetU16(b, off + 2) << 16);
}

int32_t GetS32(const Bytes &b, size_t off)
{
    return (int32_t)GetU32(b, off);
}

bool ReadBytes(const std::string &path, Bytes &b, std::string &err)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (f == NULL) {
        err = "cannot open " + path;
        return false;
    }
    b.clear();
    uint8_t buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        b.insert(b.end(), buf, buf + n);
    bool fOk = !ferror(f);
    fclose(f);
    if (!fOk)
        err = "cannot read " + path;
    return fOk;
}

bool ReadLines(const std::string &path, std::vector<std::string> &lines, std::string &err)
{
    Bytes b;
    if (!ReadBytes(path, b, err))
        return false;
    lines.clear();
    std::string line;
    for (uint8_t c : b) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line.push_back((char)c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return true;
}

bool WriteBytes(const std::string &path, const Bytes &b, std::string &err)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (f == NULL) {
        err = "cannot create " + path;
        return false;
    }
    bool fOk = fwrite(b.data(), 1, b.size(), f) == b.size();
    if (fclose(f) != 0)
        fOk = false;
    if (!fOk) {
        remove(path.c_str());
        err = "cannot write " + path;
    }
    return fOk;
}
