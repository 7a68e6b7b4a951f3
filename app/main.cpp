#include "app/dllsearch.h"
#include "app/globals.h"
#include "app/install.h"

static const char c_szClassName[] = "Instrrse";

LRESULT CALLBACK HostWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        RunInstallation(hwnd);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        break;
    }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

static BOOL RegisterHostClass(HINSTANCE hInstance)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    // Kept for the life of the process, as the class uses it until then.
    wc.hbrBackground = CreateSolidBrush(RGB(158, 158, 158));
    wc.lpszClassName = c_szClassName;
    return RegisterClassA(&wc) != 0;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    // Before anything can load a DLL on demand (the dialog's theme, the
    // folder browser, COM): the folder the program was started from may be
    // a Downloads folder holding anything.
    RestrictDllSearch();
    g_hInst = hInstance;
    if (!RegisterHostClass(hInstance))
        return 0;

    // The whole installation runs inside this call and destroys the window
    // again before it returns.
    HWND hwnd = CreateWindowExA(0, c_szClassName, "Installatie programma raadrups series",
                                WS_POPUP | WS_BORDER,
                                GetSystemMetrics(SM_CXSCREEN) / 2 - 200,
                                GetSystemMetrics(SM_CYSCREEN) / 2 - 150,
                                400, 300, NULL, NULL, hInstance, NULL);
    ShowWindow(hwnd, nCmdShow);
    UpdateWindow(hwnd);

    // The run has posted the quit message by now; none means the window was
    // never created, and the loop below would wait for ever.
    MSG msg;
    if (!PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE))
        return 0;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
