// Fuzzes packcheck's zip reader, which reads zips anyone may have made.
// The first byte chooses the test:
// - even: the rest is a zip as it comes. The reader must never read
//   outside it (the sanitizers watch), and every entry it returns whole
//   must have the size and CRC its directory gives.
// - odd: the rest describes a zip: entries with names, flags, contents and
//   a choice of stored or deflated, behind junk and before a comment. It is
//   written with the writer's own records and read back, and the reader
//   must give every entry exactly as described. The description may ask
//   for the zip64 form: local headers with both sizes in a zip64 field,
//   central headers with any of the sizes and the offset there (behind a
//   field of another kind or not), and the zip64 end record with its
//   locator before an end record that holds the values or only markers.
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
        if (ReadZipEntry(pb, cb, entry, c_cbMax, &data) != ZIPREAD_WHOLE) {
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

std::string Le16(uint32_t w)
{
    return std::string{(char)(w & 0xFF), (char)(w >> 8 & 0xFF)};
}

std::string Le32(uint32_t dw)
{
    return Le16(dw & 0xFFFF) + Le16(dw >> 16);
}

std::string Le64(uint64_t qw)
{
    return Le32((uint32_t)qw) + Le32((uint32_t)(qw >> 32));
}

void Set(std::string *pRecord, size_t off, const std::string &value)
{
    pRecord->replace(off, value.size(), value);
}

const uint32_t c_dwInZip64 = 0xFFFFFFFF;

// The writer's local header with both sizes moved into a zip64 field.
std::string Zip64LocalHeader(const ZipEntry &entry)
{
    std::string header = ZipLocalHeader(entry);
    std::string field = Le16(1) + Le16(16) + Le64(entry.cbSize) + Le64(entry.cbCompressed);
    Set(&header, 18, Le32(c_dwInZip64) + Le32(c_dwInZip64));
    Set(&header, 28, Le16((uint32_t)field.size()));
    return header + field;
}

// The writer's central header with the size (bit 0 of bFields), the
// compressed size (bit 1) and the offset (bit 2) moved into a zip64 field,
// which then holds them in that order; behind a field of another kind when
// bit 3 asks for one.
std::string Zip64CentralHeader(const ZipEntry &entry, uint8_t bFields)
{
    std::string header = ZipCentralHeader(entry);
    std::string values;
    if (bFields & 1) {
        Set(&header, 24, Le32(c_dwInZip64));
        values += Le64(entry.cbSize);
    }
    if (bFields & 2) {
        Set(&header, 20, Le32(c_dwInZip64));
        values += Le64(entry.cbCompressed);
    }
    if (bFields & 4) {
        Set(&header, 42, Le32(c_dwInZip64));
        values += Le64(entry.offLocal);
    }
    std::string extra = (bFields & 8) ? Le16(0x5455) + Le16(5) + std::string(5, '\1') : "";
    extra += Le16(1) + Le16((uint32_t)values.size()) + values;
    Set(&header, 30, Le16((uint32_t)extra.size()));
    return header + extra;
}

// The zip64 end record at offRecord and its locator.
std::string Zip64End(size_t cEntries, uint64_t cbDirectory, uint64_t offDirectory, uint64_t offRecord)
{
    return Le32(0x06064b50) + Le64(44) + Le16(45) + Le16(45) + Le32(0) + Le32(0)
         + Le64(cEntries) + Le64(cEntries) + Le64(cbDirectory) + Le64(offDirectory)
         + Le32(0x07064b50) + Le32(0) + Le64(offRecord) + Le32(1);
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
        entry.offLocal = zip.size();
        zip += ((bKind & 8) ? Zip64LocalHeader(entry) : ZipLocalHeader(entry)) + stored;
        aWritten.push_back(entry);
        aContents.push_back(data);
    }
    // Bit 0: the zip64 form of the directory; bit 1: with only markers in
    // the end record.
    uint8_t bForm = in.Byte();
    uint32_t offDirectory = (uint32_t)zip.size();
    for (const ZipEntry &entry : aWritten)
        zip += (bForm & 1) ? Zip64CentralHeader(entry, in.Byte()) : ZipCentralHeader(entry);
    uint32_t cbDirectory = (uint32_t)(zip.size() - offDirectory);
    std::string comment = in.Bytes(in.Byte() % 16);
    std::string end = ZipEndOfDirectory(aWritten.size(), cbDirectory, offDirectory);
    if (bForm & 1) {
        std::string zip64End = Zip64End(aWritten.size(), cbDirectory, offDirectory, zip.size());
        if (bForm & 2)
            end = ZipEndOfDirectory(0xFFFF, c_dwInZip64, c_dwInZip64);
        zip += zip64End;
    }
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
            || read.cbSize != written.cbSize || read.cbCompressed != written.cbCompressed
            || read.dwCrc != written.dwCrc || !read.unicodePath.empty())
            Fail("an entry read back differs from the one written");
        std::string data;
        if (ReadZipEntry(pbZip, zip.size(), read, c_cbMax, &data) != ZIPREAD_WHOLE
            || data != aContents[i])
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
