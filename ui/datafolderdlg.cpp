#include "ui/datafolderdlg.h"
#include "ui/link.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/systempath.h"
#include "app/warning.h"
#include "res/resource.h"

static const char c_szNotFound[] =
    "Raadrups is niet te vinden. Indien het programma toch op de computer "
    "staat, blader dan zelf naar de data-map van Raadrups!";
static const char c_szFound[] =
    "Het programma Raadrups is gevonden in een andere map. De nieuwe series "
    "moeten in de data-map van Raadrups komen te staan. Wil je de series naar "
    "de onderstaande map verplaatsen? Klik op 'Blader' als de map toch onjuist is.";

// Created on first request, kept until the dialog is destroyed.
static HBRUSH g_hbrDialog;
static HBRUSH g_hbrMessage;
static HBRUSH g_hbrPath;

static const COLORREF c_crGrey = RGB(DIALOG_GREY, DIALOG_GREY, DIALOG_GREY);

static HBRUSH LazyBrush(HBRUSH *phbr, COLORREF cr)
{
    if (*phbr == NULL)
        *phbr = CreateSolidBrush(cr);
    return *phbr;
}

static void DeleteBrush(HBRUSH *phbr)
{
    if (*phbr != NULL)
        DeleteObject(*phbr);
    *phbr = NULL;
}

static void OnInitDialog(HWND hDlg)
{
    g_hbrDialog = NULL;
    g_hbrMessage = NULL;
    g_hbrPath = NULL;
    LinkInit();
    if (g_fNotFound) {
        SetDlgItemTextA(hDlg, IDC_MESSAGE, c_szNotFound);
        SetDlgItemTextW(hDlg, IDC_DATAPATH, g_wszCurrentDir);
    } else {
        SetDlgItemTextA(hDlg, IDC_MESSAGE, c_szFound);
        SetDlgItemTextA(hDlg, IDC_DATAPATH, g_szDataDir);
    }
    EnableWindow(GetDlgItem(hDlg, IDOK), TRUE);
    g_hDlg = hDlg;
}

static void WarnUnusableFolder(HWND hDlg, const WCHAR *pwszFolder, BOOL fTooLong)
{
    ShowFolderWarning(hDlg, L"Het installatieprogramma kan deze map niet gebruiken:\n\n", pwszFolder,
                      fTooLong ? L"\n\nHet pad van de map is te lang. Kies een map met een korter "
                                 L"pad."
                               : L"\n\nDe naam van de map bevat tekens die het "
                                 L"installatieprogramma op deze computer niet kan gebruiken. Kies "
                                 L"een map met een naam van gewone letters, zoals "
                                 L"C:\\Raadrups\\data.");
}

BOOL FolderForMoves(HWND hDlg, const WCHAR *pwszFolder, char *pszFolder)
{
    switch (AnsiPathOf(pwszFolder, pszFolder)) {
    case ANSIPATH_EXACT:
    case ANSIPATH_SHORT:
        return TRUE;
    case ANSIPATH_TOO_LONG:
        WarnUnusableFolder(hDlg, pwszFolder, TRUE);
        return FALSE;
    default:
        WarnUnusableFolder(hDlg, pwszFolder, FALSE);
        return FALSE;
    }
}

// The box is read whole, one character past what a path may hold, so a
// folder too long is told as such and never cut to a different, shorter
// one. A folder that cannot be used keeps the dialog open.
static void OnOk(HWND hDlg)
{
    WCHAR wszPath[MAX_PATH + 1] = L"";
    GetDlgItemTextW(hDlg, IDC_DATAPATH, wszPath, MAX_PATH + 1);
    if (wszPath[0] != L'\0') {
        char szPath[MAX_PATH];
        if (!FolderForMoves(hDlg, wszPath, szPath))
            return;
        CopyPath(g_szDataDir, MAX_PATH, szPath);
    }
    EndDialog(hDlg, IDOK);
}

static INT_PTR OnCommand(HWND hDlg, WORD wId)
{
    switch (wId) {
    case IDOK:
        OnOk(hDlg);
        return TRUE;
    case IDCANCEL:
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    case IDC_BROWSE:
        BrowseForDataFolder(hDlg);
        return TRUE;
    }
    return FALSE;
}

static INT_PTR OnCtlColorStatic(HWND hDlg, HDC hdc, HWND hwndCtl)
{
    if (hwndCtl == GetDlgItem(hDlg, IDC_MESSAGE)) {
        SetBkMode(hdc, TRANSPARENT);
        return (INT_PTR)LazyBrush(&g_hbrMessage, c_crGrey);
    }
    if (hwndCtl == GetDlgItem(hDlg, IDC_DATAPATH)) {
        SetBkMode(hdc, TRANSPARENT);
        return (INT_PTR)LazyBrush(&g_hbrPath, RGB(255, 255, 255));
    }
    return FALSE;
}

static void OnDestroy(void)
{
    DeleteBrush(&g_hbrDialog);
    DeleteBrush(&g_hbrMessage);
    DeleteBrush(&g_hbrPath);
    LinkDestroy();
}

INT_PTR CALLBACK DataFolderDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(hDlg, LOWORD(wParam));
    case WM_CTLCOLORDLG:
        SetBkMode((HDC)wParam, TRANSPARENT);
        return (INT_PTR)LazyBrush(&g_hbrDialog, c_crGrey);
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(hDlg, (HDC)wParam, (HWND)lParam);
    case WM_PAINT:
        LinkPaint(hDlg);
        return TRUE;
    case WM_MOUSEMOVE:
        LinkMouseMove(hDlg, lParam);
        return TRUE;
    case WM_LBUTTONDOWN:
        LinkButtonDown(hDlg, lParam);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    }
    return FALSE;
}
