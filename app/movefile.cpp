#include "app/movefile.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/zipnames.h"
#include <string.h>
#include <wchar.h>

// Every copy lands under the series' own name with c_szPartSuffix, in the
// data folder's folder of parts, and is renamed to the series' name only
// once whole: however the run ends, no part of a file stands under a
// series' name. The name is the same for a series in every run, so the next
// run finds what an interrupted one left and removes exactly that.

// Room for a full path made of a relative ANSI folder, the current
// directory and the suffix, with the long-path prefix.
static const DWORD c_cchLongPath = 3 * MAX_PATH;

// Volume serial number and file index: the same file under two names (a
// short name, another drive letter mapped to the same folder) has the same.
static BOOL GetFileIdentity(const char *pszPath, BY_HANDLE_FILE_INFORMATION *pInfo)
{
    HANDLE hFile = CreateFileA(pszPath, 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL fOk = GetFileInformationByHandle(hFile, pInfo);
    CloseHandle(hFile);
    return fOk;
}

static BOOL IsSameFile(const char *pszA, const char *pszB)
{
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    if (!GetFileIdentity(pszA, &infoA) || !GetFileIdentity(pszB, &infoB))
        return FALSE;
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber
        && infoA.nFileIndexHigh == infoB.nFileIndexHigh
        && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

static BOOL IsFile(const char *pszPath)
{
    DWORD dwAttr = GetFileAttributesA(pszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

// Only a file that is not there at all may count as moved by an earlier
// run; one that cannot be read (denied, in use) is still to be moved.
static BOOL IsAbsent(const char *pszPath)
{
    if (GetFileAttributesA(pszPath) != INVALID_FILE_ATTRIBUTES)
        return FALSE;
    DWORD dwError = GetLastError();
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
}

static BOOL ComposeInFolder(char *pszPath, const char *pszFolder, const char *pszName)
{
    if (!IsFolderPath(pszFolder))
        return FALSE;   // a folder that could not get its backslash
    return CopyPath(pszPath, MAX_PATH, pszFolder)
        && AppendPath(pszPath, MAX_PATH, pszName);
}

static BOOL Widen(const char *pszPath, wchar_t *pwszPath, int cchPath)
{
    return MultiByteToWideChar(CP_ACP, 0, pszPath, -1, pwszPath, cchPath) != 0;
}

// A path in the "\\?\" form, which reaches past MAX_PATH: a series' path
// fits, its longer temporary one need not. The full path is what the ANSI
// calls make of the path too, so both name the same folder.
static BOOL ComposeLongPath(const char *pszPath, wchar_t *pwszLong)
{
    wchar_t wszPath[MAX_PATH];
    wchar_t wszFull[c_cchLongPath];
    if (!Widen(pszPath, wszPath, MAX_PATH))
        return FALSE;
    DWORD cchFull = GetFullPathNameW(wszPath, c_cchLongPath, wszFull, NULL);
    if (cchFull == 0 || cchFull >= c_cchLongPath)
        return FALSE;

    const wchar_t *pwszPrefix = L"\\\\?\\";
    const wchar_t *pwszRest = wszFull;
    if (wcsncmp(wszFull, L"\\\\?\\", 4) == 0 || wcsncmp(wszFull, L"\\\\.\\", 4) == 0) {
        pwszPrefix = L"";   // already in the long form
    } else if (wcsncmp(wszFull, L"\\\\", 2) == 0) {
        pwszPrefix = L"\\\\?\\UNC\\";
        pwszRest = wszFull + 2;
    }
    pwszLong[0] = L'\0';
    return AppendWide(pwszLong, c_cchLongPath, pwszPrefix)
        && AppendWide(pwszLong, c_cchLongPath, pwszRest);
}

// Appends an ANSI string, converted, to a long path.
static BOOL AppendWideOf(wchar_t *pwszLong, const char *pszSrc)
{
    wchar_t wszSrc[MAX_PATH];
    return Widen(pszSrc, wszSrc, MAX_PATH) && AppendWide(pwszLong, c_cchLongPath, wszSrc);
}

// The folder of parts in the data folder, in the long form. A folder of its
// own keeps creating a part cheap: a name that is not there costs Wine a
// search of its whole folder, and the data folder may hold thousands of
// series. Its name carries the reserved extension, so no listed series can
// be named like it.
static BOOL ComposePartFolder(wchar_t *pwszFolder)
{
    return ComposeLongPath(g_szDataDir, pwszFolder)
        && AppendWideOf(pwszFolder, c_szPartFolderBase)
        && AppendWideOf(pwszFolder, c_szPartSuffix);
}

// The temporary name of a series: its own name with the suffix, in the
// folder of parts.
static BOOL ComposePartPath(const char *pszName, wchar_t *pwszPart)
{
    return ComposePartFolder(pwszPart)
        && AppendWide(pwszPart, c_cchLongPath, L"\\")
        && AppendWideOf(pwszPart, pszName)
        && AppendWideOf(pwszPart, c_szPartSuffix);
}

// Made when the first part needs it, and removed at the end of the run.
// FALSE with the reason as the last error: ERROR_CANNOT_MAKE when a file of
// that name stands in its way.
static BOOL MakePartFolder(void)
{
    wchar_t wszFolder[c_cchLongPath];
    if (!ComposePartFolder(wszFolder)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    if (CreateDirectoryW(wszFolder, NULL))
        return TRUE;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return FALSE;
    DWORD dwAttr = GetFileAttributesW(wszFolder);
    if (dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY))
        return TRUE;
    SetLastError(ERROR_CANNOT_MAKE);
    return FALSE;
}

void RemovePartFolder(void)
{
    wchar_t wszFolder[c_cchLongPath];
    if (IsFolderPath(g_szDataDir) && ComposePartFolder(wszFolder))
        RemoveDirectoryW(wszFolder);   // only when empty: a part left stays
}

// A part is ours to remove even when the copy took the source's read-only
// attribute along. TRUE when there was one.
static BOOL RemovePart(const wchar_t *pwszPart)
{
    SetFileAttributesW(pwszPart, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(pwszPart);
}

// Copies the source to the part. A part an earlier run left there is
// removed first (also one left read-only), and a failed copy leaves no part
// behind. The copy refuses to replace: asked to replace, it first looks for
// the target under its name, which costs a search of its folder.
static BOOL CopyToPart(const wchar_t *pwszSource, const wchar_t *pwszPart)
{
    if (CopyFileW(pwszSource, pwszPart, TRUE))
        return TRUE;
    DWORD dwError = GetLastError();
    if (dwError == ERROR_PATH_NOT_FOUND) {
        if (MakePartFolder() && CopyFileW(pwszSource, pwszPart, TRUE))
            return TRUE;
        dwError = GetLastError();
    }
    BOOL fLeftOver = dwError == ERROR_FILE_EXISTS || dwError == ERROR_ALREADY_EXISTS;
    if (RemovePart(pwszPart) && fLeftOver) {
        if (CopyFileW(pwszSource, pwszPart, TRUE))
            return TRUE;
        dwError = GetLastError();
    }
    RemovePart(pwszPart);
    SetLastError(dwError);
    return FALSE;
}

// Renames the whole part to the series' name. A free name is taken without
// replacing; a name that is there may be the source itself under another
// name (the data folder is the start folder by another path), which is then
// in place already and must not be replaced by its own copy.
static BOOL PutPartInPlace(const wchar_t *pwszPart, const wchar_t *pwszTarget,
                           const char *pszSource, const char *pszTarget, BOOL *pfSameFile)
{
    *pfSameFile = FALSE;
    if (MoveFileExW(pwszPart, pwszTarget, 0))
        return TRUE;
    DWORD dwError = GetLastError();
    if (dwError != ERROR_ALREADY_EXISTS && dwError != ERROR_FILE_EXISTS)
        return FALSE;
    if (IsSameFile(pszSource, pszTarget)) {
        *pfSameFile = TRUE;
        return TRUE;
    }
    return MoveFileExW(pwszPart, pwszTarget, MOVEFILE_REPLACE_EXISTING);
}

// Windows refuses to rename over a file that a program holds open with
// "access denied", which would send the user after rights instead of after
// the program. Whether the file is held open shows when it is opened for
// deletion.
static BOOL IsHeldOpen(const wchar_t *pwszPath)
{
    HANDLE hFile = CreateFileW(pwszPath, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(hFile);
        return FALSE;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

// Every FALSE return leaves the cause as the thread's last error, for the
// closing warning to name.
static BOOL Fail(DWORD dwError)
{
    SetLastError(dwError);
    return FALSE;
}

BOOL MoveSeriesFile(const char *pszName)
{
    char szSource[MAX_PATH];
    char szTarget[MAX_PATH];
    if (!ComposeInFolder(szSource, g_szCurrentDir, pszName)
        || !ComposeInFolder(szTarget, g_szDataDir, pszName))
        return Fail(ERROR_FILENAME_EXCED_RANGE);
    if (PathsEqual(szSource, szTarget))
        return TRUE;

    wchar_t wszSource[MAX_PATH], wszTarget[MAX_PATH], wszPart[c_cchLongPath];
    if (!Widen(szSource, wszSource, MAX_PATH) || !Widen(szTarget, wszTarget, MAX_PATH)
        || !ComposePartPath(pszName, wszPart))
        return Fail(ERROR_FILENAME_EXCED_RANGE);

    // A zip tool may have unpacked the series under another form of its name.
    BOOL fOtherForm = IsAbsent(szSource)
        && FindZipToolName(g_szCurrentDir, pszName, CP_ACP, CP_OEMCP, wszSource, MAX_PATH);
    if (!CopyToPart(wszSource, wszPart)) {
        DWORD dwError = GetLastError();
        if (fOtherForm || !IsAbsent(szSource))
            return Fail(dwError);
        return IsFile(szTarget) || Fail(ERROR_FILE_NOT_FOUND);   // moved by an earlier run
    }
    BOOL fSameFile;
    if (!PutPartInPlace(wszPart, wszTarget, szSource, szTarget, &fSameFile)) {
        DWORD dwError = GetLastError();
        if (dwError == ERROR_ACCESS_DENIED && IsHeldOpen(wszTarget))
            dwError = ERROR_SHARING_VIOLATION;
        RemovePart(wszPart);
        return Fail(dwError);
    }
    if (fSameFile) {
        RemovePart(wszPart);
        return TRUE;
    }
    DeleteFileW(wszSource);
    return TRUE;
}
