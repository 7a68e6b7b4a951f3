#include "link.h"

void LinkInit(void)
{
}

void LinkDestroy(void)
{
}

void LinkPaint(HWND hDlg)
{
    PAINTSTRUCT ps;
    BeginPaint(hDlg, &ps);
    EndPaint(hDlg, &ps);
}

void LinkMouseMove(HWND, LPARAM)
{
}

void LinkButtonDown(HWND, LPARAM)
{
}
