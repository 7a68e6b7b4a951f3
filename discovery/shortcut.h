// Whether one shortcut leads to the Raadrups program.
#pragma once
#include <windows.h>

// Raadrups' INI file, in its program's folder.
extern const char c_szIniName[];

// Examines the shortcut file g_szLinkPath: g_szIniPath becomes the path of
// the "tolpen.ini" beside the shortcut's target "wimbelok.exe", or empty.
// hwnd owns any window the shell shows while resolving the shortcut.
void CheckShortcut(HWND hwnd);
