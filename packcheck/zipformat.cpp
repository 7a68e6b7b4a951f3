#include "packcheck/zipformat.h"
#include <string.h>
#include <zlib.h>

// Each record of the format: the signature it starts with, and the size
// of its fixed part.
struct ZipRecord {
    uint32_t dwSig;
    size_t cbFixed;
};
static const ZipRecord c_recLocal = {0x04034b50, 30};
static const ZipRecord c_recCentral = {0x02014b50, 46};
static const ZipRecord c_recEnd = {0x06054b50, 22};
static const ZipRecord c_recZip64End = {0x06064b50, 56};
static const ZipRecord c_recZip64Locator = {0x07064b50, 20};
static const uint16_t c_wZip64Id = 0x0001;
static const uint16_t c_wUnicodePathId = 0x7075;
// A size or offset of the header that the zip64 field holds instead.
static const uint32_t c_dwInZip64 = 0xFFFFFFFF;

static uint16_t Get16(const unsigned char *pb)
{
    return (uint16_t)(pb[0] | pb[1] << 8);
}

static uint32_t Get32(const unsigned char *pb)
{
    return (uint32_t)Get16(pb) | (uint32_t)Get16(pb + 2) << 16;
}

static uint64_t Get64(const unsigned char *pb)
{
    return (uint64_t)Get32(pb) | (uint64_t)Get32(pb + 4) << 32;
}

// Whether cbWanted bytes from off lie within cb, without overflowing; in 64
// bits, as a zip64 record's values are, whatever size_t holds.
static bool Fits(uint64_t cb, uint64_t off, uint64_t cbWanted)
{
    return off <= cb && cbWanted <= cb - off;
}

// Whether the record starts at off, whole within the first cb bytes.
static bool RecordAt(const unsigned char *pb, uint64_t cb, uint64_t off, const ZipRecord &rec)
{
    return Fits(cb, off, rec.cbFixed) && Get32(pb + off) == rec.dwSig;
}

static uint32_t Crc(const void *pv, size_t cb)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const Bytef *pb = (const Bytef *)pv;
    while (cb > 0) {
        uInt cbPiece = cb > 0x40000000 ? 0x40000000 : (uInt)cb;
        crc = crc32(crc, pb, cbPiece);
        pb += cbPiece;
        cb -= cbPiece;
    }
    return (uint32_t)crc;
}

// The last end record a comment could hide behind: a zip may end in a
// comment of up to 65535 bytes.
static bool FindEnd(const unsigned char *pb, size_t cb, size_t *poffEnd)
{
    if (cb < c_recEnd.cbFixed)
        return false;
    size_t offLowest = cb - c_recEnd.cbFixed > 0xFFFF ? cb - c_recEnd.cbFixed - 0xFFFF : 0;
    for (size_t off = cb - c_recEnd.cbFixed + 1; off-- > offLowest;) {
        if (Get32(pb + off) == c_recEnd.dwSig && (size_t)Get16(pb + off + 20) <= cb - off - c_recEnd.cbFixed) {
            *poffEnd = off;
            return true;
        }
    }
    return false;
}

// The zip64 field holds a value for each of these that the header gives
// as 0xFFFFFFFF, in this order; false when it is too short for them.
static bool ReadZip64Field(const unsigned char *pb, size_t cb, ZipEntry *pEntry)
{
    uint64_t *const apValues[] = {&pEntry->cbSize, &pEntry->cbCompressed, &pEntry->offLocal};
    size_t off = 0;
    for (uint64_t *pValue : apValues) {
        if (*pValue != c_dwInZip64)
            continue;
        if (!Fits(cb, off, 8))
            return false;
        *pValue = Get64(pb + off);
        off += 8;
    }
    return true;
}

// The Unicode Path field counts only when it was made for this very name:
// a tool that renamed the entry without knowing the field left it stale.
// false when a size or offset the header leaves to the zip64 field is not
// there.
static bool ReadExtraFields(const unsigned char *pb, size_t cb, ZipEntry *pEntry)
{
    bool fZip64 = false;
    size_t off = 0;
    while (Fits(cb, off, 4)) {
        uint16_t wId = Get16(pb + off);
        size_t cbField = Get16(pb + off + 2);
        off += 4;
        if (!Fits(cb, off, cbField))
            break;
        if (wId == c_wZip64Id && !fZip64) {
            if (!ReadZip64Field(pb + off, cbField, pEntry))
                return false;
            fZip64 = true;
        }
        if (wId == c_wUnicodePathId && cbField >= 5 && pb[off] == 1
            && Get32(pb + off + 1) == Crc(pEntry->name.data(), pEntry->name.size()))
            pEntry->unicodePath.assign((const char *)pb + off + 5, cbField - 5);
        off += cbField;
    }
    return fZip64 || (pEntry->cbSize != c_dwInZip64 && pEntry->cbCompressed != c_dwInZip64
                      && pEntry->offLocal != c_dwInZip64);
}

