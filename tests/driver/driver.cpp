#include "tests/driver/driver.h"
#include "tests/driver/files.h"
#include "res/resource.h"
#include <commctrl.h>
#include <shlobj.h>
#include <stdio.h>
#include <vector>

namespace driver {

namespace {

const DWORD kPollMs = 20;
const DWORD kSendMs = 5000;

struct FindData {
    DWORD pid;
    const std::string *caption;   // NULL: any dialog
    HWND owner;                   // NULL: any owner
    bool progress;                // the progress window (with its bar), or any other dialog
    HWND found;
};

BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM lParam)
{
    FindData *pData = reinterpret_cast<FindData *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != pData->pid || !IsWindowVisible(hwnd))
        return TRUE;
    char szClass[64] = "";
    GetClassNameA(hwnd, szClass, sizeof(szClass));
    if (strcmp(szClass, "#32770") != 0)
        return TRUE;
    if (pData->caption != NULL && WindowText(hwnd) != *pData->caption)
        return TRUE;
    if (pData->owner != NULL && GetWindow(hwnd, GW_OWNER) != pData->owner)
        return TRUE;
    if (HasProgressBar(hwnd) != pData->progress)
        return TRUE;
    pData->found = hwnd;
    return FALSE;
}

HWND FindDialog(DWORD pid, const std::string *caption, HWND owner, bool progress = false)
{
    FindData data = {pid, caption, owner, progress, NULL};
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

template <typename F>
bool PollUntil(DWORD ms, F done)
{
    DWORD dwStart = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - dwStart > ms)
            return false;
        Sleep(kPollMs);
    }
}

BOOL CALLBACK AnyVisibleProc(HWND hwnd, LPARAM lParam)
{
    DWORD *pPid = reinterpret_cast<DWORD *>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == *pPid && IsWindowVisible(hwnd)) {
        *pPid = 0;
        return FALSE;
    }
    return TRUE;
}

// Tree-view items live in the other process: their text is read through a
// buffer placed in its memory.
std::string TreeItemText(HANDLE hProcess, HWND hTree, HTREEITEM hItem)
{
    const SIZE_T cbText = 1024;
    char *pRemote = static_cast<char *>(
        VirtualAllocEx(hProcess, NULL, sizeof(TVITEMA) + cbText, MEM_COMMIT, PAGE_READWRITE));
    if (pRemote == NULL)
        return "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = pRemote + sizeof(TVITEMA);
    item.cchTextMax = (int)cbText;
    char szText[cbText] = "";
    DWORD_PTR dwResult = 0;
    if (WriteProcessMemory(hProcess, pRemote, &item, sizeof(item), NULL)
        && SendMessageTimeoutA(hTree, TVM_GETITEMA, 0, (LPARAM)pRemote,
                               SMTO_ABORTIFHUNG, kSendMs, &dwResult)
        && dwResult)
        ReadProcessMemory(hProcess, item.pszText, szText, cbText - 1, NULL);
    VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
    return szText;
}

HTREEITEM TreeNext(HWND hTree, UINT flag, HTREEITEM hItem)
{
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hTree, TVM_GETNEXTITEM, flag, (LPARAM)hItem,
                        SMTO_ABORTIFHUNG, kSendMs, &dwResult);
    return (HTREEITEM)dwResult;
}

// The child of hParent whose text matches; the browser fills children on
// expansion, so the parent is expanded first.
HTREEITEM FindChild(HANDLE hProcess, HWND hTree, HTREEITEM hParent, bool (*match)(const std::string &, const std::string &), const std::string &want)
{
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hTree, TVM_EXPAND, TVE_EXPAND, (LPARAM)hParent,
                        SMTO_ABORTIFHUNG, kSendMs, &dwResult);
    for (HTREEITEM h = TreeNext(hTree, TVGN_CHILD, hParent); h != NULL; h = TreeNext(hTree, TVGN_NEXT, h))
        if (match(TreeItemText(hProcess, hTree, h), want))
            return h;
    return NULL;
}

bool SameName(const std::string &text, const std::string &want)
{
    return Lower(text) == Lower(want);
}

bool NamesDrive(const std::string &text, const std::string &drive)
{
    return Lower(text).find("(" + Lower(drive) + ")") != std::string::npos;
}

// The name the shell gives the computer here, in this locale's language.
std::string MyComputerName()
{
    LPITEMIDLIST pidl = NULL;
    if (FAILED(SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &pidl)))
        return "";
    SHFILEINFOA sfi = {};
    SHGetFileInfoA((LPCSTR)pidl, 0, &sfi, sizeof(sfi), SHGFI_PIDL | SHGFI_DISPLAYNAME);
    CoTaskMemFree(pidl);
    return sfi.szDisplayName;
}

