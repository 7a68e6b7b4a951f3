// Stands in for the web browser while the tests run: the test points the
// http association at this program, which appends the address it was asked
// to open as one line to the file named first on its command line, after
// the show command it was started with (3 for maximised).
#include <windows.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    // Appends with one write, so lines of recorders started together do
    // not mix.
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    GetStartupInfoA(&si);
    int nShow = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
    char szLine[2048];
    int cch = snprintf(szLine, sizeof(szLine), "%d %s\n", nShow, argv[2]);
    if (cch < 0 || cch >= (int)sizeof(szLine))
        return 3;
    HANDLE hFile = CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return 4;
    DWORD cbWritten = 0;
    BOOL fOk = WriteFile(hFile, szLine, (DWORD)cch, &cbWritten, NULL) && cbWritten == (DWORD)cch;
    CloseHandle(hFile);
    return fOk ? 0 : 5;
}
