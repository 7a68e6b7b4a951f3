#include "app/zipnames.h"
#include "app/fileinfo.h"
#include "app/paths.h"
#include <string.h>

// Room for any form of a name of at most 255 bytes: its UTF-8 bytes, as
// many characters, and the decomposed form's, up to three times as many.
static const int c_cchForm = 4 * 3 * MAX_PATH;

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

// The forms of the name: FALSE for one that could not be made or holds
// what no file name can.
static void MakeForms(const char *pszName, UINT uAnsiCodePage, UINT uOemCodePage,
                      WCHAR *pwszName, WCHAR awszForms[c_cZipToolForms][c_cchForm],
                      BOOL afMade[c_cZipToolForms])
{
    int cbName = (int)strlen(pszName);
    WCHAR wszDecomposed[c_cchForm];
    for (int i = 0; i < c_cZipToolForms; i++)
        afMade[i] = FALSE;
    if (!ToWide(uAnsiCodePage, pszName, cbName, pwszName, MAX_PATH)
        || !Decomposed(pwszName, wszDecomposed))
        return;
    afMade[0] = Utf8ReadAs(uOemCodePage, pwszName, awszForms[0]);
    afMade[1] = Decomposed(pwszName, awszForms[1]);
    afMade[2] = Utf8ReadAs(uOemCodePage, wszDecomposed, awszForms[2]);
    afMade[3] = ToWide(uOemCodePage, pszName, cbName, awszForms[3], c_cchForm);
    for (int i = 0; i < c_cZipToolForms; i++)
        afMade[i] = afMade[i] && IsPlainWideName(awszForms[i]);
}

// A bounded copy of a wide path: FALSE, with the buffer empty, when it does
// not fit.
static BOOL CopyWide(WCHAR *pwszDest, size_t cchDest, const WCHAR *pwszSrc)
{
    if (cchDest == 0)
        return FALSE;
    pwszDest[0] = L'\0';
    return AppendWide(pwszDest, cchDest, pwszSrc);
}

int FindZipToolForms(const char *pszDir, const char *pszName, UINT uAnsiCodePage,
                     UINT uOemCodePage, WCHAR awszPaths[c_cZipToolForms][MAX_PATH])
{
    WCHAR wszName[MAX_PATH];
    WCHAR awszForms[c_cZipToolForms][c_cchForm];
    BOOL afMade[c_cZipToolForms];
    WCHAR wszDir[MAX_PATH];
    MakeForms(pszName, uAnsiCodePage, uOemCodePage, wszName, awszForms, afMade);
    if (!ToWide(CP_ACP, pszDir, (int)strlen(pszDir), wszDir, MAX_PATH))
        return 0;

    int cFound = 0;
    for (int i = 0; i < c_cZipToolForms; i++) {
        // Each form once, and never the name itself: a file system that
        // ignores case finds one file under two forms that differ in case.
        BOOL fSeen = !afMade[i] || SameFileName(awszForms[i], wszName);
        for (int j = 0; j < i && !fSeen; j++)
            fSeen = afMade[j] && SameFileName(awszForms[j], awszForms[i]);
        WCHAR *pwszPath = awszPaths[cFound];
        if (fSeen || !CopyWide(pwszPath, MAX_PATH, wszDir)
            || !AppendWide(pwszPath, MAX_PATH, awszForms[i]) || !IsFileW(pwszPath))
            continue;
        cFound++;
    }
    return cFound;
}

ZipFormLookup FindZipToolName(const char *pszDir, const char *pszName, UINT uAnsiCodePage,
                              UINT uOemCodePage, WCHAR *pwszPath, size_t cchPath)
{
    WCHAR awszPaths[c_cZipToolForms][MAX_PATH];
    int cFound = FindZipToolForms(pszDir, pszName, uAnsiCodePage, uOemCodePage, awszPaths);
    if (cFound == 0 || !CopyWide(pwszPath, cchPath, awszPaths[0]))
        return ZIPFORM_NONE;
    // Of two, which one was meant cannot be told.
    return cFound == 1 ? ZIPFORM_ONE : ZIPFORM_SEVERAL;
}
