#include "packcheck/packfiles.h"
#include "app/entry.h"
#include "app/paths.h"
#include <algorithm>
#include <wchar.h>

const WCHAR c_wszInstallerName[] = L"instrrse.exe";
static const WCHAR c_wszCheckerName[] = L"packcheck.exe";

BOOL EqualIgnoringCase(const std::wstring &wszA, const std::wstring &wszB)
{
    return CompareStringOrdinal(wszA.c_str(), (int)wszA.size(), wszB.c_str(), (int)wszB.size(),
                                TRUE) == CSTR_EQUAL;
}

// The installer's comparison of names: the case of A to Z only.
static BOOL EqualIgnoringAsciiCase(const WCHAR *pwszA, const WCHAR *pwszB)
{
    for (; *pwszA != L'\0' || *pwszB != L'\0'; pwszA++, pwszB++) {
        WCHAR wchA = *pwszA >= L'A' && *pwszA <= L'Z' ? (WCHAR)(*pwszA - L'A' + L'a') : *pwszA;
        WCHAR wchB = *pwszB >= L'A' && *pwszB <= L'Z' ? (WCHAR)(*pwszB - L'A' + L'a') : *pwszB;
        if (wchA != wchB)
            return FALSE;
    }
    return TRUE;
}

BOOL IsLeftBehind(const std::wstring &wszName)
{
    static const WCHAR *const c_apwszLeftBehind[] = {
        L".DS_Store", L"__MACOSX", L"Thumbs.db", L"desktop.ini",
    };
    for (const WCHAR *pwszLeftBehind : c_apwszLeftBehind)
        if (EqualIgnoringAsciiCase(wszName.c_str(), pwszLeftBehind))
            return TRUE;
    return wszName.compare(0, 2, L"._") == 0;
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

static bool SortsBefore(const std::wstring &wszA, const std::wstring &wszB)
{
    return CompareStringOrdinal(wszA.c_str(), -1, wszB.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

std::vector<std::wstring> ListSeriesFiles()
{
    std::vector<std::wstring> awszNames;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(L"*", &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return awszNames;
    do {
        if (IsSeriesFile(fd))
            awszNames.push_back(fd.cFileName);
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
    std::sort(awszNames.begin(), awszNames.end(), SortsBefore);
    return awszNames;
}

PackLookup FindInPack(const std::wstring &wszName, std::wstring *pwszFound)
{
    // A pattern or a path would find other files; the installer refuses
    // such names before it looks.
    if (wszName.empty()
        || std::find_if(wszName.begin(), wszName.end(), IsForbiddenInName) != wszName.end())
        return PACK_MISSING;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(wszName.c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return PACK_MISSING;
    FindClose(hFind);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return PACK_FOLDER;
    *pwszFound = fd.cFileName;
    // Letter case aside as the file system compares names, as the
    // installer tells a short name from the file's own.
    return EqualIgnoringCase(fd.cFileName, wszName) ? PACK_FILE : PACK_ALIAS;
}

// The name without accents: every character decomposed
// into its base letter and combining marks, and the marks dropped.
static std::wstring Folded(const std::wstring &wszName)
{
    int cch = FoldStringW(MAP_COMPOSITE, wszName.c_str(), (int)wszName.size(), NULL, 0);
    if (cch <= 0)
        return wszName;
    std::wstring wszDecomposed((size_t)cch, L'\0');
    FoldStringW(MAP_COMPOSITE, wszName.c_str(), (int)wszName.size(), &wszDecomposed[0], cch);
    std::wstring wszFolded;
    for (WCHAR wch : wszDecomposed)
        if (wch < 0x0300 || wch > 0x036F)
            wszFolded += wch;
    return wszFolded;
}

std::wstring Composed(const std::wstring &wszName)
{
    int cch = FoldStringW(MAP_PRECOMPOSED, wszName.c_str(), (int)wszName.size(), NULL, 0);
    if (cch <= 0)
        return wszName;
    std::wstring wszComposed((size_t)cch, L'\0');
    FoldStringW(MAP_PRECOMPOSED, wszName.c_str(), (int)wszName.size(), &wszComposed[0], cch);
    return wszComposed;
}

BOOL FindLookAlike(const std::wstring &wszName, std::wstring *pwszFound)
{
    std::wstring wszFolded = Folded(wszName);
    for (const std::wstring &wszFile : ListSeriesFiles()) {
        if (EqualIgnoringCase(Folded(wszFile).c_str(), wszFolded.c_str())) {
            *pwszFound = wszFile;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL NameInCodePage(const std::wstring &wszName, UINT uCodePage, std::string *pBytes)
{
    pBytes->clear();
    if (wszName.empty())
        return FALSE;
    // No flags: several code pages refuse any. A character given as a
    // look-alike or as "?" does not come back as itself, which the round
    // trip below sees.
    int cb = WideCharToMultiByte(uCodePage, 0, wszName.c_str(), (int)wszName.size(), NULL, 0,
                                 NULL, NULL);
    if (cb <= 0)
        return FALSE;
    std::string bytes((size_t)cb, '\0');
    WideCharToMultiByte(uCodePage, 0, wszName.c_str(), (int)wszName.size(), &bytes[0], cb, NULL,
                        NULL);
    int cch = MultiByteToWideChar(uCodePage, 0, bytes.data(), cb, NULL, 0);
    std::wstring wszBack(cch > 0 ? (size_t)cch : 0, L'\0');
    if (cch > 0)
        MultiByteToWideChar(uCodePage, 0, bytes.data(), cb, &wszBack[0], cch);
    if (wszBack != wszName || bytes.find('\0') != std::string::npos)
        return FALSE;
    *pBytes = bytes;
    return TRUE;
}
