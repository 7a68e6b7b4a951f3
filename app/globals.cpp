#include "app/globals.h"

HINSTANCE g_hInst;
char g_szCurrentDir[MAX_PATH];
WCHAR g_wszCurrentDir[MAX_PATH];
char g_szIniPath[MAX_PATH];
char g_szDataDir[MAX_PATH];
char g_szLinkPath[MAX_PATH];
char g_szListLine[c_cbListEntry + 1];
BOOL g_fNotFound;
HWND g_hDlg;
