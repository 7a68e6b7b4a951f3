#include "app/fileinfo.h"
#include <string.h>
#include <wchar.h>

static BOOL IsFileAttr(DWORD dwAttr)
{
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

static BOOL IsFolderAttr(DWORD dwAttr)
{
    return dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL IsFileA(const char *pszPath)
{
    return IsFileAttr(GetFileAttributesA(pszPath));
}

BOOL IsFolderA(const char *pszPath)
{
    return IsFolderAttr(GetFileAttributesA(pszPath));
}

BOOL IsFileW(const WCHAR *pwszPath)
{
    return IsFileAttr(GetFileAttributesW(pwszPath));
}

BOOL IsFolderW(const WCHAR *pwszPath)
{
    return IsFolderAttr(GetFileAttributesW(pwszPath));
}

BOOL SameFileName(const WCHAR *pwszA, const WCHAR *pwszB, int cchA, int cchB)
{
    return CompareStringOrdinal(pwszA, cchA, pwszB, cchB, TRUE) == CSTR_EQUAL;
}

BOOL ReachesAnotherName(const WCHAR *pwszPath, WCHAR *pwszLong, size_t cchLong)
{
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(pwszPath, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(hFind);
    const WCHAR *pwszName = wcsrchr(pwszPath, L'\\');
    pwszName = pwszName != NULL ? pwszName + 1 : pwszPath;
    if (SameFileName(fd.cFileName, pwszName))
        return FALSE;
    if (cchLong > 0) {
        size_t cch = wcsnlen(fd.cFileName, cchLong - 1);
        memcpy(pwszLong, fd.cFileName, cch * sizeof(WCHAR));
        pwszLong[cch] = L'\0';
    }
    return TRUE;
}
