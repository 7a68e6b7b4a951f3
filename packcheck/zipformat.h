// The zip format as packcheck reads and writes it: the central directory,
// the local headers and the data of stored and deflated entries. Works on
// bytes in memory, with no file or system call, and reads a zip anyone
// may have made: every offset and length in it is checked before use.
// No ZIP64, no archives split over several files, no encryption.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

const uint16_t c_wZipFlagUtf8 = 0x0800;   // general-purpose bit 11: the name is UTF-8
const uint8_t c_bZipHostUnix = 3;         // the "made by" system of Unix and the Mac
// Of Windows NT. Not MS-DOS (0): Info-ZIP's unzip reads the names of
// MS-DOS entries in the OEM code page even when bit 11 says UTF-8.
const uint8_t c_bZipHostNtfs = 11;

struct ZipEntry {
    std::string name;          // the name's bytes as stored
    std::string unicodePath;   // a valid Info-ZIP Unicode Path field (0x7075): its UTF-8 name
    uint16_t wFlags;
    uint8_t bHost;             // the system that made the entry
    uint16_t wMethod;          // 0 stored, 8 deflated
    uint16_t wTime, wDate;     // MS-DOS form
    uint32_t dwCrc;
    uint32_t cbCompressed;
    uint32_t cbSize;
    uint32_t dwAttributes;     // external attributes; 0x10: a folder on MS-DOS and Windows
    uint32_t offLocal;         // where its local header starts
};

// The entries of the central directory, in its order. false for what is no
// zip this reader can read.
bool ReadZipDirectory(const unsigned char *pb, size_t cb, std::vector<ZipEntry> *pEntries);

// The entry's contents, inflated and checked against its size and CRC.
// false for damaged or encrypted data, another method, or contents of more
// than cbMax bytes.
bool ReadZipEntry(const unsigned char *pb, size_t cb, const ZipEntry &entry, size_t cbMax,
                  std::string *pData);

// The records of a zip written: a local header (contents follow it), a
// central directory header (the directory is the entries' headers in
// order), and the end of the directory.
std::string ZipLocalHeader(const ZipEntry &entry);
std::string ZipCentralHeader(const ZipEntry &entry);
std::string ZipEndOfDirectory(size_t cEntries, uint32_t cbDirectory, uint32_t offDirectory);
