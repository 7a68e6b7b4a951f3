// The download link drawn in the data-folder dialog: not a control, but an
// image the dialog procedure paints, hot-tracks and opens on a click.
#pragma once
#include <windows.h>

void LinkInit(void);
void LinkDestroy(void);
void LinkPaint(HWND hDlg);
void LinkMouseMove(HWND hDlg, LPARAM lParam);
void LinkButtonDown(HWND hDlg, LPARAM lParam);
