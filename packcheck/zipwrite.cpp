#include "packcheck/zipwrite.h"
#include "packcheck/output.h"
#include "packcheck/packfiles.h"
#include "packcheck/zipformat.h"
#include "app/entry.h"
#include <zlib.h>
#include <algorithm>
#include <string>
#include <vector>

// No zip64: a pack of series is far smaller, and old unzip programs read
// only the classic form, whose sizes and offsets stay below 0xFFFFFFFF
// (which says that the zip64 field holds the value).
static const ULONGLONG c_cbZipLimit = 0xFFFFFFFFull;
static const DWORD c_cbChunk = 64 * 1024;

// "._Lees mij.txt", which a Mac leaves beside "Lees mij.txt", goes no more
// than any other leftover.
static BOOL IsTextFile(const WIN32_FIND_DATAW &fd)
{
    return !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsSkippedTextName(fd.cFileName)
        && !IsLeftBehind(fd.cFileName);
}

// A file to ship: its name on disk, and in the zip.
struct ShipFile {
    std::wstring wstrDisk;
    std::wstring wstrInZip;
};

static void AddToShip(std::vector<ShipFile> *paFiles, const std::wstring &wstrDisk,
                      const std::wstring &wstrInZip)
{
    for (const ShipFile &file : *paFiles)
        if (EqualIgnoringCase(file.wstrDisk, wstrDisk))
            return;
    paFiles->push_back({wstrDisk, wstrInZip});
}

// The list first, then the installer, the other text files and the series.
// A series a zip tool renamed goes back under the name the list gives it.
static std::vector<ShipFile> FilesToShip()
{
    std::vector<ShipFile> aFiles;
    AddToShip(&aFiles, c_wszListName, c_wszListName);
    std::wstring wstrFound;
    if (FindInPack(c_wszInstallerName, &wstrFound) == PACK_FILE)
        AddToShip(&aFiles, wstrFound, wstrFound);
    std::vector<std::wstring> awstrTexts;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(L"*", &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            if (IsTextFile(fd))
                awstrTexts.push_back(fd.cFileName);
        } while (FindNextFileW(hFind, &fd));
        FindClose(hFind);
    }
    std::sort(awstrTexts.begin(), awstrTexts.end());
    for (const std::wstring &wstrText : awstrTexts)
        AddToShip(&aFiles, wstrText, wstrText);
    for (const ListedSeries &series : CheckedSeries())
        if (!series.wstrFound.empty())
            AddToShip(&aFiles, series.wstrFound,
                      series.fOtherForm ? series.wstrName : series.wstrFound);
    return aFiles;
}

// UTF-8 in the composed form (NFC): what Windows and most tools type, and
// what the list of a sound pack names.
static std::string ZipName(const std::wstring &wstrName)
{
    return Utf8Of(Composed(wstrName));
}

struct ZipOut {
    HANDLE hFile;
    ULONGLONG offNext;
    std::vector<ZipEntry> aEntries;
};

static BOOL WriteBytes(ZipOut *pOut, const void *pv, size_t cb)
{
    if (pOut->offNext + cb >= c_cbZipLimit)
        return FALSE;
    DWORD cbWritten = 0;
    if (cb > 0 && (!WriteFile(pOut->hFile, pv, (DWORD)cb, &cbWritten, NULL) || cbWritten != cb))
        return FALSE;
    pOut->offNext += cb;
    return TRUE;
}

static BOOL WriteString(ZipOut *pOut, const std::string &bytes)
{
    return WriteBytes(pOut, bytes.data(), bytes.size());
}

static void SetDosTime(HANDLE hFile, ZipEntry *pEntry)
{
    FILETIME ftWrite, ftLocal;
    pEntry->wDate = (1 << 5) | 1;   // 1980-01-01 when the file has no time
    pEntry->wTime = 0;
    if (GetFileTime(hFile, NULL, NULL, &ftWrite) && FileTimeToLocalFileTime(&ftWrite, &ftLocal))
        FileTimeToDosDateTime(&ftLocal, &pEntry->wDate, &pEntry->wTime);
}

// Deflates the file after its local header, then writes the header again
// with the sizes and the CRC.
static BOOL DeflateFile(ZipOut *pOut, HANDLE hSource, ZipEntry *pEntry)
{
    z_stream zs = {};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return FALSE;
    std::vector<unsigned char> in(c_cbChunk), out(c_cbChunk);
    uLong crc = crc32(0L, Z_NULL, 0);
    ULONGLONG cbSize = 0, cbCompressed = 0;
    BOOL fOk = TRUE;
    int flush = Z_NO_FLUSH;
    while (fOk && flush != Z_FINISH) {
        DWORD cbRead = 0;
        fOk = ReadFile(hSource, in.data(), c_cbChunk, &cbRead, NULL);
        flush = cbRead == 0 ? Z_FINISH : Z_NO_FLUSH;
        crc = crc32(crc, in.data(), cbRead);
        cbSize += cbRead;
        zs.next_in = in.data();
        zs.avail_in = cbRead;
        do {
            zs.next_out = out.data();
            zs.avail_out = c_cbChunk;
            int rc = deflate(&zs, flush);
            size_t cbOut = c_cbChunk - zs.avail_out;
            cbCompressed += cbOut;
            fOk = fOk && rc != Z_STREAM_ERROR && WriteBytes(pOut, out.data(), cbOut);
        } while (fOk && zs.avail_out == 0);
    }
    deflateEnd(&zs);
    if (!fOk || cbSize >= c_cbZipLimit)
        return FALSE;
    pEntry->dwCrc = (uint32_t)crc;
    pEntry->cbSize = (uint32_t)cbSize;
    pEntry->cbCompressed = (uint32_t)cbCompressed;
    LARGE_INTEGER offHeader, offEnd;
    offHeader.QuadPart = pEntry->offLocal;
    offEnd.QuadPart = (LONGLONG)pOut->offNext;
    std::string header = ZipLocalHeader(*pEntry);
    DWORD cbWritten = 0;
    return SetFilePointerEx(pOut->hFile, offHeader, NULL, FILE_BEGIN)
        && WriteFile(pOut->hFile, header.data(), (DWORD)header.size(), &cbWritten, NULL)
        && cbWritten == header.size()
        && SetFilePointerEx(pOut->hFile, offEnd, NULL, FILE_BEGIN);
}

