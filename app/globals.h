// Process-wide state of the installer. One instance each, zero at start;
// written and read in the order the installation run does its steps.
#pragma once
#include <windows.h>

// The most bytes of one entry of the series list; a longer line is read as
// several entries.
const int c_cbListEntry = 149;

extern HINSTANCE g_hInst;            // the module: dialog template, hand cursor
extern char g_szCurrentDir[MAX_PATH];  // the start folder
extern WCHAR g_wszCurrentDir[MAX_PATH];  // the same, as Windows names it, for the user's eyes
extern char g_szIniPath[MAX_PATH];     // the Raadrups INI file; empty = not found
extern char g_szDataDir[MAX_PATH];     // the folder the series go to
extern char g_szLinkPath[MAX_PATH];    // search pattern, then the shortcut examined
extern char g_szListLine[c_cbListEntry + 1];  // the current entry of the series list
extern BOOL g_fNotFound;               // discovery found no INI file
extern HWND g_hDlg;                    // the open data-folder dialog
