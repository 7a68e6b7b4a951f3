// Path strings: narrow, NUL-terminated, in the ANSI code page, at most
// MAX_PATH - 1 bytes. A path that would not fit its buffer is an error,
// never a shortened value. The rules that take a double-byte character
// whole are told whose: uCodePage is CP_ACP (the default), or the code page
// of the names at hand, such as that of a list read for another machine.
#pragma once
#include <windows.h>
#include <stddef.h>

// Equal when of the same length and equal after folding A-Z to a-z only;
// the two bytes of a double-byte character are compared as they are.
BOOL PathsEqual(const char *pszA, const char *pszB, UINT uCodePage = CP_ACP);

// Whether the path ends in a backslash that is not the trail byte of a
// double-byte character.
BOOL IsFolderPath(const char *pszPath, UINT uCodePage = CP_ACP);

// Appends "\" when the path is empty or does not end in one. FALSE (path
// unchanged) when the backslash no longer fits in MAX_PATH bytes, or when the
// path ends in a lead byte without its trail byte, which would take the
// backslash as its trail byte.
BOOL EnsureTrailingBackslash(char *pszPath, UINT uCodePage = CP_ACP);

// Bounded copy and append: FALSE, with the buffer left as an empty string
// for the copy and unchanged for the append, when the result would not fit.
BOOL CopyPath(char *pszDest, size_t cbDest, const char *pszSrc);
BOOL AppendPath(char *pszDest, size_t cbDest, const char *pszSrc);
// The same append for UTF-16 text (cchDest characters).
BOOL AppendWide(WCHAR *pwszDest, size_t cchDest, const WCHAR *pwszSrc);
// Appends the number in decimal, the same way.
BOOL AppendNumber(WCHAR *pwszDest, size_t cchDest, unsigned long n);

// Letter case aside for A to Z only, as the program compares every name:
// for names in UTF-16.
BOOL NamesEqualAsciiCase(const WCHAR *pwszA, const WCHAR *pwszB);

// Splits like _splitpath_s, taking a lead byte of the ANSI code page and its
// trail byte together. Any part pointer may be NULL (with size 0). FALSE,
// with every requested part empty, when a part does not fit its buffer.
BOOL SplitPath(const char *pszPath,
               char *pszDrive, size_t cbDrive,
               char *pszDir, size_t cbDir,
               char *pszName, size_t cbName,
               char *pszExt, size_t cbExt, UINT uCodePage = CP_ACP);

// Joins a drive letter and a folder like _makepath_s with no file name:
// "X:" (when a drive is given), the folder, and a backslash after a
// non-empty folder that does not already end in "\" or "/". FALSE, with an
// empty result, when it does not fit or the folder ends in a lead byte
// without its trail byte.
BOOL MakeFolderPath(char *pszDest, size_t cbDest,
                    const char *pszDrive, const char *pszDir, UINT uCodePage = CP_ACP);

// Drops the blanks and dots at the end of a file name, as Windows does when
// it opens the name: "a.dat ." opens a.dat.
void TrimNameEnd(char *pszName, UINT uCodePage = CP_ACP);
// A character that TrimNameEnd drops, for a name in UTF-16 as well.
BOOL IsDroppedAtNameEnd(unsigned ch);

// A character no file name may hold: a control character, a separator,
// ":", a wildcard, <, >, a double quote or |. For a name in UTF-16 too.
BOOL IsForbiddenInName(unsigned ch);

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 or LPT0-9, with any extension
// (FindNameFault's NAME_DEVICE), for a name in UTF-16: Windows opens the
// device for it in any folder.
BOOL IsDeviceNameW(const WCHAR *pwszName);

// What keeps a file name taken from the series list from being opened as
// that file in a folder. The first fault found, in this order. The name is
// one as Windows opens it, trailing blanks and dots already dropped
// (TrimNameEnd).
enum NameFault {
    NAME_PLAIN,         // none: a plain file name
    NAME_EMPTY,         // no name at all
    NAME_CUT_CHAR,      // ends in a lead byte without its trail byte: no file has this name
    NAME_STREAM,        // ":" (a stream or a drive)
    NAME_WILDCARD,      // "*" or "?"
    NAME_FORBIDDEN,     // <, >, a double quote or | (or a separator, never left in a file name)
    NAME_CONTROL,       // a control byte (below 32)
    NAME_DEVICE,        // CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9, with any extension
};
NameFault FindNameFault(const char *pszName, UINT uCodePage = CP_ACP);