static bool ReadCentralHeader(const unsigned char *pb, size_t cb, size_t *poff, ZipEntry *pEntry)
{
    size_t off = *poff;
    if (!RecordAt(pb, cb, off, c_recCentral))
        return false;
    const unsigned char *ph = pb + off;
    size_t cbName = Get16(ph + 28), cbExtra = Get16(ph + 30), cbComment = Get16(ph + 32);
    if (!Fits(cb, off + c_recCentral.cbFixed, cbName + cbExtra + cbComment))
        return false;
    pEntry->bHost = ph[5];
    pEntry->wFlags = Get16(ph + 8);
    pEntry->wMethod = Get16(ph + 10);
    pEntry->wTime = Get16(ph + 12);
    pEntry->wDate = Get16(ph + 14);
    pEntry->dwCrc = Get32(ph + 16);
    pEntry->cbCompressed = Get32(ph + 20);
    pEntry->cbSize = Get32(ph + 24);
    pEntry->dwAttributes = Get32(ph + 38);
    pEntry->offLocal = Get32(ph + 42);
    pEntry->name.assign((const char *)ph + c_recCentral.cbFixed, cbName);
    pEntry->unicodePath.clear();
    if (!ReadExtraFields(ph + c_recCentral.cbFixed + cbName, cbExtra, pEntry))
        return false;
    *poff = off + c_recCentral.cbFixed + cbName + cbExtra + cbComment;
    return true;
}

// Where the directory is, and what must come after it.
struct Directory {
    uint64_t cEntries;
    uint64_t cbDirectory;
    uint64_t offDirectory;
    size_t offAfter;
};

// The zip64 end record, which the locator just before the end record
// points to, replaces the end record's counts, size and offset: false for
// one that is not there as the locator says, or spans several disks.
static bool ReadZip64End(const unsigned char *pb, size_t offLocator, Directory *pDir)
{
    const unsigned char *pl = pb + offLocator;
    uint64_t offRecord = Get64(pl + 8);
    // Some tools count the disks as 0, others as 1.
    if (Get32(pl + 4) != 0 || Get32(pl + 16) > 1 || !RecordAt(pb, offLocator, offRecord, c_recZip64End))
        return false;
    const unsigned char *pz = pb + offRecord;
    if (Get64(pz + 4) < c_recZip64End.cbFixed - 12
        || !Fits(offLocator, offRecord + 12, Get64(pz + 4))
        || Get32(pz + 16) != 0 || Get32(pz + 20) != 0 || Get64(pz + 24) != Get64(pz + 32))
        return false;
    *pDir = Directory{Get64(pz + 32), Get64(pz + 40), Get64(pz + 48), (size_t)offRecord};
    return true;
}

static bool FindDirectory(const unsigned char *pb, size_t cb, Directory *pDir)
{
    size_t offEnd;
    if (!FindEnd(pb, cb, &offEnd))
        return false;
    // What looks like a locator may be the bytes of a name or of junk in
    // front: without a zip64 end record where it points, the end record
    // counts as it stands.
    const unsigned char *pe = pb + offEnd;
    if (offEnd >= c_recZip64Locator.cbFixed
        && RecordAt(pb, offEnd, offEnd - c_recZip64Locator.cbFixed, c_recZip64Locator)
        && ReadZip64End(pb, offEnd - c_recZip64Locator.cbFixed, pDir))
        return true;
    // One disk: none of split archives.
    *pDir = Directory{Get16(pe + 10), Get32(pe + 12), Get32(pe + 16), offEnd};
    return Get16(pe + 4) == 0 && Get16(pe + 6) == 0 && Get16(pe + 8) == pDir->cEntries;
}

bool ReadZipDirectory(const unsigned char *pb, size_t cb, std::vector<ZipEntry> *pEntries)
{
    pEntries->clear();
    Directory dir;
    if (!FindDirectory(pb, cb, &dir) || !Fits(dir.offAfter, dir.offDirectory, dir.cbDirectory)
        || dir.cEntries > dir.cbDirectory / c_recCentral.cbFixed)
        return false;
    size_t off = (size_t)dir.offDirectory, offLimit = (size_t)(dir.offDirectory + dir.cbDirectory);
    for (uint64_t i = 0; i < dir.cEntries; i++) {
        ZipEntry entry;
        if (!ReadCentralHeader(pb, offLimit, &off, &entry))
            return false;
        pEntries->push_back(entry);
    }
    return true;
}

// Room for one byte more than the entry says, so that a stream that runs
// longer shows.
static bool Inflate(const unsigned char *pbIn, size_t cbIn, size_t cbOut, std::string *pData)
{
    z_stream zs;
    memset(&zs, 0, sizeof(zs));
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        return false;
    pData->assign(cbOut + 1, '\0');
    zs.next_in = (Bytef *)pbIn;
    zs.avail_in = (uInt)cbIn;
    zs.next_out = (Bytef *)&(*pData)[0];
    zs.avail_out = (uInt)(cbOut + 1);
    bool fWhole = inflate(&zs, Z_FINISH) == Z_STREAM_END && zs.total_out == cbOut;
    inflateEnd(&zs);
    pData->resize(cbOut);
    return fWhole;
}

