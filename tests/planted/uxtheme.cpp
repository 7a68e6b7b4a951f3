// A stand-in for a system DLL that a user's Downloads folder may hold beside
// the installer. Loaded by anyone, it leaves a mark beside itself naming the
// program that loaded it; it does nothing else.
#include <windows.h>

static void LeaveMark(HINSTANCE hinstDll)
{
    WCHAR wszMark[MAX_PATH + 16];
    DWORD cch = GetModuleFileNameW(hinstDll, wszMark, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH)
        return;
    lstrcatW(wszMark, L".geladen");
    char szLoader[MAX_PATH];
    DWORD cbLoader = GetModuleFileNameA(NULL, szLoader, MAX_PATH);
    if (cbLoader >= MAX_PATH)
        cbLoader = 0;
    HANDLE hFile = CreateFileW(wszMark, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    DWORD cbWritten;
    WriteFile(hFile, szLoader, cbLoader, &cbWritten, NULL);
    WriteFile(hFile, "\r\n", 2, &cbWritten, NULL);
    CloseHandle(hFile);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDll, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        LeaveMark(hinstDll);
    return TRUE;
}
