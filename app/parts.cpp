#include "app/parts.h"
#include "app/fileinfo.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/progress.h"
#include <string.h>
#include <wchar.h>

// Large enough that reading and writing cost little more than the disk's
// own time, small enough that a stop is seen within a blink.
static const DWORD c_cbBlock = 1 << 20;
static BYTE s_abBlock[c_cbBlock];

// The attributes a copy takes from its source, as CopyFile gives them,
// without read-only: Windows would refuse to replace an installed series
// that is read-only with next year's edition.
static const DWORD c_dwCopiedAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN
                                        | FILE_ATTRIBUTE_SYSTEM
                                        | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

static BOOL Widen(const char *pszPath, WCHAR *pwszPath, int cchPath)
{
    return MultiByteToWideChar(CP_ACP, 0, pszPath, -1, pwszPath, cchPath) != 0;
}

// The full path is what the ANSI calls make of the path too, so both name
// the same folder.
DWORD ComposeLongPath(const char *pszPath, WCHAR *pwszLong)
{
    WCHAR wszPath[MAX_PATH];
    WCHAR wszFull[c_cchLongPath];
    if (!Widen(pszPath, wszPath, MAX_PATH))
        return ERROR_FILENAME_EXCED_RANGE;
    DWORD cchFull = GetFullPathNameW(wszPath, c_cchLongPath, wszFull, NULL);
    if (cchFull == 0 || cchFull >= c_cchLongPath)
        return ERROR_FILENAME_EXCED_RANGE;

    const WCHAR *pwszPrefix = L"\\\\?\\";
    const WCHAR *pwszRest = wszFull;
    if (wcsncmp(wszFull, L"\\\\?\\", 4) == 0 || wcsncmp(wszFull, L"\\\\.\\", 4) == 0) {
        pwszPrefix = L"";   // already in the long form
    } else if (wcsncmp(wszFull, L"\\\\", 2) == 0) {
        pwszPrefix = L"\\\\?\\UNC\\";
        pwszRest = wszFull + 2;
    }
    pwszLong[0] = L'\0';
    if (AppendWide(pwszLong, c_cchLongPath, pwszPrefix) && AppendWide(pwszLong, c_cchLongPath, pwszRest))
        return ERROR_SUCCESS;
    return ERROR_FILENAME_EXCED_RANGE;
}

// Appends an ANSI string, converted, to a long path.
static BOOL AppendWideOf(WCHAR *pwszLong, const char *pszSrc)
{
    WCHAR wszSrc[MAX_PATH];
    return Widen(pszSrc, wszSrc, MAX_PATH) && AppendWide(pwszLong, c_cchLongPath, wszSrc);
}

// The folder of parts keeps making a part cheap: a name that is not there
// costs Wine a search of its whole folder, and the data folder may hold
// thousands of series. Its name carries the reserved extension, so no
// listed series can be named like it.
static DWORD ComposePartFolder(const char *pszFolder, WCHAR *pwszFolder)
{
    DWORD dwError = ComposeLongPath(pszFolder, pwszFolder);
    if (dwError != ERROR_SUCCESS)
        return dwError;
    if (AppendWideOf(pwszFolder, c_szPartFolderBase) && AppendWideOf(pwszFolder, c_szPartSuffix))
        return ERROR_SUCCESS;
    return ERROR_FILENAME_EXCED_RANGE;
}

DWORD ComposeInPartFolder(const char *pszFolder, const char *pszName, WCHAR *pwszPath)
{
    DWORD dwError = ComposePartFolder(pszFolder, pwszPath);
    if (dwError != ERROR_SUCCESS)
        return dwError;
    if (AppendWide(pwszPath, c_cchLongPath, L"\\") && AppendWideOf(pwszPath, pszName)
        && AppendWideOf(pwszPath, c_szPartSuffix))
        return ERROR_SUCCESS;
    return ERROR_FILENAME_EXCED_RANGE;
}

DWORD MakePartFolder(void)
{
    WCHAR wszFolder[c_cchLongPath];
    DWORD dwError = ComposePartFolder(g_szDataDir, wszFolder);
    if (dwError != ERROR_SUCCESS)
        return dwError;
    if (CreateDirectoryW(wszFolder, NULL))
        return ERROR_SUCCESS;
    dwError = GetLastError();
    if (dwError != ERROR_ALREADY_EXISTS)
        return dwError;   // the data folder gone, not writable, full: that is the cause
    return IsFolderW(wszFolder) ? ERROR_SUCCESS : ERROR_CANNOT_MAKE;
}

void RemovePartFolder(void)
{
    WCHAR wszFolder[c_cchLongPath];
    if (IsFolderPath(g_szDataDir) && ComposePartFolder(g_szDataDir, wszFolder) == ERROR_SUCCESS)
        RemoveDirectoryW(wszFolder);   // only when empty: a part left stays
}

void RemovePart(const WCHAR *pwszPart, Patience *pPatience)
{
    SetFileAttributesW(pwszPart, FILE_ATTRIBUTE_NORMAL);
    while (!DeleteFileW(pwszPart) && WaitOutHold(pPatience, GetLastError(), TRUE)) {
    }
}

