// Fuzzes packcheck's zip reader, which reads zips anyone may have made.
// The first byte chooses the test:
// - even: the rest is a zip as it comes. The reader must never read
//   outside it (the sanitizers watch), and every entry it returns whole
//   must have the size and CRC its directory gives.
// - odd: the rest describes a zip: entries with names, flags, contents and
//   a choice of stored or deflated, behind junk and before a comment. It is
//   written with the writer's own records and read back, and the reader
//   must give every entry exactly as described.
#include "packcheck/zipformat.h"
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>
#include <string>
#include <vector>

namespace {

const size_t c_cbMax = 1 << 16;

[[noreturn]] void Fail(const char *pszWhat)
{
    fprintf(stderr, "zip reader: %s\n", pszWhat);
    abort();
}

uint32_t Crc(const std::string &bytes)
{
    return (uint32_t)crc32(crc32(0L, Z_NULL, 0), (const Bytef *)bytes.data(), (uInt)bytes.size());
}

void ReadAsItComes(const uint8_t *pb, size_t cb)
{
    std::vector<ZipEntry> aEntries;
    if (!ReadZipDirectory(pb, cb, &aEntries))
        return;
    for (const ZipEntry &entry : aEntries) {
        std::string data;
        if (!ReadZipEntry(pb, cb, entry, c_cbMax, &data)) {
            if (!data.empty())
                Fail("a failed read left contents");
            continue;
        }
        if (data.size() != entry.cbSize || Crc(data) != entry.dwCrc)
            Fail("contents returned that do not match the directory");
    }
}

// Takes bytes from the front of the description; zeros once it runs out.
struct Reader {
    const uint8_t *pb;
    size_t cb;

    uint8_t Byte()
    {
        if (cb == 0)
            return 0;
        cb--;
        return *pb++;
    }
    std::string Bytes(size_t cbWanted)
    {
        size_t cbTaken = cbWanted < cb ? cbWanted : cb;
        std::string bytes((const char *)pb, cbTaken);
        pb += cbTaken;
        cb -= cbTaken;
        return bytes;
    }
};

std::string Deflated(const std::string &data, int level)
{
    z_stream zs = {};
    if (deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        Fail("deflateInit2");
    std::string out(deflateBound(&zs, data.size()), '\0');
    zs.next_in = (Bytef *)data.data();
    zs.avail_in = (uInt)data.size();
    zs.next_out = (Bytef *)&out[0];
    zs.avail_out = (uInt)out.size();
    if (deflate(&zs, Z_FINISH) != Z_STREAM_END)
        Fail("deflate");
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

void RoundTrip(const uint8_t *pb, size_t cb)
{
    Reader in = {pb, cb};
    std::string zip = in.Bytes(in.Byte() % 8);   // junk in front, as a self-extractor has
    std::vector<ZipEntry> aWritten;
    std::vector<std::string> aContents;
    size_t cEntries = in.Byte() % 6;
    for (size_t i = 0; i < cEntries; i++) {
        ZipEntry entry = {};
        entry.name = in.Bytes(in.Byte() % 24);
        uint8_t bKind = in.Byte();
        entry.wFlags = bKind & 1 ? c_wZipFlagUtf8 : 0;
        entry.bHost = bKind & 2 ? c_bZipHostUnix : c_bZipHostNtfs;
        entry.wMethod = bKind & 4 ? 8 : 0;
        entry.dwAttributes = in.Byte();
        std::string data = in.Bytes(in.Byte() * 3u);
        std::string stored = entry.wMethod == 8 ? Deflated(data, (bKind >> 4) % 10) : data;
        entry.dwCrc = Crc(data);
        entry.cbSize = (uint32_t)data.size();
        entry.cbCompressed = (uint32_t)stored.size();
        entry.offLocal = (uint32_t)zip.size();
        zip += ZipLocalHeader(entry) + stored;
        aWritten.push_back(entry);
        aContents.push_back(data);
    }
    uint32_t offDirectory = (uint32_t)zip.size();
    for (const ZipEntry &entry : aWritten)
        zip += ZipCentralHeader(entry);
    std::string comment = in.Bytes(in.Byte() % 16);
    std::string end = ZipEndOfDirectory(aWritten.size(), (uint32_t)(zip.size() - offDirectory),
                                        offDirectory);
    end[end.size() - 2] = (char)comment.size();
    zip += end + comment;

    std::vector<ZipEntry> aRead;
    const uint8_t *pbZip = (const uint8_t *)zip.data();
    if (!ReadZipDirectory(pbZip, zip.size(), &aRead) || aRead.size() != aWritten.size())
        Fail("a zip as written was not read");
    for (size_t i = 0; i < aRead.size(); i++) {
        const ZipEntry &read = aRead[i], &written = aWritten[i];
        if (read.name != written.name || read.wFlags != written.wFlags
            || read.bHost != written.bHost || read.wMethod != written.wMethod
            || read.dwAttributes != written.dwAttributes || read.offLocal != written.offLocal
            || !read.unicodePath.empty())
            Fail("an entry read back differs from the one written");
        std::string data;
        if (!ReadZipEntry(pbZip, zip.size(), read, c_cbMax, &data) || data != aContents[i])
            Fail("contents read back differ from those written");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pbInput, size_t cbInput)
{
    if (cbInput == 0)
        return 0;
    if (pbInput[0] & 1)
        RoundTrip(pbInput + 1, cbInput - 1);
    else
        ReadAsItComes(pbInput + 1, cbInput - 1);
    return 0;
}
