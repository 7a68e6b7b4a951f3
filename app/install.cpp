#include "app/install.h"
#include "app/globals.h"
#include "app/listfile.h"
#include "app/movefile.h"
#include "app/onerun.h"
#include "app/parts.h"
#include "app/paths.h"
#include "app/series.h"
#include "app/systempath.h"
#include "app/warning.h"
#include "discovery/discovery.h"
#include "res/resource.h"
#include "ui/datafolderdlg.h"
#include <objbase.h>
#include <stdio.h>
#include <string.h>

// Every box comes to the front: during long moves the user may have gone
// to another window, and the host window is never shown.
static const UINT c_uBoxFlags = MB_SETFOREGROUND;

static void ShowBox(HWND hwnd, const WCHAR *pwszText, UINT uType)
{
    MessageBoxW(hwnd, pwszText, L"Let op", uType | c_uBoxFlags);
}

// The installer works from the start folder by paths that must fit
// MAX_PATH; from a folder too deep for that it can do nothing, and says so
// rather than end without a word.
static void WarnStartFolderTooLong(HWND hwnd)
{
    ShowBox(hwnd,
            L"Het installatieprogramma kan niet werken vanuit deze map, "
            L"omdat het pad van de map te lang is.\n\n"
            L"Verplaats de map met de series naar een map met een korter pad "
            L"(bijvoorbeeld het bureaublad) en start het installatieprogramma "
            L"daar opnieuw.",
            MB_ICONWARNING);
}

// A folder whose name the ANSI code page cannot hold, on a disk that gives
// it no short name that it can: the program would reach a look-alike
// folder (Windows makes "Łukasz" into "Lukasz"), so it touches nothing.
static void WarnStartFolderUnnameable(HWND hwnd, const WCHAR *pwszFolder)
{
    ShowFolderWarning(hwnd, L"Het installatieprogramma kan niet werken vanuit deze map:\n\n",
                      pwszFolder,
                      L"\n\nDe naam van de map (of van een map erboven) bevat tekens die het "
                      L"installatieprogramma op deze computer niet kan gebruiken.\n\n"
                      L"Verplaats de map met de series naar een map met een naam van gewone "
                      L"letters, bijvoorbeeld C:\\Raadrups-pakket, en start het "
                      L"installatieprogramma daar opnieuw.\n\nEr is niets verplaatst.");
}

// The start folder as Windows names it, for the user's eyes; the path the
// program works by where that one does not fit.
static void RememberStartFolderShown(const WCHAR *pwszFolder)
{
    g_wszCurrentDir[0] = L'\0';
    if (!AppendWide(g_wszCurrentDir, MAX_PATH, pwszFolder))
        MultiByteToWideChar(CP_ACP, 0, g_szCurrentDir, -1, g_wszCurrentDir, MAX_PATH);
}

// The start folder and the list's path, whole, before anything else is
// done. FALSE when there is none to work with; a path the program cannot
// use has then been told to the user.
static BOOL LocateStart(HWND hwnd, char *pszListPath)
{
    WCHAR wszFolder[c_cchLongPath];
    DWORD cch = GetCurrentDirectoryW(c_cchLongPath, wszFolder);
    if (cch == 0)
        return FALSE;
    AnsiPathKind kind = cch < c_cchLongPath ? AnsiPathOf(wszFolder, g_szCurrentDir) : ANSIPATH_TOO_LONG;
    if (kind == ANSIPATH_UNNAMEABLE) {
        WarnStartFolderUnnameable(hwnd, wszFolder);
        return FALSE;
    }
    char szFolder[MAX_PATH];
    if (kind == ANSIPATH_TOO_LONG || !CopyPath(szFolder, MAX_PATH, g_szCurrentDir)
        || !EnsureTrailingBackslash(szFolder) || !CopyPath(pszListPath, MAX_PATH, szFolder)
        || !AppendPath(pszListPath, MAX_PATH, c_szListName)) {
        g_szCurrentDir[0] = '\0';
        WarnStartFolderTooLong(hwnd);
        return FALSE;
    }
    RememberStartFolderShown(wszFolder);
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
    size_t cch = wcslen(g_wszCurrentDir);
    if (cch == 0 || g_wszCurrentDir[cch - 1] != L'\\')
        AppendWide(g_wszCurrentDir, MAX_PATH, L"\\");
    // A data folder too long for its backslash stays without one; no file
    // path is then composed in it, so its series count as not moved.
    EnsureTrailingBackslash(g_szDataDir);
}

// A second start on the same pack, nearly always a double-click while
// nothing showed: it touches nothing, says so, and brings the first run's
// window forward.
static void WarnPackBusy(HWND hwnd)
{
    ShowBox(hwnd,
            L"Het installatieprogramma is al bezig met de series in deze map. Wacht tot het "
            L"klaar is: het meldt zelf wanneer de series zijn ingelezen.\n\n"
            L"Dit tweede venster doet niets; er is niets verplaatst.",
            MB_ICONINFORMATION);
    BringPackRunForward();
}

