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

// A failed step's error, for the caller, after clean-up calls that may set
// their own.
static BOOL FailWith(DWORD dwError)
{
    SetLastError(dwError);
    return FALSE;
}

// The attributes without read-only, as SetFileAttributes takes them.
static DWORD WithoutReadOnly(DWORD dwAttr)
{
    dwAttr &= ~FILE_ATTRIBUTE_READONLY;
    return dwAttr != 0 ? dwAttr : FILE_ATTRIBUTE_NORMAL;
}

static BOOL IsFile(const char *pszPath)
{
    DWORD dwAttr = GetFileAttributesA(pszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

static BOOL ComposeInFolder(char *pszPath, const char *pszFolder, const char *pszName)
{
    if (!IsFolderPath(pszFolder))   // a folder that could not get its backslash
        return FailWith(ERROR_FILENAME_EXCED_RANGE);
    if (!CopyPath(pszPath, MAX_PATH, pszFolder) || !AppendPath(pszPath, MAX_PATH, pszName))
        return FailWith(ERROR_FILENAME_EXCED_RANGE);
    return TRUE;
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

// The folder of parts of a folder, in the long form. The data folder's
// keeps creating a part cheap: a name that is not there costs Wine a search
// of its whole folder, and the data folder may hold thousands of series.
// Its name carries the reserved extension, so no listed series can be named
// like it.
static BOOL ComposePartFolder(const char *pszFolder, wchar_t *pwszFolder)
{
    if (ComposeLongPath(pszFolder, pwszFolder)
        && AppendWideOf(pwszFolder, c_szPartFolderBase)
        && AppendWideOf(pwszFolder, c_szPartSuffix))
        return TRUE;
    return FailWith(ERROR_FILENAME_EXCED_RANGE);
}

// The name with the suffix, in the folder of parts of pszFolder: in the
// data folder's, a series' temporary name.
static BOOL ComposeInPartFolder(const char *pszFolder, const char *pszName, wchar_t *pwszPath)
{
    if (!ComposePartFolder(pszFolder, pwszPath))
        return FALSE;
    if (AppendWide(pwszPath, c_cchLongPath, L"\\")
        && AppendWideOf(pwszPath, pszName)
        && AppendWideOf(pwszPath, c_szPartSuffix))
        return TRUE;
    return FailWith(ERROR_FILENAME_EXCED_RANGE);
}

// Made when the first part needs it, and removed at the end of the run. A
// file of its name in the data folder is not ours to remove; no part can be
// made then, and every series stays where it is.
static BOOL MakePartFolder(void)
{
    wchar_t wszFolder[c_cchLongPath];
    if (!ComposePartFolder(g_szDataDir, wszFolder))
        return FALSE;
    if (CreateDirectoryW(wszFolder, NULL))
        return TRUE;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return FALSE;   // the data folder gone, not writable, full: that is the cause
    DWORD dwAttr = GetFileAttributesW(wszFolder);
    if (dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY))
        return TRUE;
    return FailWith(ERROR_CANNOT_MAKE);
}

void RemovePartFolder(void)
{
    wchar_t wszFolder[c_cchLongPath];
    if (IsFolderPath(g_szDataDir) && ComposePartFolder(g_szDataDir, wszFolder))
        RemoveDirectoryW(wszFolder);   // only when empty: a part left stays
}

// A part is ours to remove even when the copy took the source's read-only
// attribute along. TRUE when there was one.
static BOOL RemovePart(const wchar_t *pwszPart)
{
    SetFileAttributesW(pwszPart, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(pwszPart);
}

// Removes what a failed step left of the part; FALSE, with that step's
// error.
static BOOL DropPart(const wchar_t *pwszPart)
{
    DWORD dwError = GetLastError();
    RemovePart(pwszPart);
    return FailWith(dwError);
}

// An installed series is never read-only, whatever the pack's file was:
// Windows would refuse to replace it with next year's edition.
static BOOL MakeWritable(const wchar_t *pwszPath)
{
    DWORD dwAttr = GetFileAttributesW(pwszPath);
    if (dwAttr == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    return !(dwAttr & FILE_ATTRIBUTE_READONLY)
        || SetFileAttributesW(pwszPath, WithoutReadOnly(dwAttr));
}

// Copies the source to the part, which is then writable. A part an earlier
// run left there is removed first (also one left read-only), and a failed
// copy leaves no part behind. The copy refuses to replace: asked to
// replace, it first looks for the target under its name, which costs a
// search of its folder.
static BOOL CopyToPart(const wchar_t *pwszSource, const wchar_t *pwszPart)
{
    BOOL fCopied = CopyFileW(pwszSource, pwszPart, TRUE);
    if (!fCopied && GetLastError() == ERROR_PATH_NOT_FOUND) {
        if (!MakePartFolder())
            return FALSE;
        fCopied = CopyFileW(pwszSource, pwszPart, TRUE);
    }
    if (!fCopied && (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS)) {
        if (!RemovePart(pwszPart))
            return FALSE;
        fCopied = CopyFileW(pwszSource, pwszPart, TRUE);
    }
    if (!fCopied || !MakeWritable(pwszPart))
        return DropPart(pwszPart);
    return TRUE;
}

enum FolderIdentity { FOLDERS_DIFFER, FOLDERS_SAME, FOLDERS_UNKNOWN };

// Whether the data folder is the start folder under another name (a short
// name, a mapped drive, a share, "." in the path): a file made in the data
// folder's folder of parts is then seen from the start folder under the
// same name. This needs no file index, which some file systems lack or give
// as 0 for every file. The file's name is new to this run, so an old folder
// of parts in the start folder cannot pass for it; it goes again when its
// handle is closed. FOLDERS_UNKNOWN leaves the error that made it so.
static FolderIdentity CompareFolders(void)
{
    char szProbe[32];
    wsprintfA(szProbe, "%lu-%lu", GetCurrentProcessId(), GetTickCount());
    wchar_t wszInData[c_cchLongPath], wszInStart[c_cchLongPath];
    if (!ComposeInPartFolder(g_szDataDir, szProbe, wszInData)
        || !ComposeInPartFolder(g_szCurrentDir, szProbe, wszInStart))
        return FOLDERS_UNKNOWN;
    HANDLE hProbe = CreateFileW(wszInData, GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (hProbe == INVALID_HANDLE_VALUE)
        return FOLDERS_UNKNOWN;

    FolderIdentity identity = FOLDERS_SAME;
    DWORD dwError = ERROR_SUCCESS;
    if (GetFileAttributesW(wszInStart) == INVALID_FILE_ATTRIBUTES) {
        dwError = GetLastError();
        BOOL fNotThere = dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
        identity = fNotThere ? FOLDERS_DIFFER : FOLDERS_UNKNOWN;
    }
    CloseHandle(hProbe);
    SetLastError(dwError);
    return identity;
}

// A read-only older edition is replaced like any other; one that stays
// keeps its attribute.
static BOOL ReplaceOlderEdition(const wchar_t *pwszPart, const wchar_t *pwszTarget)
{
    DWORD dwAttr = GetFileAttributesW(pwszTarget);
    BOOL fReadOnly = dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_READONLY);
    if (fReadOnly)
        SetFileAttributesW(pwszTarget, WithoutReadOnly(dwAttr));
    if (MoveFileExW(pwszPart, pwszTarget, MOVEFILE_REPLACE_EXISTING))
        return TRUE;
    DWORD dwError = GetLastError();
    if (fReadOnly)
        SetFileAttributesW(pwszTarget, dwAttr);
    return FailWith(dwError);
}

// Renames the whole part to the series' name. A free name is taken without
// replacing. A name that is there is an older edition, or the source itself
// when the data folder is the start folder by another path: that one is in
// place already and must not be replaced by its own copy and then deleted.
// When the program cannot tell which, it does neither.
static BOOL PutPartInPlace(const wchar_t *pwszPart, const wchar_t *pwszTarget, BOOL *pfSameFile)
{
    *pfSameFile = FALSE;
    if (MoveFileExW(pwszPart, pwszTarget, 0))
        return TRUE;
    DWORD dwError = GetLastError();
    if (dwError != ERROR_ALREADY_EXISTS && dwError != ERROR_FILE_EXISTS)
        return FALSE;
    switch (CompareFolders()) {
    case FOLDERS_SAME:
        *pfSameFile = TRUE;
        return TRUE;
    case FOLDERS_DIFFER:
        return ReplaceOlderEdition(pwszPart, pwszTarget);
    default:
        return FailWith(GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_INVALID_FUNCTION);
    }
}

// A source that is not in the start folder may have been moved by an
// earlier run that ended before it deleted the list: its series counts as
// installed when the data folder holds it. Only a file missing from a start
// folder that is there says so; a start folder gone (renamed, its stick
// pulled) says nothing about any series. Called after the copy failed.
static BOOL MovedByEarlierRun(const char *pszSource, const char *pszTarget)
{
    DWORD dwCopyError = GetLastError();
    DWORD dwError = ERROR_SUCCESS;
    if (GetFileAttributesA(pszSource) == INVALID_FILE_ATTRIBUTES)
        dwError = GetLastError();
    if (dwError != ERROR_FILE_NOT_FOUND)
        return FailWith(dwError == ERROR_PATH_NOT_FOUND ? dwError : dwCopyError);
    return IsFile(pszTarget) || FailWith(ERROR_FILE_NOT_FOUND);
}

// The user asked for a move, so a read-only source goes too once its copy
// is in place. One that cannot be deleted after all keeps its attribute; the
// series is installed either way.
static void DeleteSource(const wchar_t *pwszSource)
{
    if (DeleteFileW(pwszSource))
        return;
    DWORD dwAttr = GetFileAttributesW(pwszSource);
    if (dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_READONLY))
        return;
    if (SetFileAttributesW(pwszSource, WithoutReadOnly(dwAttr)) && !DeleteFileW(pwszSource))
        SetFileAttributesW(pwszSource, dwAttr);
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

BOOL MoveSeriesFile(const char *pszName)
{
    char szSource[MAX_PATH];
    char szTarget[MAX_PATH];
    if (!ComposeInFolder(szSource, g_szCurrentDir, pszName)
        || !ComposeInFolder(szTarget, g_szDataDir, pszName))
        return FALSE;
    if (PathsEqual(szSource, szTarget))
        return TRUE;

    wchar_t wszSource[MAX_PATH], wszTarget[MAX_PATH], wszPart[c_cchLongPath];
    if (!Widen(szSource, wszSource, MAX_PATH) || !Widen(szTarget, wszTarget, MAX_PATH))
        return FailWith(ERROR_FILENAME_EXCED_RANGE);
    if (!ComposeInPartFolder(g_szDataDir, pszName, wszPart))
        return FALSE;

    if (!CopyToPart(wszSource, wszPart)) {
        // Not in the start folder under its own name: a zip tool may have
        // unpacked it under another form of it.
        DWORD dwError = GetLastError();
        if (dwError != ERROR_FILE_NOT_FOUND
            || FindZipToolName(g_szCurrentDir, pszName, CP_ACP, CP_OEMCP, wszSource, MAX_PATH)
                   != ZIPFORM_ONE) {
            SetLastError(dwError);
            return MovedByEarlierRun(szSource, szTarget);
        }
        if (!CopyToPart(wszSource, wszPart))
            return FALSE;
    }
    BOOL fSameFile;
    if (!PutPartInPlace(wszPart, wszTarget, &fSameFile)) {
        if (GetLastError() == ERROR_ACCESS_DENIED && IsHeldOpen(wszTarget))
            SetLastError(ERROR_SHARING_VIOLATION);
        return DropPart(wszPart);
    }
    if (fSameFile) {
        RemovePart(wszPart);
        return TRUE;
    }
    DeleteSource(wszSource);
    return TRUE;
}
