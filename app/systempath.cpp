#include "app/systempath.h"
#include <wchar.h>

// Exactly the characters of pwsz: no best fit, no default character, and
// read back as the very same text.
static AnsiPathKind ToAnsiExactly(const WCHAR *pwsz, char *psz)
{
    // UTF-8 takes no best-fit flag and has no default character; what it
    // cannot hold (a lone surrogate) fails the reading back.
    BOOL fChecked = GetACP() != CP_UTF8;
    BOOL fUsedDefault = FALSE;
    int cb = WideCharToMultiByte(CP_ACP, fChecked ? WC_NO_BEST_FIT_CHARS : 0, pwsz, -1, psz,
                                 MAX_PATH, NULL, fChecked ? &fUsedDefault : NULL);
    if (cb == 0) {
        psz[0] = '\0';
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ANSIPATH_TOO_LONG : ANSIPATH_UNNAMEABLE;
    }
    WCHAR wszBack[MAX_PATH];
    int cch = fUsedDefault ? 0 : MultiByteToWideChar(CP_ACP, 0, psz, -1, wszBack, MAX_PATH);
    if (cch == 0 || wcscmp(wszBack, pwsz) != 0) {
        psz[0] = '\0';
        return ANSIPATH_UNNAMEABLE;
    }
    return ANSIPATH_EXACT;
}

AnsiPathKind ChooseAnsiPath(const WCHAR *pwszPath, const WCHAR *pwszShort, char *pszPath)
{
    AnsiPathKind kind = ToAnsiExactly(pwszPath, pszPath);
    if (kind == ANSIPATH_EXACT || pwszShort == NULL || wcscmp(pwszShort, pwszPath) == 0)
        return kind;
    AnsiPathKind kindShort = ToAnsiExactly(pwszShort, pszPath);
    if (kindShort == ANSIPATH_EXACT)
        return ANSIPATH_SHORT;
    // A short form that is too long is still too long; one the code page
    // cannot hold says nothing more than the long form did.
    return kind == ANSIPATH_TOO_LONG || kindShort == ANSIPATH_TOO_LONG ? ANSIPATH_TOO_LONG
                                                                      : ANSIPATH_UNNAMEABLE;
}

// The short form is asked for only when it is needed: it costs a look at
// every folder of the path.
AnsiPathKind AnsiPathOf(const WCHAR *pwszPath, char *pszPath)
{
    if (ChooseAnsiPath(pwszPath, NULL, pszPath) == ANSIPATH_EXACT)
        return ANSIPATH_EXACT;
    WCHAR wszShort[MAX_PATH];
    DWORD cch = GetShortPathNameW(pwszPath, wszShort, MAX_PATH);
    BOOL fShort = cch != 0 && cch < MAX_PATH;
    return ChooseAnsiPath(pwszPath, fShort ? wszShort : NULL, pszPath);
}
