#include "tests/link/linktest.h"
#include "app/globals.h"
#include "res/resource.h"
#include "ui/datafolderdlg.h"
#include "tests/driver/driver.h"
#include "tests/driver/files.h"

bool ReadStoredBitmap(HMODULE hmod, int idb, BITMAPINFOHEADER &bih, Pixels &px, std::string &err)
{
    HRSRC hrsrc = FindResourceA(hmod, MAKEINTRESOURCEA(idb), (LPCSTR)RT_BITMAP);
    if (hrsrc == NULL) {
        err = "no bitmap " + std::to_string(idb);
        return false;
    }
    DWORD cb = SizeofResource(hmod, hrsrc);
    HGLOBAL hglob = LoadResource(hmod, hrsrc);
    const BYTE *pb = hglob != NULL ? (const BYTE *)LockResource(hglob) : NULL;
    if (pb == NULL || cb < sizeof(bih)) {
        err = "bitmap " + std::to_string(idb) + " is unreadable";
        return false;
    }
    memcpy(&bih, pb, sizeof(bih));
    if (bih.biSize != sizeof(bih) || bih.biBitCount != 24 || bih.biCompression != BI_RGB ||
        bih.biClrUsed != 0 || bih.biWidth <= 0 || bih.biHeight <= 0) {
        err = "bitmap " + std::to_string(idb) + " is not an uncompressed bottom-up 24-bit DIB";
        return false;
    }
    DWORD cbRow = ((DWORD)bih.biWidth * 3 + 3) & ~3u;
    if (cb != sizeof(bih) + cbRow * (DWORD)bih.biHeight) {
        err = "bitmap " + std::to_string(idb) + " has " + std::to_string(cb) + " bytes";
        return false;
    }
    px.cx = bih.biWidth;
    px.cy = bih.biHeight;
    px.cr.resize((size_t)px.cx * px.cy);
    for (int y = 0; y < px.cy; y++) {
        const BYTE *pRow = pb + sizeof(bih) + (size_t)(px.cy - 1 - y) * cbRow;
        for (int x = 0; x < px.cx; x++)
            px.cr[(size_t)y * px.cx + x] = RGB(pRow[3 * x + 2], pRow[3 * x + 1], pRow[3 * x]);
    }
    return true;
}

Pixels ReadClientPixels(HWND hwnd, int x, int y, int cx, int cy)
{
    Pixels px;
    px.cx = cx;
    px.cy = cy;
    px.cr.resize((size_t)cx * cy);
    HDC hdc = GetDC(hwnd);
    for (int dy = 0; dy < cy; dy++)
        for (int dx = 0; dx < cx; dx++)
            px.cr[(size_t)dy * cx + dx] = GetPixel(hdc, x + dx, y + dy);
    ReleaseDC(hwnd, hdc);
    return px;
}

struct Cover {
    HWND hwnd;
    RECT rcPart;
    std::vector<bool> *pfCovered;
};

static BOOL CALLBACK MarkChild(HWND hwndChild, LPARAM lParam)
{
    Cover *pCover = (Cover *)lParam;
    if (!IsWindowVisible(hwndChild))
        return TRUE;
    RECT rc;
    GetWindowRect(hwndChild, &rc);
    MapWindowPoints(NULL, pCover->hwnd, (POINT *)&rc, 2);
    int cx = pCover->rcPart.right - pCover->rcPart.left;
    for (int y = rc.top; y < rc.bottom; y++)
        for (int x = rc.left; x < rc.right; x++)
            if (x >= pCover->rcPart.left && x < pCover->rcPart.right && y >= pCover->rcPart.top &&
                y < pCover->rcPart.bottom)
                (*pCover->pfCovered)[(size_t)(y - pCover->rcPart.top) * cx + (x - pCover->rcPart.left)] = true;
    return TRUE;
}

std::vector<bool> CoveredByChildren(HWND hwnd, int x, int y, int cx, int cy)
{
    std::vector<bool> fCovered((size_t)cx * cy, false);
    Cover cover = {hwnd, {x, y, x + cx, y + cy}, &fCovered};
    EnumChildWindows(hwnd, MarkChild, (LPARAM)&cover);
    return fCovered;
}

// The capture written and read back whole; an empty one is a failed capture.
static bool WriteBmp(const std::string &path, const std::string &bytes)
{
    std::string written;
    return !bytes.empty() && driver::WriteFile(path, bytes) && driver::ReadFile(path, &written)
        && written == bytes;
}

bool SaveClientBmp(HWND hwnd, const std::string &path)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    // The dialog is this process's own: its DC holds what was painted last.
    std::string bytes = driver::CaptureBmp(hwnd, rc);
    return WriteBmp(path, bytes);
}

bool SaveWindowBmp(HWND hwnd, const std::string &path)
{
    // Active, as the user meets it: "Ok" with the focus and the caption in
    // its active colours. Without a window manager Wine draws the frame of
    // even the active window as inactive, so the frame is told it is active.
    SetForegroundWindow(hwnd);
    SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The frame is the system's, so the whole window is read off the
    // screen, which Wine brings up to date from the window a little later.
    for (int i = 0; i < 6; i++) {
        Sleep(50);
        PumpPending();
    }
    RECT rc;
    GetWindowRect(hwnd, &rc);
    std::string bytes = driver::CaptureBmp(NULL, rc);
    return WriteBmp(path, bytes);
}

void PumpPending()
{
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE); i++) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND OpenDataFolderDialog(bool fShow)
{
    g_hInst = GetModuleHandleA(NULL);
    HWND hDlg = CreateDialogParamA(g_hInst, MAKEINTRESOURCEA(IDD_DATAFOLDER), NULL, DataFolderDlgProc, 0);
    if (hDlg == NULL)
        return NULL;
    if (fShow)
        ShowWindow(hDlg, SW_SHOWNOACTIVATE);
    UpdateWindow(hDlg);
    PumpPending();
    return hDlg;
}

void CloseDataFolderDialog(HWND hDlg)
{
    if (IsWindow(hDlg))
        DestroyWindow(hDlg);
    PumpPending();
}
