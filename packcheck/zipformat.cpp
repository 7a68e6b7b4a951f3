#include "packcheck/zipformat.h"
#include <string.h>
#include <zlib.h>

static const uint32_t c_dwLocalSig = 0x04034b50;
static const uint32_t c_dwCentralSig = 0x02014b50;
static const uint32_t c_dwEndSig = 0x06054b50;
static const size_t c_cbLocal = 30;
static const size_t c_cbCentral = 46;
static const size_t c_cbEnd = 22;
static const uint16_t c_wUnicodePathId = 0x7075;

static uint16_t Get16(const unsigned char *pb)
{
    return (uint16_t)(pb[0] | pb[1] << 8);
}

static uint32_t Get32(const unsigned char *pb)
{
    return (uint32_t)Get16(pb) | (uint32_t)Get16(pb + 2) << 16;
}

// Whether cbWanted bytes from off lie within cb, without overflowing.
static bool Fits(size_t cb, size_t off, size_t cbWanted)
{
    return off <= cb && cbWanted <= cb - off;
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
    if (cb < c_cbEnd)
        return false;
    size_t offLowest = cb - c_cbEnd > 0xFFFF ? cb - c_cbEnd - 0xFFFF : 0;
    for (size_t off = cb - c_cbEnd + 1; off-- > offLowest;) {
        if (Get32(pb + off) == c_dwEndSig && (size_t)Get16(pb + off + 20) <= cb - off - c_cbEnd) {
            *poffEnd = off;
            return true;
        }
    }
    return false;
}

// The Unicode Path field counts only when it was made for this very name:
// a tool that renamed the entry without knowing the field left it stale.
static void ReadExtraFields(const unsigned char *pb, size_t cb, ZipEntry *pEntry)
{
    size_t off = 0;
    while (Fits(cb, off, 4)) {
        uint16_t wId = Get16(pb + off);
        size_t cbField = Get16(pb + off + 2);
        off += 4;
        if (!Fits(cb, off, cbField))
            return;
        if (wId == c_wUnicodePathId && cbField >= 5 && pb[off] == 1
            && Get32(pb + off + 1) == Crc(pEntry->name.data(), pEntry->name.size()))
            pEntry->unicodePath.assign((const char *)pb + off + 5, cbField - 5);
        off += cbField;
    }
}

static bool ReadCentralHeader(const unsigned char *pb, size_t cb, size_t *poff, ZipEntry *pEntry)
{
    size_t off = *poff;
    if (!Fits(cb, off, c_cbCentral) || Get32(pb + off) != c_dwCentralSig)
        return false;
    const unsigned char *ph = pb + off;
    size_t cbName = Get16(ph + 28), cbExtra = Get16(ph + 30), cbComment = Get16(ph + 32);
    if (!Fits(cb, off + c_cbCentral, cbName + cbExtra + cbComment))
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
    pEntry->name.assign((const char *)ph + c_cbCentral, cbName);
    pEntry->unicodePath.clear();
    ReadExtraFields(ph + c_cbCentral + cbName, cbExtra, pEntry);
    *poff = off + c_cbCentral + cbName + cbExtra + cbComment;
    return true;
}

bool ReadZipDirectory(const unsigned char *pb, size_t cb, std::vector<ZipEntry> *pEntries)
{
    pEntries->clear();
    size_t offEnd;
    if (!FindEnd(pb, cb, &offEnd))
        return false;
    const unsigned char *pe = pb + offEnd;
    size_t cEntries = Get16(pe + 10);
    size_t cbDirectory = Get32(pe + 12), offDirectory = Get32(pe + 16);
    // Split archives and ZIP64 (whose end record holds these markers).
    if (Get16(pe + 4) != 0 || Get16(pe + 6) != 0 || Get16(pe + 8) != cEntries
        || cEntries == 0xFFFF || offDirectory == 0xFFFFFFFF
        || !Fits(offEnd, offDirectory, cbDirectory))
        return false;
    size_t off = offDirectory;
    for (size_t i = 0; i < cEntries; i++) {
        ZipEntry entry;
        if (!ReadCentralHeader(pb, offDirectory + cbDirectory, &off, &entry))
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

bool ReadZipEntry(const unsigned char *pb, size_t cb, const ZipEntry &entry, size_t cbMax,
                  std::string *pData)
{
    pData->clear();
    size_t off = entry.offLocal;
    if ((entry.wFlags & 1) || entry.cbSize > cbMax || entry.cbCompressed > 0x7FFFFFFF
        || !Fits(cb, off, c_cbLocal) || Get32(pb + off) != c_dwLocalSig)
        return false;
    off += c_cbLocal + Get16(pb + off + 26) + Get16(pb + off + 28);
    if (!Fits(cb, off, entry.cbCompressed))
        return false;
    bool fRead = false;
    if (entry.wMethod == 0 && entry.cbCompressed == entry.cbSize) {
        pData->assign((const char *)pb + off, entry.cbSize);
        fRead = true;
    } else if (entry.wMethod == 8) {
        fRead = Inflate(pb + off, entry.cbCompressed, entry.cbSize, pData);
    }
    if (fRead && Crc(pData->data(), pData->size()) == entry.dwCrc)
        return true;
    pData->clear();
    return false;
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
    Put32(p, entry.cbCompressed);
    Put32(p, entry.cbSize);
    Put16(p, (uint32_t)entry.name.size());
    Put16(p, 0);
}

std::string ZipLocalHeader(const ZipEntry &entry)
{
    std::string header;
    Put32(&header, c_dwLocalSig);
    PutCommon(&header, entry);
    return header + entry.name;
}

std::string ZipCentralHeader(const ZipEntry &entry)
{
    std::string header;
    Put32(&header, c_dwCentralSig);
    Put16(&header, (uint32_t)entry.bHost << 8 | 20);
    PutCommon(&header, entry);
    Put16(&header, 0);   // comment
    Put16(&header, 0);   // disk
    Put16(&header, 0);   // internal attributes
    Put32(&header, entry.dwAttributes);
    Put32(&header, entry.offLocal);
    return header + entry.name;
}

std::string ZipEndOfDirectory(size_t cEntries, uint32_t cbDirectory, uint32_t offDirectory)
{
    std::string end;
    Put32(&end, c_dwEndSig);
    Put16(&end, 0);
    Put16(&end, 0);
    Put16(&end, (uint32_t)cEntries);
    Put16(&end, (uint32_t)cEntries);
    Put32(&end, cbDirectory);
    Put32(&end, offDirectory);
    Put16(&end, 0);
    return end;
}
