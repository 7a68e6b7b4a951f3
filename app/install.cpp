#include "install.h"
#include "globals.h"
#include "paths.h"
#include "series.h"
#include "../discovery/discovery.h"
#include "../res/resource.h"
#include "../ui/datafolder.h"
#include <objbase.h>
#include <stdio.h>

static const char c_szListName[] = "teinstal.txt";

// Start folder, Raadrups and its data folder, and the list's path. FALSE
// when there is no whole start folder or list path to work with.
static BOOL LocateFolders(HWND hwnd, char *pszListPath)
{
    DWORD cch = GetCurrentDirectoryA(MAX_PATH, g_szCurrentDir);
    if (cch == 0 || cch >= MAX_PATH) {
        g_szCurrentDir[0] = '\0';
        return FALSE;
    }
    CoInitialize(NULL);

    g_szIniPath[0] = '\0';
    FindTargetProgram(hwnd);
    if (g_szIniPath[0] != '\0') {
        g_fNotFound = FALSE;
        LoadDataFolder();
    } else {
        g_fNotFound = TRUE;
    }

    if (!EnsureTrailingBackslash(g_szCurrentDir))
        return FALSE;
    // A data folder too long for its backslash stays without one; no file
    // path is then composed in it, so its series count as not moved.
    EnsureTrailingBackslash(g_szDataDir);
    return CopyPath(pszListPath, MAX_PATH, g_szCurrentDir)
        && AppendPath(pszListPath, MAX_PATH, c_szListName);
}

// TRUE when every listed series is in the data folder and the user was told
// so. A list that cannot be opened ends the run without a word.
static BOOL MoveListedSeries(HWND hwnd, const char *pszListPath)
{
    FILE *file = fopen(pszListPath, "rb");
    if (file == NULL)
        return FALSE;

    SetCursor(LoadCursorA(NULL, IDC_WAIT));
    BOOL fAllMoved = MoveSeries(file);
    fclose(file);
    SetCursor(LoadCursorA(NULL, IDC_ARROW));

    if (fAllMoved) {
        MessageBoxA(hwnd, "De serie(s) zijn ingelezen!", "Succes", MB_ICONINFORMATION);
        return TRUE;
    }
    // In UTF-16, so that a name the ANSI code page cannot hold still shows
    // as the publisher wrote it.
    WCHAR wszText[8192];
    FormatNotMoved(wszText, sizeof(wszText) / sizeof(WCHAR));
    MessageBoxW(hwnd, wszText, L"Let op", MB_ICONWARNING);
    return FALSE;
}

// TRUE when the list is done with: its series installed, or the user chose
// not to install them.
static BOOL InstallSeries(HWND hwnd, const char *pszListPath)
{
    if (PathsEqual(g_szCurrentDir, g_szDataDir))
        return TRUE;

    INT_PTR nResult = DialogBoxParamA(g_hInst, MAKEINTRESOURCEA(IDD_DATAFOLDER),
                                      hwnd, DataFolderDlgProc, 0);
    if (nResult == IDCANCEL)
        return TRUE;
    // Without Raadrups and without the dialog the data folder is still "\",
    // the root of the drive: no place to put series unasked.
    if (nResult == -1 && g_fNotFound)
        return FALSE;

    EnsureTrailingBackslash(g_szDataDir);
    if (PathsEqual(g_szCurrentDir, g_szDataDir))
        return TRUE;
    return MoveListedSeries(hwnd, pszListPath);
}

void RunInstallation(HWND hwnd)
{
    char szListPath[MAX_PATH];
    if (LocateFolders(hwnd, szListPath) && InstallSeries(hwnd, szListPath))
        DeleteFileA(szListPath);
    DestroyWindow(hwnd);
}
