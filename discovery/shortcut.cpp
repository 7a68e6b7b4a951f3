#include "discovery/shortcut.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/systempath.h"
#include <shlobj.h>
#include <wchar.h>

static const WCHAR c_wszProgram[] = L"wimbelok.exe";
static const WCHAR c_wszIniName[] = L"tolpen.ini";
const char c_szIniName[] = "tolpen.ini";

// Loads and resolves the shortcut file; the file itself is never saved back.
static BOOL LoadShortcut(HWND hwnd, IShellLinkW *psl, IPersistFile *ppf)
{
    WCHAR wszLink[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, g_szLinkPath, -1, wszLink, MAX_PATH) == 0)
        return FALSE;
    return SUCCEEDED(ppf->Load(wszLink, STGM_READ))
        && SUCCEEDED(psl->Resolve(hwnd, SLR_ANY_MATCH));
}

// The INI file beside the program the shortcut points to, in UTF-16: FALSE
// when the target is not the program, or the path does not end in the file
// the shell reported with the target's folder before it.
static BOOL ComposeIniPathW(IShellLinkW *psl, WCHAR *pwszIni)
{
    WIN32_FIND_DATAW fd;
    if (psl->GetPath(pwszIni, MAX_PATH, &fd, SLGP_UNCPRIORITY) != S_OK || pwszIni[0] == L'\0')
        return FALSE;
    size_t cch = wcslen(pwszIni), cchName = wcslen(fd.cFileName);
    if (!NamesEqualAsciiCase(fd.cFileName, c_wszProgram) || cch <= cchName
        || !NamesEqualAsciiCase(pwszIni + cch - cchName, fd.cFileName)
        || pwszIni[cch - cchName - 1] != L'\\')
        return FALSE;
    pwszIni[cch - cchName] = L'\0';
    return AppendWide(pwszIni, MAX_PATH, c_wszIniName);
}

// g_szIniPath <- that INI file, as the ANSI code page names it without a
// look-alike (through its short form where it must).
static BOOL ComposeIniPath(IShellLinkW *psl)
{
    WCHAR wszIni[MAX_PATH];
    if (!ComposeIniPathW(psl, wszIni))
        return FALSE;
    AnsiPathKind kind = AnsiPathOf(wszIni, g_szIniPath);
    return kind == ANSIPATH_EXACT || kind == ANSIPATH_SHORT;
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
    IShellLinkW *psl = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER,
                                IID_IShellLinkW, (void **)&psl)))
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
