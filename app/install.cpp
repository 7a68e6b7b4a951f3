#include "app/install.h"
#include "app/globals.h"
#include "app/listfile.h"
#include "app/paths.h"
#include "app/series.h"
#include "app/warning.h"
#include "discovery/discovery.h"
#include "res/resource.h"
#include "ui/datafolderdlg.h"
#include <objbase.h>
#include <stdio.h>
#include <string.h>


// The installer works from the start folder by paths that must fit
// MAX_PATH; from a folder too deep for that it can do nothing, and says so
// rather than end without a word.
static void WarnStartFolderTooLong(HWND hwnd)
{
    MessageBoxA(hwnd,
                "Het installatieprogramma kan niet werken vanuit deze map, "
                "omdat het pad van de map te lang is.\n\n"
                "Verplaats de map met de series naar een map met een korter pad "
                "(bijvoorbeeld het bureaublad) en start het installatieprogramma "
                "daar opnieuw.",
                "Let op", MB_ICONWARNING);
}

// The start folder and the list's path, whole, before anything else is
// done. FALSE when there is none to work with; a path too long has then
// been told to the user.
static BOOL LocateStart(HWND hwnd, char *pszListPath)
{
    DWORD cch = GetCurrentDirectoryA(MAX_PATH, g_szCurrentDir);
    if (cch == 0 || cch >= MAX_PATH) {
        g_szCurrentDir[0] = '\0';
        if (cch != 0)
            WarnStartFolderTooLong(hwnd);
        return FALSE;
    }
    char szFolder[MAX_PATH];
    if (!CopyPath(szFolder, MAX_PATH, g_szCurrentDir) || !EnsureTrailingBackslash(szFolder)
        || !CopyPath(pszListPath, MAX_PATH, szFolder)
        || !AppendPath(pszListPath, MAX_PATH, c_szListName)) {
        WarnStartFolderTooLong(hwnd);
        return FALSE;
    }
    return TRUE;
}

// Raadrups and its data folder; both folders get their backslash.
static void LocateFolders(HWND hwnd)
{
    CoInitialize(NULL);

    g_szIniPath[0] = '\0';
    FindTargetProgram(hwnd);
    if (g_szIniPath[0] != '\0') {
        g_fNotFound = FALSE;
        LoadDataFolder();
    } else {
        g_fNotFound = TRUE;
    }

    EnsureTrailingBackslash(g_szCurrentDir);   // fits: the list path did
    // A data folder too long for its backslash stays without one; no file
    // path is then composed in it, so its series count as not moved.
    EnsureTrailingBackslash(g_szDataDir);
}

// Without its list the installer cannot know what to move. Nearly always
// the pack was not unpacked: started from inside the zip, the program
// alone is unpacked into a temporary folder, without the series or the
// list. Nothing has been touched, so starting again after unpacking works.
static void WarnNoList(HWND hwnd)
{
    char szText[1024];
    szText[0] = '\0';
    BOOL fWhole = AppendPath(szText, sizeof(szText),
                             "De lijst met series, teinstal.txt, staat niet in de map waaruit het "
                             "installatieprogramma is gestart (of kan niet worden geopend):\n\n")
               && AppendPath(szText, sizeof(szText), g_szCurrentDir)
               && AppendPath(szText, sizeof(szText),
                             "\n\nMeestal is het pakket dan niet uitgepakt: het "
                             "installatieprogramma is vanuit het zip-bestand gestart. Pak eerst het "
                             "hele zip-bestand uit (klik er met de rechtermuisknop op en kies "
                             "\"Alles uitpakken\") en start daarna instrrse.exe in de uitgepakte "
                             "map.\n\nEr is niets verplaatst.");
    if (fWhole)
        MessageBoxA(hwnd, szText, "Let op", MB_ICONWARNING);
}

// TRUE when every listed series is in the data folder and the user was told
// so; otherwise the user is told what was not done, and why.
static BOOL MoveListedSeries(HWND hwnd, const char *pszListPath)
{
    FILE *file = fopen(pszListPath, "rb");
    if (file == NULL) {
        WarnNoList(hwnd);
        return FALSE;
    }

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
    static WCHAR s_wszText[c_cchNotMovedText];
    FormatNotMoved(s_wszText, c_cchNotMovedText);
    MessageBoxW(hwnd, s_wszText, L"Let op", MB_ICONWARNING);
    return FALSE;
}

// "\", the root of the drive, is what no Raadrups, no setting or a setting
// that could not be used leaves: never a place to put series unasked, when
// the dialog could not be shown for the user to choose.
static BOOL IsUnchosenRoot(void)
{
    return strcmp(g_szDataDir, "\\") == 0;
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
    if (nResult == -1 && IsUnchosenRoot())
        return FALSE;

    EnsureTrailingBackslash(g_szDataDir);
    if (PathsEqual(g_szCurrentDir, g_szDataDir))
        return TRUE;
    return MoveListedSeries(hwnd, pszListPath);
}

void RunInstallation(HWND hwnd)
{
    char szListPath[MAX_PATH];
    if (LocateStart(hwnd, szListPath)) {
        LocateFolders(hwnd);
        if (InstallSeries(hwnd, szListPath))
            DeleteFileA(szListPath);
    }
    DestroyWindow(hwnd);
}
