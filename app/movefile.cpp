#include "app/movefile.h"
#include "app/fileinfo.h"
#include "app/globals.h"
#include "app/parts.h"
#include "app/patience.h"
#include "app/paths.h"
#include "app/zipnames.h"
#include <shlwapi.h>
#include <string.h>

// What the run found before its first copy; FOLDERS_UNKNOWN asks again.
static FolderIdentity s_identity = FOLDERS_UNKNOWN;
// Makes each probe's name new within the run: a probe a scanner still
// holds must not stand in the way of the next one.
static DWORD s_cProbes;

static DWORD ComposeInFolder(char *pszPath, const char *pszFolder, const char *pszName)
{
    if (!IsFolderPath(pszFolder))   // a folder that could not get its backslash
        return ERROR_FILENAME_EXCED_RANGE;
    if (!CopyPath(pszPath, MAX_PATH, pszFolder) || !AppendPath(pszPath, MAX_PATH, pszName))
        return ERROR_FILENAME_EXCED_RANGE;
    return ERROR_SUCCESS;
}

static BOOL Widen(const char *pszPath, WCHAR *pwszPath)
{
    return MultiByteToWideChar(CP_ACP, 0, pszPath, -1, pwszPath, MAX_PATH) != 0;
}

// Only a name of at most eight characters, a dot and three can be a short
// name, so only such a name is looked up for one.
static BOOL CouldBeShortName(const char *pszName)
{
    const char *pchDot = strchr(pszName, '.');
    if (pchDot == NULL)
        return strlen(pszName) <= 8;
    return strchr(pchDot + 1, '.') == NULL && pchDot - pszName <= 8 && strlen(pchDot + 1) <= 3;
}

// Whether the data folder is the start folder under another name: a file
// made in the data folder's folder of parts is then seen from the start
// folder under the same name. This needs no file index, which some file
// systems lack or give as 0 for every file. The file's name is new to this
// run, so an old folder of parts in the start folder cannot pass for it.
// For FOLDERS_UNKNOWN, *pdwError is what kept the program from telling.
static FolderIdentity ProbeFolders(DWORD *pdwError)
{
    char szProbe[32];
    wnsprintfA(szProbe, sizeof(szProbe), "%lu-%lu", GetCurrentProcessId(), ++s_cProbes);
    WCHAR wszInData[c_cchLongPath], wszInStart[c_cchLongPath];
    *pdwError = ComposeInPartFolder(g_szDataDir, szProbe, wszInData);
    if (*pdwError == ERROR_SUCCESS)
        *pdwError = ComposeInPartFolder(g_szCurrentDir, szProbe, wszInStart);
    if (*pdwError != ERROR_SUCCESS)
        return FOLDERS_UNKNOWN;
    // Gone again when its handle is closed, even if the program is ended
    // meanwhile.
    HANDLE hProbe = CreateFileW(wszInData, GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (hProbe == INVALID_HANDLE_VALUE) {
        *pdwError = GetLastError();
        return FOLDERS_UNKNOWN;
    }
    FolderIdentity identity = FOLDERS_SAME;
    if (GetFileAttributesW(wszInStart) == INVALID_FILE_ATTRIBUTES) {
        *pdwError = GetLastError();
        BOOL fNotThere = *pdwError == ERROR_FILE_NOT_FOUND || *pdwError == ERROR_PATH_NOT_FOUND;
        identity = fNotThere ? FOLDERS_DIFFER : FOLDERS_UNKNOWN;
    }
    CloseHandle(hProbe);
    DeleteFileW(wszInData);   // should a scanner still hold it open
    return identity;
}

FolderIdentity CompareDataWithStart(void)
{
    DWORD dwError;
    s_identity = MakePartFolder() == ERROR_SUCCESS ? ProbeFolders(&dwError) : FOLDERS_UNKNOWN;
    return s_identity;
}

void ForgetFolderIdentity(void)
{
    s_identity = FOLDERS_UNKNOWN;
}

// A read-only file (dwAttr: its attributes) that a step replaces or deletes
// loses the attribute for that step. Returns the attributes to put back
// should the step fail (0: none).
static DWORD LiftReadOnly(const WCHAR *pwszPath, DWORD dwAttr)
{
    if (dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_READONLY))
        return 0;
    DWORD dwWritable = dwAttr & ~FILE_ATTRIBUTE_READONLY;
    SetFileAttributesW(pwszPath, dwWritable != 0 ? dwWritable : FILE_ATTRIBUTE_NORMAL);
    return dwAttr;
}

static void RestoreReadOnly(const WCHAR *pwszPath, DWORD dwAttr)
{
    if (dwAttr != 0)
        SetFileAttributesW(pwszPath, dwAttr);
}

