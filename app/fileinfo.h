// What the file system says of a path: whether it names a file or a
// folder, and the file's own name.
#pragma once
#include <windows.h>
#include <stddef.h>

BOOL IsFileA(const char *pszPath);
BOOL IsFolderA(const char *pszPath);
BOOL IsFileW(const WCHAR *pwszPath);
BOOL IsFolderW(const WCHAR *pwszPath);

// Two file names alike as the file system compares them: letter case
// aside, character for character. The lengths may be given (-1: up to the
// NUL).
BOOL SameFileName(const WCHAR *pwszA, const WCHAR *pwszB, int cchA = -1, int cchB = -1);

// Whether the file the path reaches has another name in its folder than
// the last part of the path: the path then reaches it through its short
// (8.3) name, such as "SPORT2~1.DAT" for "Sport 2024.dat". pwszLong
// (cchLong characters) receives the file's own name, cut to fit.
BOOL ReachesAnotherName(const WCHAR *pwszPath, WCHAR *pwszLong, size_t cchLong);
