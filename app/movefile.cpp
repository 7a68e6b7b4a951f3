#include "movefile.h"
#include "globals.h"
#include "paths.h"
#include <string.h>

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

static BOOL ComposeInFolder(char *pszPath, const char *pszFolder, const char *pszName)
{
    if (!IsFolderPath(pszFolder))
        return FALSE;   // a folder that could not get its backslash
    return CopyPath(pszPath, MAX_PATH, pszFolder)
        && AppendPath(pszPath, MAX_PATH, pszName);
}

// A target name that is free: the copy refuses to replace, so that a file
// that appears meanwhile is never overwritten. The name was free, so what
// stands there after a failed copy is a copy cut short (a full disk), which
// is removed rather than left to pose as the series.
static BOOL CopyToFreeName(const char *pszSource, const char *pszTarget)
{
    if (CopyFileA(pszSource, pszTarget, TRUE))
        return TRUE;
    DWORD dwError = GetLastError();
    if (dwError != ERROR_FILE_EXISTS && dwError != ERROR_ALREADY_EXISTS)
        DeleteFileA(pszTarget);
    return FALSE;
}

// A target that is there: the copy lands under a temporary name in the data
// folder and replaces it only once whole, so a copy cut short never destroys
// the version that was there. A data folder too deep for a temporary name
// gets the copy directly.
static BOOL CopyOverTarget(const char *pszSource, const char *pszTarget)
{
    const size_t c_cchTempName = 14;   // GetTempFileNameA's folder limit
    if (strlen(g_szDataDir) >= MAX_PATH - c_cchTempName)
        return CopyFileA(pszSource, pszTarget, FALSE);

    char szTemp[MAX_PATH];
    if (GetTempFileNameA(g_szDataDir, "rrs", 0, szTemp) == 0)
        return FALSE;
    if (CopyFileA(pszSource, szTemp, FALSE)
        && MoveFileExA(szTemp, pszTarget, MOVEFILE_REPLACE_EXISTING))
        return TRUE;
    DeleteFileA(szTemp);
    return FALSE;
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
    if (GetFileAttributesA(szSource) == INVALID_FILE_ATTRIBUTES)
        return IsFile(szTarget);   // moved by an earlier run

    // Only a target that is there can be the source under another name; the
    // identity check costs more than copying a small file, so it waits.
    BOOL fCopied;
    if (GetFileAttributesA(szTarget) == INVALID_FILE_ATTRIBUTES)
        fCopied = CopyToFreeName(szSource, szTarget);
    else if (IsSameFile(szSource, szTarget))
        return TRUE;
    else
        fCopied = CopyOverTarget(szSource, szTarget);
    if (!fCopied)
        return FALSE;
    DeleteFileA(szSource);
    return TRUE;
}
