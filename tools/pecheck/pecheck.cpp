// Checks a release build of the installer: it imports only the Windows
// system DLLs it is allowed to, it carries its manifest byte for byte as
// resource 24/1, and it prints its size. It runs on the build machine and
// reads the PE file itself, so it needs nothing from Windows.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

static bool ReadBytes(const char *pszPath, Bytes *pBytes)
{
    std::ifstream in(pszPath, std::ios::binary);
    if (!in)
        return false;
    pBytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

struct Image {
    const Bytes &bytes;
    size_t offSections = 0;
    unsigned cSections = 0;
    uint32_t rvaImports = 0;
    uint32_t rvaResources = 0;
};

static bool U16(const Bytes &b, size_t off, unsigned *pv)
{
    if (off + 2 > b.size())
        return false;
    *pv = b[off] | (b[off + 1] << 8);
    return true;
}

static bool U32(const Bytes &b, size_t off, uint32_t *pv)
{
    if (off + 4 > b.size())
        return false;
    *pv = b[off] | (b[off + 1] << 8) | (b[off + 2] << 16) | ((uint32_t)b[off + 3] << 24);
    return true;
}

static bool ParseHeaders(Image &img)
{
    uint32_t offPe = 0;
    unsigned magic = 0, cSections = 0, cbOptional = 0;
    uint32_t sig = 0;
    if (!U32(img.bytes, 0x3C, &offPe) || !U32(img.bytes, offPe, &sig) || sig != 0x4550)
        return false;
    size_t offCoff = offPe + 4;
    size_t offOptional = offCoff + 20;
    if (!U16(img.bytes, offCoff + 2, &cSections) || !U16(img.bytes, offCoff + 16, &cbOptional)
        || !U16(img.bytes, offOptional, &magic))
        return false;
    size_t offDirs = offOptional + (magic == 0x20B ? 112 : 96);   // PE32+ or PE32
    img.offSections = offOptional + cbOptional;
    img.cSections = cSections;
    return U32(img.bytes, offDirs + 8, &img.rvaImports)
        && U32(img.bytes, offDirs + 16, &img.rvaResources);
}

// The file offset of an address in the loaded image; 0 when no section holds it.
static size_t FileOffset(const Image &img, uint32_t rva)
{
    for (unsigned i = 0; i < img.cSections; i++) {
        size_t off = img.offSections + i * 40;
        uint32_t cbVirtual = 0, rvaStart = 0, cbRaw = 0, offRaw = 0;
        if (!U32(img.bytes, off + 8, &cbVirtual) || !U32(img.bytes, off + 12, &rvaStart)
            || !U32(img.bytes, off + 16, &cbRaw) || !U32(img.bytes, off + 20, &offRaw))
            return 0;
        if (rva >= rvaStart && rva < rvaStart + std::max(cbVirtual, cbRaw))
            return offRaw + (rva - rvaStart);
    }
    return 0;
}

static std::string CString(const Bytes &b, size_t off)
{
    std::string s;
    while (off < b.size() && b[off] != 0)
        s += (char)b[off++];
    return s;
}

static std::string Lower(std::string s)
{
    for (char &ch : s)
        ch = (char)std::tolower((unsigned char)ch);
    return s;
}

static bool ListImports(const Image &img, std::vector<std::string> *pDlls)
{
    size_t off = FileOffset(img, img.rvaImports);
    if (off == 0)
        return false;
    for (;; off += 20) {
        uint32_t rvaName = 0;
        if (!U32(img.bytes, off + 12, &rvaName))
            return false;
        if (rvaName == 0)
            return true;   // the all-zero descriptor ends the table
        pDlls->push_back(CString(img.bytes, FileOffset(img, rvaName)));
    }
}

// The entry with this numeric id in a resource directory, as an offset from
// the start of the resource section; 0 when there is none.
static uint32_t FindResourceEntry(const Image &img, size_t offBase, uint32_t offDir, unsigned id)
{
    unsigned cNamed = 0, cIds = 0;
    if (!U16(img.bytes, offBase + offDir + 12, &cNamed) || !U16(img.bytes, offBase + offDir + 14, &cIds))
        return 0;
    for (unsigned i = cNamed; i < cNamed + cIds; i++) {
        uint32_t entryId = 0, target = 0;
        size_t offEntry = offBase + offDir + 16 + i * 8;
        if (!U32(img.bytes, offEntry, &entryId) || !U32(img.bytes, offEntry + 4, &target))
            return 0;
        if (entryId == id)
            return target;
    }
    return 0;
}

static bool ReadManifest(const Image &img, Bytes *pManifest)
{
    const unsigned c_idManifestType = 24, c_idManifest = 1;
    size_t offBase = FileOffset(img, img.rvaResources);
    if (offBase == 0)
        return false;
    uint32_t type = FindResourceEntry(img, offBase, 0, c_idManifestType);
    if (!(type & 0x80000000))
        return false;
    uint32_t name = FindResourceEntry(img, offBase, type & 0x7FFFFFFF, c_idManifest);
    if (!(name & 0x80000000))
        return false;
    // Any language: the first entry of the last level.
    uint32_t offLangDir = name & 0x7FFFFFFF, data = 0, rvaData = 0, cbData = 0;
    if (!U32(img.bytes, offBase + offLangDir + 16 + 4, &data) || (data & 0x80000000)
        || !U32(img.bytes, offBase + data, &rvaData) || !U32(img.bytes, offBase + data + 4, &cbData))
        return false;
    size_t offData = FileOffset(img, rvaData);
    if (offData == 0 || offData + cbData > img.bytes.size())
        return false;
    pManifest->assign(img.bytes.begin() + offData, img.bytes.begin() + offData + cbData);
    return true;
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: pecheck <exe> <manifest> <allowed.dll>...\n");
        return 2;
    }
    Bytes exe, manifest, embedded;
    if (!ReadBytes(argv[1], &exe) || !ReadBytes(argv[2], &manifest)) {
        fprintf(stderr, "pecheck: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    Image img{exe};
    std::vector<std::string> dlls;
    if (!ParseHeaders(img) || !ListImports(img, &dlls)) {
        fprintf(stderr, "pecheck: %s is not a PE image with an import table\n", argv[1]);
        return 1;
    }
    std::vector<std::string> allowed;
    for (int i = 3; i < argc; i++)
        allowed.push_back(Lower(argv[i]));

    bool fOk = true;
    std::string imports;
    for (const std::string &dll : dlls) {
        imports += " " + dll;
        if (std::find(allowed.begin(), allowed.end(), Lower(dll)) == allowed.end()) {
            fprintf(stderr, "pecheck: %s imports %s, which is not a system DLL it may use\n",
                    argv[1], dll.c_str());
            fOk = false;
        }
    }
    if (!ReadManifest(img, &embedded) || embedded != manifest) {
        fprintf(stderr, "pecheck: %s does not carry %s as its manifest\n", argv[1], argv[2]);
        fOk = false;
    }
    printf("%s: %zu bytes (%.1f KiB); imports%s; manifest embedded: %s\n", argv[1], exe.size(),
           exe.size() / 1024.0, imports.c_str(), fOk ? "yes" : "NO");
    return fOk ? 0 : 1;
}
