#include "ui/link.h"
#include <shellapi.h>
#include "app/globals.h"
#include "res/resource.h"

// The download page. The build draws the link bitmaps from this very line
// (tools/resgen reads it), so the picture always shows the address opened.
const char c_szDownloadUrl[] = "http://www.raadrups-quiz.nl/raadrups/downloadrr.htm";

BOOL g_fLinkHot;
HBITMAP g_hbmLink;
HBITMAP g_hbmLinkHot;
HCURSOR g_hcurHand;
RECT g_rcLink;


static HBITMAP LoadLinkBitmap(int idb)
{
    return (HBITMAP)LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(idb), IMAGE_BITMAP,
                               0, 0, LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT);
}

void LinkInit(void)
{
    g_fLinkHot = FALSE;
    g_hbmLink = LoadLinkBitmap(IDB_LINK);
    g_hbmLinkHot = LoadLinkBitmap(IDB_LINK_HOT);
    SetRect(&g_rcLink, LINK_X, LINK_Y, LINK_X + LINK_CX, LINK_Y + LINK_CY);
    g_hcurHand = LoadCursorA(g_hInst, MAKEINTRESOURCEA(IDC_LINKCURSOR));
}

void LinkDestroy(void)
{
    if (g_hbmLink != NULL)
        DeleteObject(g_hbmLink);
    if (g_hbmLinkHot != NULL)
        DeleteObject(g_hbmLinkHot);
    DestroyCursor(g_hcurHand);
    g_hbmLink = NULL;
    g_hbmLinkHot = NULL;
    g_hcurHand = NULL;
}

// BeginPaint and EndPaint run even without a bitmap, or the dialog would
// be sent WM_PAINT for ever.
void LinkPaint(HWND hDlg)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hDlg, &ps);
    HDC hdcMem = CreateCompatibleDC(hdc);
    if (hdcMem != NULL) {
        HGDIOBJ hbmOld = SelectObject(hdcMem, g_fLinkHot ? g_hbmLinkHot : g_hbmLink);
        BitBlt(hdc, LINK_X, LINK_Y, LINK_CX, LINK_CY, hdcMem, 0, 0, SRCCOPY);
        SelectObject(hdcMem, hbmOld);
        DeleteDC(hdcMem);
    }
    EndPaint(hDlg, &ps);
}

// The image's own left column and top row count as off the link; the
// coordinates are taken unsigned, so a pointer left of or above the client
// area (captured moves) reads as far away.
static BOOL IsOnLink(LPARAM lParam)
{
    UINT x = LOWORD(lParam);
    UINT y = HIWORD(lParam);
    return x > (UINT)g_rcLink.left && x < (UINT)g_rcLink.right &&
           y > (UINT)g_rcLink.top && y < (UINT)g_rcLink.bottom;
}

// One repaint on entering and one on leaving; the dialog has no
// WM_SETCURSOR handler, so the hand is set again on every move.
void LinkMouseMove(HWND hDlg, LPARAM lParam)
{
    if (IsOnLink(lParam)) {
        if (!g_fLinkHot) {
            g_fLinkHot = TRUE;
            InvalidateRect(hDlg, &g_rcLink, TRUE);
        }
        SetCursor(g_hcurHand);
        return;
    }
    if (g_fLinkHot) {
        g_fLinkHot = FALSE;
        InvalidateRect(hDlg, &g_rcLink, TRUE);
        SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
    }
}

// The browser's process handle is of no use here, so it is closed at once.
void LinkButtonDown(HWND hDlg, LPARAM lParam)
{
    if (!IsOnLink(lParam))
        return;
    SHELLEXECUTEINFOA sei = {};
    sei.cbSize = sizeof(sei);
    sei.fMask = SEE_MASK_NOCLOSEPROCESS;
    sei.hwnd = hDlg;
    sei.lpVerb = "open";
    sei.lpFile = c_szDownloadUrl;
    sei.nShow = SW_SHOWMAXIMIZED;
    ShellExecuteExA(&sei);
    if (sei.hProcess != NULL)
        CloseHandle(sei.hProcess);
}
