// The download link drawn in the data-folder dialog: not a control, but an
// image the dialog procedure paints, hot-tracks and opens on a click.
#pragma once
#include <windows.h>

// The page the link opens.
extern const char c_szDownloadUrl[];

// Live from the dialog's initialisation to its destruction.
extern BOOL g_fLinkHot;        // the pointer is on the link: underlined image
extern HBITMAP g_hbmLink;      // plain and underlined image
extern HBITMAP g_hbmLinkHot;
extern HCURSOR g_hcurHand;     // shown while the pointer is on the link
extern RECT g_rcLink;          // the link's place in the client area

void LinkInit(void);
void LinkDestroy(void);
void LinkPaint(HWND hDlg);
void LinkMouseMove(HWND hDlg, LPARAM lParam);
void LinkButtonDown(HWND hDlg, LPARAM lParam);