ZipRead ReadZipEntry(const unsigned char *pb, size_t cb, const ZipEntry &entry, size_t cbMax,
                     std::string *pData)
{
    pData->clear();
    if (entry.wFlags & c_wZipFlagEncrypted)
        return ZIPREAD_ENCRYPTED;
    if (entry.wMethod != c_wZipStored && entry.wMethod != c_wZipDeflated)
        return ZIPREAD_METHOD;
    if (entry.cbSize > cbMax)
        return ZIPREAD_TOO_LARGE;
    if (entry.cbCompressed > 0x7FFFFFFF || !RecordAt(pb, cb, entry.offLocal, c_recLocal))
        return ZIPREAD_DAMAGED;
    const unsigned char *ph = pb + entry.offLocal;
    size_t off = (size_t)entry.offLocal + c_recLocal.cbFixed + Get16(ph + 26) + Get16(ph + 28);
    if (!Fits(cb, off, entry.cbCompressed))
        return ZIPREAD_DAMAGED;
    bool fRead = false;
    if (entry.wMethod == c_wZipStored) {
        fRead = entry.cbCompressed == entry.cbSize;
        if (fRead)
            pData->assign((const char *)pb + off, (size_t)entry.cbSize);
    } else {
        fRead = Inflate(pb + off, (size_t)entry.cbCompressed, (size_t)entry.cbSize, pData);
    }
    if (fRead && Crc(pData->data(), pData->size()) == entry.dwCrc)
        return ZIPREAD_WHOLE;
    pData->clear();
    return ZIPREAD_DAMAGED;
}

std::string ZipMethodName(uint16_t wMethod)
{
    static const struct {
        uint16_t wMethod;
        const char *pszName;
    } c_aNames[] = {
        {1, "Shrink"}, {2, "Reduce"}, {3, "Reduce"}, {4, "Reduce"},
        {5, "Reduce"}, {6, "Implode"}, {9, "Deflate64"},
        {10, "PKWARE DCL Implode"}, {12, "BZip2"}, {14, "LZMA"}, {16, "IBM CMPSC"},
        {18, "IBM TERSE"}, {19, "IBM LZ77"}, {20, "Zstandard"}, {93, "Zstandard"},
        {94, "MP3"}, {95, "XZ"}, {96, "JPEG"}, {97, "WavPack"}, {98, "PPMd"}, {99, "AES"},
    };
    for (const auto &name : c_aNames)
        if (name.wMethod == wMethod)
            return name.pszName;
    return std::to_string(wMethod);
}

static void Put16(std::string *p, uint32_t w)
{
    p->push_back((char)(w & 0xFF));
    p->push_back((char)(w >> 8 & 0xFF));
}

static void Put32(std::string *p, uint32_t dw)
{
    Put16(p, dw & 0xFFFF);
    Put16(p, dw >> 16);
}

// What local and central headers share, from "version needed" to the
// extra field's length.
static void PutCommon(std::string *p, const ZipEntry &entry)
{
    Put16(p, 20);   // 2.0: folders and deflate
    Put16(p, entry.wFlags);
    Put16(p, entry.wMethod);
    Put16(p, entry.wTime);
    Put16(p, entry.wDate);
    Put32(p, entry.dwCrc);
    Put32(p, (uint32_t)entry.cbCompressed);
    Put32(p, (uint32_t)entry.cbSize);
    Put16(p, (uint32_t)entry.name.size());
    Put16(p, 0);
}

std::string ZipLocalHeader(const ZipEntry &entry)
{
    std::string header;
    Put32(&header, c_recLocal.dwSig);
    PutCommon(&header, entry);
    return header + entry.name;
}

std::string ZipCentralHeader(const ZipEntry &entry)
{
    std::string header;
    Put32(&header, c_recCentral.dwSig);
    Put16(&header, (uint32_t)entry.bHost << 8 | 20);
    PutCommon(&header, entry);
    Put16(&header, 0);   // comment
    Put16(&header, 0);   // disk
    Put16(&header, 0);   // internal attributes
    Put32(&header, entry.dwAttributes);
    Put32(&header, (uint32_t)entry.offLocal);
    return header + entry.name;
}

std::string ZipEndOfDirectory(size_t cEntries, uint32_t cbDirectory, uint32_t offDirectory)
{
    std::string end;
    Put32(&end, c_recEnd.dwSig);
    Put16(&end, 0);
    Put16(&end, 0);
    Put16(&end, (uint32_t)cEntries);
    Put16(&end, (uint32_t)cEntries);
    Put32(&end, cbDirectory);
    Put32(&end, offDirectory);
    Put16(&end, 0);
    return end;
}
