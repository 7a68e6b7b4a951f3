#include "discovery/shortcut.h"
#include "app/globals.h"
#include "app/paths.h"
#include <shlobj.h>
#include <string.h>

static const char c_szProgram[] = "wimbelok.exe";
const char c_szIniName[] = "tolpen.ini";

// Loads and resolves the shortcut file; the file itself is never saved back.
static BOOL LoadShortcut(HWND hwnd, IShellLinkA *psl, IPersistFile *ppf)
{
    WCHAR wszLink[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, g_szLinkPath, -1, wszLink, MAX_PATH) == 0)
        return FALSE;
    return SUCCEEDED(ppf->Load(wszLink, STGM_READ))
        && SUCCEEDED(psl->Resolve(hwnd, SLR_ANY_MATCH));
}

// Whether the path's last component is the file the shell reported, so
// that cutting that name off leaves exactly the target's folder.
static BOOL EndsInFileName(const char *pszPath, const char *pszFileName)
{
    char szName[MAX_PATH], szExt[MAX_PATH];
    return SplitPath(pszPath, NULL, 0, NULL, 0, szName, sizeof(szName), szExt, sizeof(szExt))
        && AppendPath(szName, sizeof(szName), szExt)
        && PathsEqual(szName, pszFileName);
}

// g_szIniPath <- the INI file beside the program the shortcut points to;
// FALSE when the target is not the program or has no folder of its own.
static BOOL ComposeIniPath(IShellLinkA *psl)
{
    WIN32_FIND_DATAA fd;
    if (psl->GetPath(g_szIniPath, MAX_PATH, &fd, SLGP_UNCPRIORITY) != S_OK
        || g_szIniPath[0] == '\0')
        return FALSE;
    if (!PathsEqual(fd.cFileName, c_szProgram) || !EndsInFileName(g_szIniPath, fd.cFileName))
        return FALSE;

    g_szIniPath[strlen(g_szIniPath) - (sizeof(c_szProgram) - 1)] = '\0';
    return IsFolderPath(g_szIniPath) && AppendPath(g_szIniPath, MAX_PATH, c_szIniName);
}

// Opening, not merely looking, so that a folder of that name does not count.
static BOOL IniFileOpens(void)
{
    HANDLE hFile = CreateFileA(g_szIniPath, 0, 0, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_ARCHIVE, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    CloseHandle(hFile);
    return TRUE;
}

void CheckShortcut(HWND hwnd)
{
    g_szIniPath[0] = '\0';
    IShellLinkA *psl = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                IID_IShellLinkA, (void **)&psl)))
        return;
    IPersistFile *ppf = NULL;
    if (FAILED(psl->QueryInterface(IID_IPersistFile, (void **)&ppf))) {
        psl->Release();
        return;
    }

    if (!LoadShortcut(hwnd, psl, ppf) || !ComposeIniPath(psl) || !IniFileOpens())
        g_szIniPath[0] = '\0';

    ppf->Release();
    psl->Release();
}
