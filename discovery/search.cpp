#include "discovery/discovery.h"
#include "discovery/shortcut.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/systempath.h"
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

// FALSE when the shell gives no path for the folder, or none the ANSI code
// page can name without a look-alike: a pattern made from an empty path
// would search the root of the current drive instead, and one made from a
// look-alike another folder.
static BOOL GetShellFolderPath(HWND hwnd, int csidl, char *pszPath)
{
    pszPath[0] = '\0';
    IMalloc *pMalloc = NULL;
    if (FAILED(SHGetMalloc(&pMalloc)))
        return FALSE;

    BOOL fOk = FALSE;
    WCHAR wszPath[MAX_PATH] = L"";
    LPITEMIDLIST pidl = NULL;
    if (SUCCEEDED(SHGetSpecialFolderLocation(hwnd, csidl, &pidl))) {
        fOk = SHGetPathFromIDListW(pidl, wszPath);
        pMalloc->Free(pidl);
    }
    pMalloc->Release();

    AnsiPathKind kind = fOk && wszPath[0] != L'\0' ? AnsiPathOf(wszPath, pszPath) : ANSIPATH_UNNAMEABLE;
    if (kind != ANSIPATH_EXACT && kind != ANSIPATH_SHORT) {
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

// A shortcut's own name, or its short name where the ANSI code page cannot
// hold the long one; FALSE when neither will do.
static BOOL ShortcutName(const WIN32_FIND_DATAW *pfd, char *pszName)
{
    const WCHAR *pwszShort = pfd->cAlternateFileName[0] != L'\0' ? pfd->cAlternateFileName : NULL;
    AnsiPathKind kind = ChooseAnsiPath(pfd->cFileName, pwszShort, pszName);
    return kind == ANSIPATH_EXACT || kind == ANSIPATH_SHORT;
}

static void ScanShortcutFolder(HWND hwnd, int csidl, const char *pszPrefix)
{
    char szFolder[MAX_PATH];
    if (!GetShellFolderPath(hwnd, csidl, szFolder))
        return;
    WCHAR wszPattern[MAX_PATH];
    if (!ComposeLinkPath(szFolder, pszPrefix, c_szPattern)
        || MultiByteToWideChar(CP_ACP, 0, g_szLinkPath, -1, wszPattern, MAX_PATH) == 0)
        return;

    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(wszPattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        char szName[MAX_PATH];
        if (ShortcutName(&fd, szName) && ComposeLinkPath(szFolder, pszPrefix, szName))
            CheckShortcut(hwnd);
    } while (FindNextFileW(hFind, &fd) && g_szIniPath[0] == '\0');
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