bool IsMyComputer(const std::string &text, const std::string &)
{
    return text == "My Computer" || text == "Computer" || text == "This PC" || text == "Deze computer"
        || text == MyComputerName();
}

std::vector<std::string> SplitFolders(const std::string &path)
{
    std::vector<std::string> parts;
    std::string part;
    // Whole characters: a double-byte one may end in 0x5C.
    for (const char *pch = path.c_str(); *pch != '\0'; pch = CharNextA(pch)) {
        if (*pch == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part.append(pch, CharNextA(pch) - pch);
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

HWND TreeOf(HWND hBrowser)
{
    return FindWindowExA(hBrowser, NULL, "SysTreeView32", NULL);
}

}  // namespace

bool Start(Installer &inst, const std::string &exe, const std::string &cwd)
{
    return Start(inst, exe, Widen(cwd, CP_ACP));
}

static const char *Presence(const std::wstring &path)
{
    DWORD dwAttr = GetFileAttributesW(path.c_str());
    return dwAttr == INVALID_FILE_ATTRIBUTES ? "not there"
         : dwAttr & FILE_ATTRIBUTE_DIRECTORY ? "a folder" : "a file";
}

// A start that fails says why, where the test's output shows it: the
// error, its words, and what the program and the folder are. Where both
// are there the start is tried once more, a second later: a program the
// rig could not start tells nothing about the program.
bool Start(Installer &inst, const std::string &exe, const std::wstring &cwd)
{
    std::wstring wexe = Widen(exe, CP_ACP);
    std::wstring cmd = L"\"" + wexe + L"\"";
    for (int iTry = 0; iTry < 2; iTry++) {
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        std::vector<WCHAR> cmdBuf(cmd.begin(), cmd.end());
        cmdBuf.push_back(L'\0');
        inst.started = CreateProcessW(wexe.c_str(), cmdBuf.data(), NULL, NULL, FALSE, 0, NULL,
                                      cwd.c_str(), &si, &inst.pi) != FALSE;
        if (inst.started)
            return true;
        DWORD dwError = GetLastError();
        char szWords[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                       NULL, dwError, 0, szWords, sizeof(szWords), NULL);
        fprintf(stderr, "driver: CreateProcess of %s (%s) in %s (%s) failed with error %lu: %s\n",
                exe.c_str(), Presence(wexe), Narrow(cwd, CP_UTF8).c_str(), Presence(cwd), dwError,
                szWords);
        if (GetFileAttributesW(wexe.c_str()) == INVALID_FILE_ATTRIBUTES
            || GetFileAttributesW(cwd.c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
        Sleep(1000);
    }
    return false;
}

bool WaitForExit(Installer &inst, DWORD *pdwExitCode, DWORD ms)
{
    if (!inst.started)
        return false;
    if (WaitForSingleObject(inst.pi.hProcess, ms) != WAIT_OBJECT_0) {
        Kill(inst);
        return false;
    }
    GetExitCodeProcess(inst.pi.hProcess, pdwExitCode);
    Kill(inst);
    return true;
}

void Kill(Installer &inst)
{
    if (!inst.started)
        return;
    if (WaitForSingleObject(inst.pi.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(inst.pi.hProcess, 99);
        WaitForSingleObject(inst.pi.hProcess, kWaitMs);
    }
    CloseHandle(inst.pi.hThread);
    CloseHandle(inst.pi.hProcess);
    inst.started = false;
}

bool HasProgressBar(HWND hwnd)
{
    return FindWindowExA(hwnd, NULL, PROGRESS_CLASSA, NULL) != NULL;
}

HWND WaitForProgress(const Installer &inst, DWORD ms)
{
    HWND hwnd = NULL;
    PollUntil(ms, [&] {
        hwnd = FindDialog(inst.pi.dwProcessId, NULL, NULL, true);
        return hwnd != NULL || WaitForSingleObject(inst.pi.hProcess, 0) == WAIT_OBJECT_0;
    });
    return hwnd;
}

HWND WaitForDialog(const Installer &inst, const std::string &caption, DWORD ms)
{
    HWND hwnd = NULL;
    PollUntil(ms, [&] {
        hwnd = FindDialog(inst.pi.dwProcessId, &caption, NULL);
        return hwnd != NULL || WaitForSingleObject(inst.pi.hProcess, 0) == WAIT_OBJECT_0;
    });
    return hwnd;
}

bool ShowsNothingFor(const Installer &inst, DWORD ms)
{
    DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < ms) {
        DWORD pid = inst.pi.dwProcessId;
        EnumWindows(AnyVisibleProc, reinterpret_cast<LPARAM>(&pid));
        if (pid == 0)
            return false;
        if (WaitForSingleObject(inst.pi.hProcess, kPollMs) == WAIT_OBJECT_0)
            return true;
    }
    return true;
}

std::string WindowText(HWND hwnd)
{
    char szText[4096] = "";
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(szText), (LPARAM)szText,
                        SMTO_ABORTIFHUNG, kSendMs, &dwResult);
    return szText;
}

std::wstring WindowTextW(HWND hwnd)
{
    WCHAR wszText[4096] = L"";
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, sizeof(wszText) / sizeof(WCHAR), (LPARAM)wszText,
                        SMTO_ABORTIFHUNG, kSendMs, &dwResult);
    return wszText;
}

std::string ItemText(HWND hDlg, int id)
{
    return WindowText(GetDlgItem(hDlg, id));
}

void Press(HWND hDlg, int id)
{
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(hDlg, id));
}

// Delivered to the focused control, where the dialog manager turns Escape
// into IDCANCEL, as for a key the user pressed.
void PressEscape(HWND hDlg)
{
    HWND hwndTarget = GetDlgItem(hDlg, IDOK);
    PostMessageA(hwndTarget, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(hwndTarget, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

void PressCloseButton(HWND hDlg)
{
    PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::wstring MessageBoxTextW(HWND hBox)
{
    const int kIdText = 0xFFFF;   // the message text's control in a message box
    return WindowTextW(GetDlgItem(hBox, kIdText));
}

std::string MessageBoxText(HWND hBox)
{
    std::wstring wide = MessageBoxTextW(hBox);
    if (wide.empty())
        return "";
    std::string text(wide.size() * 2, '\0');
    int cb = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)wide.size(), &text[0], (int)text.size(),
                                 NULL, NULL);
    text.resize(cb > 0 ? (size_t)cb : 0);
    return text;
}

namespace {

BOOL CALLBACK FindIconStaticProc(HWND hwnd, LPARAM lParam)
{
    char szClass[16] = "";
    GetClassNameA(hwnd, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "Static") == 0 && (GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HWND *>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The 32 x 32 pixels of an icon as drawn on the dialog face colour.
std::vector<COLORREF> IconPixels(HDC hdcFrom, int xFrom, int yFrom, HICON hIcon)
{
    const int kSize = 32;
    HDC hdcScreen = GetDC(NULL);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    HBITMAP hbm = CreateCompatibleBitmap(hdcScreen, kSize, kSize);
    HGDIOBJ hOld = SelectObject(hdcMem, hbm);
    RECT rc = {0, 0, kSize, kSize};
    if (hIcon != NULL) {
        FillRect(hdcMem, &rc, GetSysColorBrush(COLOR_BTNFACE));
        DrawIconEx(hdcMem, 0, 0, hIcon, kSize, kSize, 0, NULL, DI_NORMAL);
    } else {
        BitBlt(hdcMem, 0, 0, kSize, kSize, hdcFrom, xFrom, yFrom, SRCCOPY);
    }
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kSize; y++)
        for (int x = 0; x < kSize; x++)
            pixels.push_back(GetPixel(hdcMem, x, y));
    SelectObject(hdcMem, hOld);
    DeleteObject(hbm);
    DeleteDC(hdcMem);
    ReleaseDC(NULL, hdcScreen);
    return pixels;
}

int SamePixels(const std::vector<COLORREF> &a, const std::vector<COLORREF> &b)
{
    int c = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); i++)
        c += a[i] == b[i];
    return c;
}

}  // namespace

// Icon handles do not cross processes, so the box's icon is compared by
// what it shows: it must look like the asked-for standard icon, and more
// like it than like the information icon.
bool MessageBoxHasIcon(HWND hBox, LPCSTR pszIcon)
{
    HWND hwndIcon = NULL;
    EnumChildWindows(hBox, FindIconStaticProc, reinterpret_cast<LPARAM>(&hwndIcon));
    if (hwndIcon == NULL)
        return false;
    RedrawWindow(hwndIcon, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(100);
    // Read off the screen, where the other process has drawn it.
    POINT pt = {0, 0};
    ClientToScreen(hwndIcon, &pt);
    HDC hdc = GetDC(NULL);
    std::vector<COLORREF> shown = IconPixels(hdc, pt.x, pt.y, NULL);
    ReleaseDC(NULL, hdc);
    int cAsked = SamePixels(shown, IconPixels(NULL, 0, 0, LoadIconA(NULL, pszIcon)));
    LPCSTR pszOther = pszIcon == IDI_INFORMATION ? IDI_WARNING : IDI_INFORMATION;
    int cOther = SamePixels(shown, IconPixels(NULL, 0, 0, LoadIconA(NULL, pszOther)));
    return cAsked > 32 * 32 * 9 / 10 && cAsked > cOther;
}

std::string CaptureBmp(HWND hwnd, const RECT &rc)
{
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = rc.right - rc.left;
    bih.biHeight = rc.bottom - rc.top;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = (((DWORD)bih.biWidth * 3 + 3) & ~3u) * (DWORD)bih.biHeight;
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
    bfh.bfSize = bfh.bfOffBits + bih.biSizeImage;

    std::string bytes;
    HDC hdcFrom = GetDC(hwnd);
    HDC hdcMem = CreateCompatibleDC(hdcFrom);
    void *pvBits = NULL;
    HBITMAP hbm = CreateDIBSection(hdcFrom, (BITMAPINFO *)&bih, DIB_RGB_COLORS, &pvBits, NULL, 0);
    if (hdcMem != NULL && hbm != NULL) {
        HGDIOBJ hbmOld = SelectObject(hdcMem, hbm);
        BOOL fCopied = BitBlt(hdcMem, 0, 0, bih.biWidth, bih.biHeight, hdcFrom, rc.left, rc.top, SRCCOPY);
        SelectObject(hdcMem, hbmOld);
        GdiFlush();
        if (fCopied)
            bytes = std::string((const char *)&bfh, sizeof(bfh)) + std::string((const char *)&bih, sizeof(bih))
                + std::string((const char *)pvBits, bih.biSizeImage);
    }
    if (hbm != NULL)
        DeleteObject(hbm);
    if (hdcMem != NULL)
        DeleteDC(hdcMem);
    ReleaseDC(hwnd, hdcFrom);
    return bytes;
}

bool SaveWindowBmp(HWND hwnd, const std::string &path)
{
    // The window paints in its own process: asked to repaint at once, it
    // is given a moment to finish before the screen is read.
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    std::string bytes = CaptureBmp(NULL, rc);
    return !bytes.empty() && driver::WriteFile(path, bytes);
}

HWND OpenBrowser(HWND hDlg, DWORD ms)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hDlg, &pid);
    Press(hDlg, IDC_BROWSE);
    HWND hBrowser = NULL;
    PollUntil(ms, [&] {
        hBrowser = FindDialog(pid, NULL, hDlg);
        return hBrowser != NULL && TreeOf(hBrowser) != NULL;
    });
    return hBrowser;
}

bool BrowserSelect(const Installer &inst, HWND hBrowser, const std::string &folder)
{
    HWND hTree = TreeOf(hBrowser);
    std::vector<std::string> parts = SplitFolders(folder);
    if (hTree == NULL || parts.empty())
        return false;
    HANDLE hProcess = inst.pi.hProcess;
    HTREEITEM hItem = TreeNext(hTree, TVGN_ROOT, NULL);
    hItem = hItem ? FindChild(hProcess, hTree, hItem, IsMyComputer, "") : NULL;
    hItem = hItem ? FindChild(hProcess, hTree, hItem, NamesDrive, parts[0]) : NULL;
    for (size_t i = 1; i < parts.size() && hItem != NULL; i++)
        hItem = FindChild(hProcess, hTree, hItem, SameName, parts[i]);
    if (hItem == NULL)
        return false;
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hTree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)hItem,
                        SMTO_ABORTIFHUNG, kSendMs, &dwResult);
    return TreeNext(hTree, TVGN_CARET, NULL) == hItem;
}

std::string BrowserSelectionText(const Installer &inst, HWND hBrowser)
{
    HWND hTree = TreeOf(hBrowser);
    HTREEITEM hItem = TreeNext(hTree, TVGN_CARET, NULL);
    return hItem ? TreeItemText(inst.pi.hProcess, hTree, hItem) : "";
}

void BrowserConfirm(HWND hBrowser)
{
    Press(hBrowser, IDOK);
}

void BrowserCancel(HWND hBrowser)
{
    Press(hBrowser, IDCANCEL);
}

bool WaitGone(HWND hwnd, DWORD ms)
{
    return PollUntil(ms, [&] { return !IsWindow(hwnd); });
}

}  // namespace driver
