// Paths the system gives in UTF-16, as the program's path strings in the
// ANSI code page: never a look-alike. Windows' own conversion makes a
// folder "Łukasz" into "Lukasz" (its best fit), which may be another
// folder that exists.
#pragma once
#include <windows.h>

enum AnsiPathKind {
    ANSIPATH_EXACT,        // the code page holds every character of it
    ANSIPATH_SHORT,        // it does through the path's short form (8.3 names)
    ANSIPATH_UNNAMEABLE,   // it does not, and there is no short form that it does
    ANSIPATH_TOO_LONG,     // it does not fit MAX_PATH bytes, nor does its short form
};

// pwszPath as a path string in pszPath (MAX_PATH bytes): exactly when the
// code page holds it, else its short form pwszShort (NULL: none) when the
// code page holds that. pszPath is "" unless EXACT or SHORT.
AnsiPathKind ChooseAnsiPath(const WCHAR *pwszPath, const WCHAR *pwszShort, char *pszPath);

// The same, asking the file system for the path's short form.
AnsiPathKind AnsiPathOf(const WCHAR *pwszPath, char *pszPath);