// Without its list the installer cannot know what to move. Nearly always
// the pack was not unpacked: started from inside the zip, the program
// alone is unpacked into a temporary folder, without the series or the
// list. Nothing has been touched, so starting again after unpacking works.
static void WarnNoList(HWND hwnd)
{
    ShowFolderWarning(hwnd,
                      L"De lijst met series, " INSTRRSE_LIST_NAME L", staat niet in de map "
                      L"waaruit het installatieprogramma is gestart (of kan niet worden "
                      L"geopend):\n\n",
                      g_wszCurrentDir,
                      L"\n\nMeestal is het pakket dan niet uitgepakt: het installatieprogramma "
                      L"is vanuit het zip-bestand gestart. Pak eerst het hele zip-bestand uit "
                      L"(klik er met de rechtermuisknop op en kies \"Alles uitpakken\") en start "
                      L"daarna instrrse.exe in de uitgepakte map.\n\nEr is niets verplaatst.");
}

// Another run is moving series into the same data folder (from another
// pack): the two would take each other's parts away.
static BOOL AskWhileDataFolderBusy(HWND hwnd)
{
    int nAnswer = MessageBoxW(hwnd,
                              L"Een ander installatieprogramma zet op dit moment series in deze "
                              L"data-map. Wacht tot het klaar is en klik daarna op Opnieuw.\n\n"
                              L"Er is nog niets verplaatst.",
                              L"Let op", MB_ICONWARNING | MB_RETRYCANCEL | c_uBoxFlags);
    return nAnswer == IDRETRY;
}

// The closing box of the moves, until every series is in or the user gives
// up: where the user can cure a cause while the box is open, it offers to
// try again, for the series not moved only.
static BOOL CloseMoves(HWND hwnd, BOOL fAllMoved)
{
    // In UTF-16, so that a name the ANSI code page cannot hold still shows
    // as the publisher wrote it.
    static WCHAR s_wszText[c_cchNotMovedText];
    while (!fAllMoved) {
        BOOL fRetry = CanRetryInPlace();
        FormatNotMoved(s_wszText, c_cchNotMovedText, fRetry);
        UINT uButtons = fRetry ? MB_RETRYCANCEL : MB_OK;
        if (MessageBoxW(hwnd, s_wszText, L"Let op", MB_ICONWARNING | uButtons | c_uBoxFlags) != IDRETRY)
            return FALSE;
        SetCursor(LoadCursorA(NULL, IDC_WAIT));
        fAllMoved = RetrySeriesMoves();
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
    }
    FormatSuccess(s_wszText, c_cchSuccessText);
    MessageBoxW(hwnd, s_wszText, L"Succes", MB_ICONINFORMATION | c_uBoxFlags);
    return TRUE;
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
    BOOL fAllMoved = BeginSeriesMoves(file);
    fclose(file);
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    fAllMoved = CloseMoves(hwnd, fAllMoved);
    EndSeriesMoves();
    return fAllMoved;
}

// One run at a time into a data folder; the user may wait for the other.
static BOOL MoveIntoDataFolder(HWND hwnd, const char *pszListPath)
{
    HANDLE hClaim;
    while ((hClaim = ClaimDataFolder()) == NULL) {
        if (!AskWhileDataFolderBusy(hwnd))
            return FALSE;
    }
    BOOL fDone;
    // The data folder may be the start folder by another path; told
    // before the first copy, no series is copied onto itself.
    if (CompareDataWithStart() == FOLDERS_SAME)
        fDone = TRUE;
    else
        fDone = MoveListedSeries(hwnd, pszListPath);
    ForgetFolderIdentity();
    RemovePartFolder();
    ReleaseClaim(hClaim);
    return fDone;
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

    INT_PTR nResult = DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_DATAFOLDER),
                                      hwnd, DataFolderDlgProc, 0);
    if (nResult == IDCANCEL)
        return TRUE;
    if (nResult == -1 && IsUnchosenRoot())
        return FALSE;

    EnsureTrailingBackslash(g_szDataDir);
    if (PathsEqual(g_szCurrentDir, g_szDataDir))
        return TRUE;
    return MoveIntoDataFolder(hwnd, pszListPath);
}

void RunInstallation(HWND hwnd)
{
    char szListPath[MAX_PATH];
    if (LocateStart(hwnd, szListPath)) {
        HANDLE hClaim = ClaimPack();
        if (hClaim == NULL) {
            WarnPackBusy(hwnd);
        } else {
            LocateFolders(hwnd);
            if (InstallSeries(hwnd, szListPath))
                DeleteFileA(szListPath);
        }
        ReleaseClaim(hClaim);
    }
    DestroyWindow(hwnd);
}
