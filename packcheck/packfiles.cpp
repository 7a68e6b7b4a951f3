#include "packcheck/packfiles.h"
#include "app/entry.h"
#include "app/fileinfo.h"
#include "app/paths.h"
#include <algorithm>
#include <wchar.h>

const WCHAR c_wszInstallerName[] = L"instrrse.exe";
static const WCHAR c_wszCheckerName[] = L"packcheck.exe";

BOOL EqualIgnoringCase(const std::wstring &wstrA, const std::wstring &wstrB)
{
    return SameFileName(wstrA.c_str(), wstrB.c_str(), (int)wstrA.size(), (int)wstrB.size());
}

BOOL IsLeftBehind(const std::wstring &wstrName)
{
    static const WCHAR *const c_apwszLeftBehind[] = {
        L".DS_Store", L"__MACOSX", L"Thumbs.db", L"desktop.ini",
    };
    for (const WCHAR *pwszLeftBehind : c_apwszLeftBehind)
        if (NamesEqualAsciiCase(wstrName.c_str(), pwszLeftBehind))
            return TRUE;
    return wstrName.compare(0, 2, L"._") == 0;
}

// Hidden and system files are Explorer's or a tool's (desktop.ini,
// Thumbs.db), and never a series; nor is what tools leave behind, which a
// Mac's zip unpacked elsewhere brings as ordinary files.
static BOOL IsSeriesFile(const WIN32_FIND_DATAW &fd)
{
    const DWORD dwNotSeries = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return !(fd.dwFileAttributes & dwNotSeries)
        && !IsLeftBehind(fd.cFileName)
        && !IsSkippedTextName(fd.cFileName)
        && !EqualIgnoringCase(fd.cFileName, c_wszInstallerName)
        && !EqualIgnoringCase(fd.cFileName, c_wszCheckerName);
}

static bool SortsBefore(const std::wstring &wstrA, const std::wstring &wstrB)
{
    return CompareStringOrdinal(wstrA.c_str(), -1, wstrB.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

std::vector<std::wstring> ListSeriesFiles()
{
    std::vector<std::wstring> awstrNames;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(L"*", &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return awstrNames;
    do {
        if (IsSeriesFile(fd))
            awstrNames.push_back(fd.cFileName);
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
    std::sort(awstrNames.begin(), awstrNames.end(), SortsBefore);
    return awstrNames;
}

PackLookup FindInPack(const std::wstring &wstrName, std::wstring *pwstrFound)
{
    // A pattern or a path would find other files; the installer refuses
    // such names before it looks.
    if (wstrName.empty()
        || std::find_if(wstrName.begin(), wstrName.end(), IsForbiddenInName) != wstrName.end())
        return PACK_MISSING;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(wstrName.c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return PACK_MISSING;
    FindClose(hFind);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return PACK_FOLDER;
    *pwstrFound = fd.cFileName;
    // Letter case aside as the file system compares names, as the
    // installer tells a short name from the file's own.
    return EqualIgnoringCase(fd.cFileName, wstrName) ? PACK_FILE : PACK_ALIAS;
}

// The name without accents: every character decomposed
// into its base letter and combining marks, and the marks dropped.
static std::wstring Folded(const std::wstring &wstrName)
{
    int cch = FoldStringW(MAP_COMPOSITE, wstrName.c_str(), (int)wstrName.size(), NULL, 0);
    if (cch <= 0)
        return wstrName;
    std::wstring wstrDecomposed((size_t)cch, L'\0');
    FoldStringW(MAP_COMPOSITE, wstrName.c_str(), (int)wstrName.size(), &wstrDecomposed[0], cch);
    std::wstring wstrFolded;
    for (WCHAR wch : wstrDecomposed)
        if (wch < 0x0300 || wch > 0x036F)
            wstrFolded += wch;
    return wstrFolded;
}

std::wstring Composed(const std::wstring &wstrName)
{
    int cch = FoldStringW(MAP_PRECOMPOSED, wstrName.c_str(), (int)wstrName.size(), NULL, 0);
    if (cch <= 0)
        return wstrName;
    std::wstring wstrComposed((size_t)cch, L'\0');
    FoldStringW(MAP_PRECOMPOSED, wstrName.c_str(), (int)wstrName.size(), &wstrComposed[0], cch);
    return wstrComposed;
}

BOOL FindLookAlike(const std::wstring &wstrName, std::wstring *pwstrFound)
{
    std::wstring wstrFolded = Folded(wstrName);
    for (const std::wstring &wstrFile : ListSeriesFiles()) {
        if (EqualIgnoringCase(Folded(wstrFile).c_str(), wstrFolded.c_str())) {
            *pwstrFound = wstrFile;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL NameInCodePage(const std::wstring &wstrName, UINT uCodePage, std::string *pBytes)
{
    pBytes->clear();
    if (wstrName.empty())
        return FALSE;
    // No flags: several code pages refuse any. A character given as a
    // look-alike or as "?" does not come back as itself, which the round
    // trip below sees.
    int cb = WideCharToMultiByte(uCodePage, 0, wstrName.c_str(), (int)wstrName.size(), NULL, 0,
                                 NULL, NULL);
    if (cb <= 0)
        return FALSE;
    std::string bytes((size_t)cb, '\0');
    WideCharToMultiByte(uCodePage, 0, wstrName.c_str(), (int)wstrName.size(), &bytes[0], cb, NULL,
                        NULL);
    int cch = MultiByteToWideChar(uCodePage, 0, bytes.data(), cb, NULL, 0);
    std::wstring wstrBack(cch > 0 ? (size_t)cch : 0, L'\0');
    if (cch > 0)
        MultiByteToWideChar(uCodePage, 0, bytes.data(), cb, &wstrBack[0], cch);
    if (wstrBack != wstrName || bytes.find('\0') != std::string::npos)
        return FALSE;
    *pBytes = bytes;
    return TRUE;
}
