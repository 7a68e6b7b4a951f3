// Just enough of <windows.h> to build the list reader and the path helpers
// for the build machine, where the fuzzers run. The ANSI code page is the
// fuzz input's choice (SetAnsiCodePage), so double-byte names are exercised
// without a Japanese Windows.
#pragma once

typedef int BOOL;
typedef unsigned char BYTE;
typedef void *HINSTANCE;
typedef void *HWND;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

// 1252 (no lead bytes) or 932 (lead bytes 0x81-0x9F and 0xE0-0xFC).
void SetAnsiCodePage(unsigned uCodePage);
BOOL IsDBCSLeadByte(BYTE bTestChar);
