// Path strings: narrow, NUL-terminated, in the ANSI code page, at most
// MAX_PATH - 1 bytes. A path that would not fit its buffer is an error,
// never a shortened value.
#pragma once
#include <windows.h>
#include <stddef.h>

// Equal when of the same length and equal after folding A-Z to a-z only;
// the two bytes of a double-byte character are compared as they are.
BOOL PathsEqual(const char *pszA, const char *pszB);

// Whether the path ends in a backslash that is not the trail byte of a
// double-byte character.
BOOL IsFolderPath(const char *pszPath);

// Appends "\" when the path is empty or does not end in one. FALSE (path
// unchanged) when the backslash no longer fits in MAX_PATH bytes, or when the
// path ends in a lead byte without its trail byte, which would take the
// backslash as its trail byte.
BOOL EnsureTrailingBackslash(char *pszPath);

// Bounded copy and append: FALSE, with the buffer left as an empty string
// for the copy and unchanged for the append, when the result would not fit.
BOOL CopyPath(char *pszDest, size_t cbDest, const char *pszSrc);
BOOL AppendPath(char *pszDest, size_t cbDest, const char *pszSrc);

// Splits like _splitpath_s, taking a lead byte of the ANSI code page and its
// trail byte together. Any part pointer may be NULL (with size 0). FALSE,
// with every requested part empty, when a part does not fit its buffer.
BOOL SplitPath(const char *pszPath,
               char *pszDrive, size_t cbDrive,
               char *pszDir, size_t cbDir,
               char *pszName, size_t cbName,
               char *pszExt, size_t cbExt);

// Joins a drive letter and a folder like _makepath_s with no file name:
// "X:" (when a drive is given), the folder, and a backslash after a
// non-empty folder that does not already end in "\" or "/". FALSE, with an
// empty result, when it does not fit or the folder ends in a lead byte
// without its trail byte.
BOOL MakeFolderPath(char *pszDest, size_t cbDest,
                    const char *pszDrive, const char *pszDir);

// Whether a file name taken from the series list may be opened as a file in
// a folder: FALSE for names that Windows would not open as that file in that
// folder, namely device names (CON, NUL, COM1, ... with any extension, which
// must never be opened), names ending in a dot or a blank (Windows drops
// those and would open another file), ":" (a stream or a drive), wildcards,
// the other characters Windows forbids in a name, control bytes, and a
// last double-byte character cut off after its lead byte.
BOOL IsPlainFileName(const char *pszName);
