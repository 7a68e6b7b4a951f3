#include "ui/datafolderdlg.h"
#include "ui/link.h"
#include "app/globals.h"
#include "app/paths.h"
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
        SetDlgItemTextA(hDlg, IDC_DATAPATH, g_szCurrentDir);
    } else {
        SetDlgItemTextA(hDlg, IDC_MESSAGE, c_szFound);
        SetDlgItemTextA(hDlg, IDC_DATAPATH, g_szDataDir);
    }
    EnableWindow(GetDlgItem(hDlg, IDOK), TRUE);
    g_hDlg = hDlg;
}

// The box holds at most MAX_PATH - 1 characters; all of them are read, so a
// full-length folder is never cut to a different, shorter one.
static void OnOk(HWND hDlg)
{
    char szPath[MAX_PATH] = "";
    GetDlgItemTextA(hDlg, IDC_DATAPATH, szPath, MAX_PATH);
    if (szPath[0] != '\0')
        CopyPath(g_szDataDir, MAX_PATH, szPath);
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