// Windows refuses to rename over a file that a program holds open with
// "access denied", which would send the user after rights instead of after
// the program. Whether the file is held open shows when it is opened for
// deletion.
static BOOL IsHeldOpen(const WCHAR *pwszPath)
{
    HANDLE hFile = CreateFileW(pwszPath, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(hFile);
        return FALSE;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

// A read-only older edition is replaced like any other; one that stays
// keeps its attribute.
static DWORD ReplaceOlderEdition(HANDLE hPart, const WCHAR *pwszTarget, Patience *pPatience)
{
    DWORD dwAttr = LiftReadOnly(pwszTarget, GetFileAttributesW(pwszTarget));
    DWORD dwError;
    do {
        dwError = RenamePart(hPart, pwszTarget, TRUE);
        if (dwError == ERROR_SUCCESS)
            return ERROR_SUCCESS;
    } while (WaitOutHold(pPatience, dwError, TRUE));
    RestoreReadOnly(pwszTarget, dwAttr);
    if (dwError == ERROR_ACCESS_DENIED && IsHeldOpen(pwszTarget))
        return ERROR_SHARING_VIOLATION;
    return dwError;
}

// A name that is there is an older edition, or the source itself when the
// data folder is the start folder by another path: that one is in place
// already and must not be replaced by its own copy and then deleted. When
// the program cannot tell which, it does neither. A name that reaches
// another series through its short name replaces nothing.
static DWORD ReplaceWhatStandsThere(HANDLE hPart, const WCHAR *pwszTarget,
                                    MoveResult *pResult, Patience *pPatience, BOOL *pfSameFile)
{
    if (ReachesAnotherName(pwszTarget, pResult->wszLongName, MAX_PATH))
        return c_dwErrShortNameInData;
    FolderIdentity identity = s_identity;
    DWORD dwError = ERROR_SUCCESS;
    if (identity == FOLDERS_UNKNOWN)
        identity = ProbeFolders(&dwError);
    switch (identity) {
    case FOLDERS_SAME:
        *pfSameFile = TRUE;
        return ERROR_SUCCESS;
    case FOLDERS_DIFFER:
        return ReplaceOlderEdition(hPart, pwszTarget, pPatience);
    default:
        return dwError;
    }
}

// Renames the whole part to the series' name; a free name is taken
// without replacing.
static DWORD PutPartInPlace(HANDLE hPart, const WCHAR *pwszTarget, MoveResult *pResult,
                            Patience *pPatience, BOOL *pfSameFile)
{
    for (;;) {
        DWORD dwError = RenamePart(hPart, pwszTarget, FALSE);
        if (dwError == ERROR_SUCCESS)
            return ERROR_SUCCESS;
        if (IsFolderW(pwszTarget))
            return c_dwErrFolderInTheWay;
        if (dwError == ERROR_ALREADY_EXISTS || dwError == ERROR_FILE_EXISTS)
            return ReplaceWhatStandsThere(hPart, pwszTarget, pResult, pPatience, pfSameFile);
        // A scanner may be reading the part just written.
        if (!WaitOutHold(pPatience, dwError, TRUE))
            return dwError;
    }
}

// The user asked for a move, so a read-only source goes too once its copy
// is in place. One that cannot be deleted after all keeps its attribute; the
// series is installed either way.
static void DeleteSource(const WCHAR *pwszSource, DWORD dwSourceAttr, Patience *pPatience)
{
    DWORD dwAttr = LiftReadOnly(pwszSource, dwSourceAttr);
    while (!DeleteFileW(pwszSource)) {
        if (!WaitOutHold(pPatience, GetLastError(), TRUE)) {
            RestoreReadOnly(pwszSource, dwAttr);
            return;
        }
    }
}

// Shared for reading only, as CopyFile opens it: nobody changes the series
// while it is copied.
static DWORD OpenSource(const WCHAR *pwszSource, HANDLE *phSource,
                        BY_HANDLE_FILE_INFORMATION *pInfo, Patience *pPatience)
{
    for (;;) {
        *phSource = CreateFileW(pwszSource, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, NULL);
        if (*phSource != INVALID_HANDLE_VALUE)
            break;
        DWORD dwError = GetLastError();
        if (!WaitOutHold(pPatience, dwError, FALSE))
            return dwError;
    }
    if (!GetFileInformationByHandle(*phSource, pInfo)) {
        DWORD dwError = GetLastError();
        CloseHandle(*phSource);
        return dwError;
    }
    return ERROR_SUCCESS;
}

// Not in the start folder under its own name: a zip tool may have unpacked
// it under another form of it. Of several, which one was meant cannot be
// told.
static DWORD OpenZipToolForm(const char *pszName, WCHAR *pwszSource, HANDLE *phSource,
                             BY_HANDLE_FILE_INFORMATION *pInfo, Patience *pPatience)
{
    switch (FindZipToolName(g_szCurrentDir, pszName, CP_ACP, CP_OEMCP, pwszSource, MAX_PATH)) {
    case ZIPFORM_ONE:
        return OpenSource(pwszSource, phSource, pInfo, pPatience);
    case ZIPFORM_SEVERAL:
        return c_dwErrSeveralForms;
    default:
        return ERROR_FILE_NOT_FOUND;
    }
}

// The series as the pack holds it, under its own name: never another file
// that the name reaches through its short name.
static DWORD OpenSeries(const char *pszName, WCHAR *pwszSource, HANDLE *phSource,
                        BY_HANDLE_FILE_INFORMATION *pInfo, MoveResult *pResult, Patience *pPatience)
{
    DWORD dwError = OpenSource(pwszSource, phSource, pInfo, pPatience);
    if (dwError == ERROR_FILE_NOT_FOUND)
        return OpenZipToolForm(pszName, pwszSource, phSource, pInfo, pPatience);
    if (dwError == ERROR_SUCCESS && CouldBeShortName(pszName)
        && ReachesAnotherName(pwszSource, pResult->wszLongName, MAX_PATH)) {
        CloseHandle(*phSource);
        return c_dwErrShortNameInPack;
    }
    return dwError;
}

// A source that is not in the start folder may have been moved by an
// earlier run that ended before it deleted the list: its series counts as
// installed when the data folder holds it under its own name. Only a file
// missing from a start folder that is there says so; a start folder gone
// (renamed, its stick pulled) says nothing about any series.
static DWORD WasThereBefore(const WCHAR *pwszTarget, MoveResult *pResult)
{
    WCHAR wszOther[MAX_PATH];
    if (!IsFileW(pwszTarget) || ReachesAnotherName(pwszTarget, wszOther, MAX_PATH))
        return ERROR_FILE_NOT_FOUND;
    pResult->fWasThere = TRUE;
    return ERROR_SUCCESS;
}

// The part is renamed through its own handle, still open and shared with
// nobody: no other program can take it between its copy and its rename,
// and the system need not look it up again. Once flushed, its contents are
// on disk, and closing it tells nothing more.
static DWORD CopyAndPutInPlace(HANDLE hSource, const BY_HANDLE_FILE_INFORMATION *pInfo,
                               const WCHAR *pwszPart, const WCHAR *pwszTarget, MoveResult *pResult,
                               Patience *pPatience, BOOL *pfSameFile)
{
    *pfSameFile = FALSE;
    HANDLE hPart;
    DWORD dwError = CreatePart(pwszPart, pInfo, &hPart, pPatience);
    if (dwError != ERROR_SUCCESS)
        return dwError;
    dwError = FillPart(hSource, pInfo, hPart);
    if (dwError == ERROR_SUCCESS)
        dwError = PutPartInPlace(hPart, pwszTarget, pResult, pPatience, pfSameFile);
    CloseHandle(hPart);
    return dwError;
}

DWORD MoveSeriesFile(const char *pszName, MoveResult *pResult)
{
    pResult->fWasThere = FALSE;
    pResult->wszLongName[0] = L'\0';
    char szSource[MAX_PATH], szTarget[MAX_PATH];
    DWORD dwError = ComposeInFolder(szSource, g_szCurrentDir, pszName);
    if (dwError == ERROR_SUCCESS)
        dwError = ComposeInFolder(szTarget, g_szDataDir, pszName);
    WCHAR wszSource[MAX_PATH], wszTarget[MAX_PATH], wszPart[c_cchLongPath];
    if (dwError == ERROR_SUCCESS && (!Widen(szSource, wszSource) || !Widen(szTarget, wszTarget)))
        dwError = ERROR_FILENAME_EXCED_RANGE;
    if (dwError == ERROR_SUCCESS)
        dwError = ComposeInPartFolder(g_szDataDir, pszName, wszPart);
    if (dwError != ERROR_SUCCESS)
        return dwError;

    Patience patience;
    BeginPatience(&patience);
    HANDLE hSource;
    BY_HANDLE_FILE_INFORMATION info;
    dwError = OpenSeries(pszName, wszSource, &hSource, &info, pResult, &patience);
    if (dwError != ERROR_SUCCESS) {
        // What an interrupted run left of the series goes all the same.
        RemovePart(wszPart, &patience);
        return dwError == ERROR_FILE_NOT_FOUND ? WasThereBefore(wszTarget, pResult) : dwError;
    }
    BOOL fSameFile;
    dwError = CopyAndPutInPlace(hSource, &info, wszPart, wszTarget, pResult, &patience, &fSameFile);
    CloseHandle(hSource);
    if (dwError != ERROR_SUCCESS || fSameFile) {
        // A part that did not take the series' name goes: no half file,
        // and no second copy of a series already in place.
        RemovePart(wszPart, &patience);
        return dwError;
    }
    DeleteSource(wszSource, info.dwFileAttributes, &patience);
    return ERROR_SUCCESS;
}
