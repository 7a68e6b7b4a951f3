// The zip format as packcheck reads and writes it: the central directory
// (in the classic form and in the zip64 form that large zips and some tools
// use), the local headers and the data of stored and deflated entries.
// Works on bytes in memory, with no file or system call, and reads a zip
// anyone may have made: every offset and length in it is checked before
// use. No archives split over several files, no decryption.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

const uint16_t c_wZipFlagEncrypted = 0x0001;   // general-purpose bit 0
const uint16_t c_wZipFlagUtf8 = 0x0800;        // bit 11: the name is UTF-8
const uint16_t c_wZipStored = 0;
const uint16_t c_wZipDeflated = 8;
const uint16_t c_wZipDeflate64 = 9;
const uint8_t c_bZipHostUnix = 3;         // the "made by" system of Unix and the Mac
// Of Windows NT. Not MS-DOS (0): Info-ZIP's unzip reads the names of
// MS-DOS entries in the OEM code page even when bit 11 says UTF-8.
const uint8_t c_bZipHostNtfs = 11;

struct ZipEntry {
    std::string name;          // the name's bytes as stored
    std::string unicodePath;   // a valid Info-ZIP Unicode Path field (0x7075): its UTF-8 name
    uint16_t wFlags;
    uint8_t bHost;             // the system that made the entry
    uint16_t wMethod;          // c_wZipStored, c_wZipDeflated or another
    uint16_t wTime, wDate;     // MS-DOS form
    uint32_t dwCrc;
    // From the zip64 field where the header says 0xFFFFFFFF. The writer
    // writes the classic form only: for it, these are below that.
    uint64_t cbCompressed;
    uint64_t cbSize;
    uint64_t offLocal;         // where its local header starts
    uint32_t dwAttributes;     // external attributes; 0x10: a folder on MS-DOS and Windows
};

// The entries of the central directory, in its order. false for what is no
// zip this reader can read.
bool ReadZipDirectory(const unsigned char *pb, size_t cb, std::vector<ZipEntry> *pEntries);

enum ZipRead {
    ZIPREAD_WHOLE,       // the contents, matching their size and CRC
    ZIPREAD_ENCRYPTED,
    ZIPREAD_METHOD,      // a method other than stored and deflated
    ZIPREAD_TOO_LARGE,   // more than cbMax bytes
    ZIPREAD_DAMAGED,
};

// The entry's contents, inflated and checked against its size and CRC;
// empty unless ZIPREAD_WHOLE.
ZipRead ReadZipEntry(const unsigned char *pb, size_t cb, const ZipEntry &entry, size_t cbMax,
                     std::string *pData);

// The method's name as zip tools show it ("BZip2"), or its number.
std::string ZipMethodName(uint16_t wMethod);

// The records of a zip written: a local header (contents follow it), a
// central directory header (the directory is the entries' headers in
// order), and the end of the directory.
std::string ZipLocalHeader(const ZipEntry &entry);
std::string ZipCentralHeader(const ZipEntry &entry);
std::string ZipEndOfDirectory(size_t cEntries, uint32_t cbDirectory, uint32_t offDirectory);
