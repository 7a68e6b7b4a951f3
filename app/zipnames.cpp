#include "app/zipnames.h"
#include "app/paths.h"
#include <string.h>

// Room for any form of a name of at most 255 bytes: its UTF-8 bytes, as
// many characters, and the decomposed form's, up to three times as many.
static const int c_cchForm = 4 * 3 * MAX_PATH;
static const int c_cForms = 4;

static BOOL ToWide(UINT uCodePage, const char *pb, int cb, WCHAR *pwsz, int cch)
{
    int cchDone = MultiByteToWideChar(uCodePage, 0, pb, cb, pwsz, cch - 1);
    if (cchDone <= 0)
        return FALSE;
    pwsz[cchDone] = L'\0';
    return TRUE;
}

// The UTF-8 bytes of the text, read as the code page reads them.
static BOOL Utf8ReadAs(UINT uCodePage, const WCHAR *pwsz, WCHAR *pwszForm)
{
    char ab[c_cchForm];
    int cb = WideCharToMultiByte(CP_UTF8, 0, pwsz, -1, ab, sizeof(ab), NULL, NULL);
    return cb > 1 && ToWide(uCodePage, ab, cb - 1, pwszForm, c_cchForm);
}

static BOOL Decomposed(const WCHAR *pwsz, WCHAR *pwszForm)
{
    int cch = FoldStringW(MAP_COMPOSITE, pwsz, -1, pwszForm, c_cchForm);
    return cch > 1;
}

// A form may hold what no file name can; such a form is never looked for,
// so a form never reaches outside the folder or matches by pattern.
static BOOL IsPlainWideName(const WCHAR *pwsz)
{
    size_t cch = wcslen(pwsz);
    if (cch == 0 || IsDroppedAtNameEnd(pwsz[cch - 1]))
        return FALSE;
    for (const WCHAR *pwch = pwsz; *pwch != L'\0'; pwch++)
        if (IsForbiddenInName(*pwch))
            return FALSE;
    return TRUE;
}

static BOOL IsFileW(const WCHAR *pwszPath)
{
    DWORD dwAttr = GetFileAttributesW(pwszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

static BOOL EqualIgnoringCase(const WCHAR *pwszA, const WCHAR *pwszB)
{
    return CompareStringOrdinal(pwszA, -1, pwszB, -1, TRUE) == CSTR_EQUAL;
}

// The forms of the name: FALSE for one that could not be made or holds
// what no file name can.
static void MakeForms(const char *pszName, UINT uAnsiCodePage, UINT uOemCodePage,
                      WCHAR *pwszName, WCHAR awszForms[c_cForms][c_cchForm], BOOL afMade[c_cForms])
{
    int cbName = (int)strlen(pszName);
    WCHAR wszDecomposed[c_cchForm];
    for (int i = 0; i < c_cForms; i++)
        afMade[i] = FALSE;
    if (!ToWide(uAnsiCodePage, pszName, cbName, pwszName, MAX_PATH)
        || !Decomposed(pwszName, wszDecomposed))
        return;
    afMade[0] = Utf8ReadAs(uOemCodePage, pwszName, awszForms[0]);
    afMade[1] = Decomposed(pwszName, awszForms[1]);
    afMade[2] = Utf8ReadAs(uOemCodePage, wszDecomposed, awszForms[2]);
    afMade[3] = ToWide(uOemCodePage, pszName, cbName, awszForms[3], c_cchForm);
    for (int i = 0; i < c_cForms; i++)
        afMade[i] = afMade[i] && IsPlainWideName(awszForms[i]);
}

ZipFormLookup FindZipToolName(const char *pszDir, const char *pszName, UINT uAnsiCodePage,
                     UINT uOemCodePage, WCHAR *pwszPath, size_t cchPath)
{
    WCHAR wszName[MAX_PATH];
    WCHAR awszForms[c_cForms][c_cchForm];
    BOOL afMade[c_cForms];
    WCHAR wszDir[MAX_PATH];
    MakeForms(pszName, uAnsiCodePage, uOemCodePage, wszName, awszForms, afMade);
    if (!ToWide(CP_ACP, pszDir, (int)strlen(pszDir), wszDir, MAX_PATH))
        return ZIPFORM_NONE;

    int cFound = 0;
    WCHAR wszFound[MAX_PATH];
    for (int i = 0; i < c_cForms; i++) {
        // Each form once, and never the name itself: a file system that
        // ignores case finds one file under two forms that differ in case.
        BOOL fSeen = !afMade[i] || EqualIgnoringCase(awszForms[i], wszName);
        for (int j = 0; j < i && !fSeen; j++)
            fSeen = afMade[j] && EqualIgnoringCase(awszForms[j], awszForms[i]);
        WCHAR wszPath[MAX_PATH];
        wcscpy(wszPath, wszDir);
        if (fSeen || !AppendWide(wszPath, MAX_PATH, awszForms[i]) || !IsFileW(wszPath))
            continue;
        if (cFound++ == 0)
            wcscpy(wszFound, wszPath);
    }
    if (cFound == 0 || wcslen(wszFound) >= cchPath)
        return ZIPFORM_NONE;
    wcscpy(pwszPath, wszFound);
    // Of two, which one was meant cannot be told.
    return cFound == 1 ? ZIPFORM_ONE : ZIPFORM_SEVERAL;
}
