// Just enough of <windows.h> to build the list reader, the entry verdict and
// the path helpers for the build machine, where the fuzzers run. The ANSI
// code page is the fuzz input's choice (SetAnsiCodePage), so double-byte
// names are exercised without a Japanese Windows. Code pages 1252 and 932
// convert to and from UTF-16 (1252 from its table, 932 through the build
// machine's iconv, whose table may differ from Windows' in a few
// characters: the fuzzers compare the program with a model that uses these
// same conversions). WCHAR is the build machine's wchar_t, holding one
// UTF-16 unit each.
#pragma once
#include <stddef.h>
#include <wchar.h>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned int UINT;
typedef unsigned long DWORD;
typedef wchar_t WCHAR;
typedef const WCHAR *LPCWSTR;
typedef void *HINSTANCE;
typedef void *HWND;
typedef void *HANDLE;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define CP_ACP 0
#define CP_UTF7 65000
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x8
#define WC_NO_BEST_FIT_CHARS 0x400
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define INVALID_HANDLE_VALUE ((HANDLE)(long)-1)
#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3

typedef struct {
    DWORD dwFileAttributes;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
} WIN32_FIND_DATAW;

// 1252 (no lead bytes) or 932 (lead bytes 0x81-0x9F and 0xE0-0xFC); the
// conversions also know UTF-8.
void SetAnsiCodePage(UINT uCodePage);
UINT GetACP(void);
BOOL IsValidCodePage(UINT uCodePage);
BOOL IsDBCSLeadByte(BYTE bTestChar);
BOOL IsDBCSLeadByteEx(UINT uCodePage, BYTE bTestChar);
int MultiByteToWideChar(UINT uCodePage, DWORD dwFlags, const char *pch, int cb,
                        WCHAR *pwch, int cwch);
int WideCharToMultiByte(UINT uCodePage, DWORD dwFlags, const WCHAR *pwch, int cwch,
                        char *pch, int cb, const char *pchDefault, BOOL *pfUsedDefault);
// No files here: every lookup finds nothing.
DWORD GetFileAttributesW(LPCWSTR pwszPath);
DWORD GetFileAttributesA(const char *pszPath);
HANDLE FindFirstFileW(LPCWSTR pwszPattern, WIN32_FIND_DATAW *pfd);
BOOL FindClose(HANDLE hFind);
// Letter case aside for A to Z only: the names the fuzzers compare are the
// program's own forms of one name.
int CompareStringOrdinal(LPCWSTR pwszA, int cchA, LPCWSTR pwszB, int cchB, BOOL fIgnoreCase);