static ZipEntry NewEntry(const std::string &name, const ZipOut &out)
{
    ZipEntry entry = {};
    entry.name = name;
    entry.wFlags = c_wZipFlagUtf8;
    entry.bHost = c_bZipHostNtfs;
    entry.offLocal = (uint32_t)out.offNext;
    return entry;
}

static BOOL AddFolder(ZipOut *pOut, const std::string &folder)
{
    ZipEntry entry = NewEntry(folder, *pOut);
    entry.wDate = (1 << 5) | 1;
    entry.dwAttributes = FILE_ATTRIBUTE_DIRECTORY;
    pOut->aEntries.push_back(entry);
    return WriteString(pOut, ZipLocalHeader(entry));
}

static BOOL AddFile(ZipOut *pOut, const std::string &folder, const ShipFile &file)
{
    HANDLE hSource = CreateFileW(file.wstrDisk.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (hSource == INVALID_HANDLE_VALUE)
        return FALSE;
    ZipEntry entry = NewEntry(folder + ZipName(file.wstrInZip), *pOut);
    entry.wMethod = 8;
    entry.dwAttributes = FILE_ATTRIBUTE_ARCHIVE;
    SetDosTime(hSource, &entry);
    BOOL fAdded = WriteString(pOut, ZipLocalHeader(entry)) && DeflateFile(pOut, hSource, &entry);
    CloseHandle(hSource);
    if (fAdded)
        pOut->aEntries.push_back(entry);
    return fAdded;
}

static BOOL WriteDirectory(ZipOut *pOut)
{
    ULONGLONG offDirectory = pOut->offNext;
    for (const ZipEntry &entry : pOut->aEntries)
        if (!WriteString(pOut, ZipCentralHeader(entry)))
            return FALSE;
    return pOut->aEntries.size() < 0xFFFF
        && WriteString(pOut, ZipEndOfDirectory(pOut->aEntries.size(),
                                               (uint32_t)(pOut->offNext - offDirectory),
                                               (uint32_t)offDirectory));
}

// The pack's own folder name, which users see when they unpack it.
static std::wstring PackFolderName()
{
    WCHAR wszDir[MAX_PATH];
    DWORD cch = GetCurrentDirectoryW(MAX_PATH, wszDir);
    std::wstring wstrName = cch > 0 && cch < MAX_PATH ? wszDir : L"";
    while (!wstrName.empty() && wstrName.back() == L'\\')
        wstrName.pop_back();
    wstrName = wstrName.substr(wstrName.find_last_of(L"\\:") + 1);
    return wstrName.empty() ? L"pakket" : wstrName;
}

static BOOL WriteZip(const std::wstring &wstrTemp, const std::vector<ShipFile> &aFiles)
{
    ZipOut out = {};
    out.hFile = CreateFileW(wstrTemp.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
    if (out.hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    std::string folder = ZipName(PackFolderName()) + "/";
    BOOL fWritten = AddFolder(&out, folder);
    for (const ShipFile &file : aFiles)
        fWritten = fWritten && AddFile(&out, folder, file);
    fWritten = fWritten && WriteDirectory(&out) && FlushFileBuffers(out.hFile);
    return CloseHandle(out.hFile) && fWritten;
}

CheckStatus WritePackZip(const WCHAR *pwszZip, BOOL fForce)
{
    std::wstring wstrZip = pwszZip;
    if (!fForce && GetFileAttributesW(pwszZip) != INVALID_FILE_ATTRIBUTES) {
        PrintErrorLine(wstrZip + L" bestaat al en blijft zoals hij is. Gebruik --force om hem"
                       L" te vervangen.");
        return CHECK_NOT_RUN;
    }
    CheckStatus status = CheckPack();
    if (status != CHECK_SOUND) {
        PrintLine(L"");
        PrintLine(L"De zip is niet gemaakt: herstel eerst wat hierboven FOUT is.");
        return status;
    }
    // Whole or not at all: the zip takes its name only once complete.
    std::wstring wstrTemp = wstrZip + L".packcheck-deel";
    std::vector<ShipFile> aFiles = FilesToShip();
    if (!WriteZip(wstrTemp, aFiles)
        || !MoveFileExW(wstrTemp.c_str(), pwszZip, fForce ? MOVEFILE_REPLACE_EXISTING : 0)) {
        DeleteFileW(wstrTemp.c_str());
        PrintErrorLine(L"De zip " + wstrZip + L" kon niet worden geschreven.");
        return CHECK_NOT_RUN;
    }
    PrintLine(L"");
    PrintLine(L"Zip geschreven: " + wstrZip + L" (" + Number((unsigned long)aFiles.size())
              + L" bestanden in de map " + QuotedName(PackFolderName()) + L").");
    return CHECK_SOUND;
}