// A part an earlier run left is removed, and the folder of parts made when
// it is not there yet, each once, before the part is made anew.
DWORD CreatePart(const WCHAR *pwszPart, const BY_HANDLE_FILE_INFORMATION *pInfo, HANDLE *phPart,
                 Patience *pPatience)
{
    DWORD dwAttr = pInfo->dwFileAttributes & c_dwCopiedAttributes;
    dwAttr = dwAttr != 0 ? dwAttr : FILE_ATTRIBUTE_NORMAL;
    BOOL fFolderMade = FALSE, fOldRemoved = FALSE;
    for (;;) {
        *phPart = CreateFileW(pwszPart, GENERIC_WRITE | DELETE, 0, NULL, CREATE_NEW,
                              dwAttr | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
        if (*phPart != INVALID_HANDLE_VALUE)
            return ERROR_SUCCESS;
        DWORD dwError = GetLastError();
        if (dwError == ERROR_PATH_NOT_FOUND && !fFolderMade) {
            dwError = MakePartFolder();
            if (dwError != ERROR_SUCCESS)
                return dwError;
            fFolderMade = TRUE;
        } else if ((dwError == ERROR_FILE_EXISTS || dwError == ERROR_ALREADY_EXISTS) && !fOldRemoved) {
            RemovePart(pwszPart, pPatience);
            fOldRemoved = TRUE;
        } else if (!WaitOutHold(pPatience, dwError, FALSE)) {
            return dwError;
        }
    }
}

// A disk that fills up writes part of a block and refuses the rest: the
// next write says why.
static DWORD WriteWhole(HANDLE hPart, const BYTE *pb, DWORD cb)
{
    while (cb > 0) {
        DWORD cbWritten = 0;
        if (!WriteFile(hPart, pb, cb, &cbWritten, NULL))
            return GetLastError();
        if (cbWritten == 0)
            return ERROR_WRITE_FAULT;
        pb += cbWritten;
        cb -= cbWritten;
    }
    return ERROR_SUCCESS;
}

// Nobody may write the source while it is copied, so its size holds: a
// read that ends early is a fault, not the end.
static DWORD CopyBlocks(HANDLE hSource, ULONGLONG cbSource, HANDLE hPart)
{
    for (ULONGLONG cbLeft = cbSource; cbLeft > 0;) {
        DWORD cbBlock = cbLeft < c_cbBlock ? (DWORD)cbLeft : c_cbBlock;
        DWORD cbRead = 0;
        if (!ReadFile(hSource, s_abBlock, cbBlock, &cbRead, NULL))
            return GetLastError();
        if (cbRead == 0)
            return ERROR_HANDLE_EOF;
        DWORD dwError = WriteWhole(hPart, s_abBlock, cbRead);
        if (dwError != ERROR_SUCCESS)
            return dwError;
        cbLeft -= cbRead;
        if (!AdvanceProgress(cbRead))
            return ERROR_CANCELLED;
    }
    return ERROR_SUCCESS;
}

// The time of last change goes along, as CopyFile keeps it: Raadrups and
// the user see when the publisher made the series, not when it was
// installed.
DWORD FillPart(HANDLE hSource, const BY_HANDLE_FILE_INFORMATION *pInfo, HANDLE hPart)
{
    ULONGLONG cbSource = ((ULONGLONG)pInfo->nFileSizeHigh << 32) | pInfo->nFileSizeLow;
    ProgressOnCopy(cbSource);
    DWORD dwError = CopyBlocks(hSource, cbSource, hPart);
    if (dwError == ERROR_SUCCESS && !SetFileTime(hPart, NULL, NULL, &pInfo->ftLastWriteTime))
        dwError = GetLastError();
    if (dwError == ERROR_SUCCESS && !FlushFileBuffers(hPart))
        dwError = GetLastError();
    return dwError;
}

// A series' path is shorter than MAX_PATH, so the name fits whole.
union RenameInfo {
    FILE_RENAME_INFO info;
    BYTE ab[sizeof(FILE_RENAME_INFO) + MAX_PATH * sizeof(WCHAR)];
};

DWORD RenamePart(HANDLE hPart, const WCHAR *pwszTarget, BOOL fReplace)
{
    RenameInfo rename;
    size_t cchTarget = wcsnlen(pwszTarget, MAX_PATH);
    if (cchTarget >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    memset(&rename.info, 0, sizeof(rename.info));
    rename.info.ReplaceIfExists = fReplace ? TRUE : FALSE;
    rename.info.FileNameLength = (DWORD)(cchTarget * sizeof(WCHAR));
    memcpy(rename.info.FileName, pwszTarget, (cchTarget + 1) * sizeof(WCHAR));
    if (!SetFileInformationByHandle(hPart, FileRenameInfo, &rename.info,
                                    (DWORD)(sizeof(rename.info) + cchTarget * sizeof(WCHAR))))
        return GetLastError();
    return ERROR_SUCCESS;
}
