#include "discovery/discovery.h"
#include "discovery/shortcut.h"
#include "app/globals.h"
#include "app/paths.h"
#include <shlobj.h>
#include <shlwapi.h>

static const char c_szPattern[] = "*.lnk";

// The last backslash that is one, stepping over double-byte characters.
// StrRChrA will not do: Wine's takes a character whose trail byte is 0x5C
// for the backslash.
static char *LastBackslash(char *psz)
{
    char *pchLast = NULL;
    for (char *pch = psz; *pch != '\0'; pch = CharNextA(pch))
        if (*pch == '\\')
            pchLast = pch;
    return pchLast;
}

// The usual layout: the series are unpacked into a folder of their own
// next to the INI file, or straight into the data folder beside it.
static BOOL FindIniAboveStartFolder(void)
{
    char szPath[MAX_PATH];
    if (!CopyPath(szPath, sizeof(szPath), g_szCurrentDir) || szPath[0] == '\0')
        return FALSE;

    char *pchCut = LastBackslash(szPath);
    pchCut = (pchCut != NULL) ? pchCut + 1 : CharNextA(szPath);
    *pchCut = '\0';
    if (!AppendPath(szPath, sizeof(szPath), c_szIniName) || !PathFileExistsA(szPath))
        return FALSE;
    return CopyPath(g_szIniPath, MAX_PATH, szPath);
}

// FALSE when the shell gives no path for the folder; a pattern made from
// an empty path would search the root of the current drive instead.
static BOOL GetShellFolderPath(HWND hwnd, int csidl, char *pszPath)
{
    pszPath[0] = '\0';
    IMalloc *pMalloc = NULL;
    if (FAILED(SHGetMalloc(&pMalloc)))
        return FALSE;

    BOOL fOk = FALSE;
    LPITEMIDLIST pidl = NULL;
    if (SUCCEEDED(SHGetSpecialFolderLocation(hwnd, csidl, &pidl))) {
        fOk = SHGetPathFromIDListA(pidl, pszPath);
        pMalloc->Free(pidl);
    }
    pMalloc->Release();

    if (!fOk || pszPath[0] == '\0') {
        pszPath[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

// g_szLinkPath <- folder + prefix + name; FALSE (and empty) when it would
// not fit, so that no shortcut is opened under a shortened name.
static BOOL ComposeLinkPath(const char *pszFolder, const char *pszPrefix, const char *pszName)
{
    if (CopyPath(g_szLinkPath, MAX_PATH, pszFolder)
        && AppendPath(g_szLinkPath, MAX_PATH, pszPrefix)
        && AppendPath(g_szLinkPath, MAX_PATH, pszName))
        return TRUE;
    g_szLinkPath[0] = '\0';
    return FALSE;
}

static void ScanShortcutFolder(HWND hwnd, int csidl, const char *pszPrefix)
{
    char szFolder[MAX_PATH];
    if (!GetShellFolderPath(hwnd, csidl, szFolder))
        return;
    if (!ComposeLinkPath(szFolder, pszPrefix, c_szPattern))
        return;

    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(g_szLinkPath, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (ComposeLinkPath(szFolder, pszPrefix, fd.cFileName))
            CheckShortcut(hwnd);
    } while (FindNextFileA(hFind, &fd) && g_szIniPath[0] == '\0');
    FindClose(hFind);
}

void FindTargetProgram(HWND hwnd)
{
    if (FindIniAboveStartFolder())
        return;
    g_szIniPath[0] = '\0';

    ScanShortcutFolder(hwnd, CSIDL_COMMON_PROGRAMS, "\\Raadrups\\");
    if (g_szIniPath[0] != '\0')
        return;
    ScanShortcutFolder(hwnd, CSIDL_COMMON_DESKTOPDIRECTORY, "\\");
    if (g_szIniPath[0] != '\0')
        return;
    ScanShortcutFolder(hwnd, CSIDL_DESKTOPDIRECTORY, "\\");
}
