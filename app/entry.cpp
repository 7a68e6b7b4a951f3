#include "app/entry.h"
#include "app/fileinfo.h"
#include "app/listfile.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/partnames.h"
#include <string.h>
#include <wchar.h>

static EntryVerdict VerdictOfFault(NameFault fault)
{
    switch (fault) {
    case NAME_PLAIN:
        return VERDICT_MOVE;
    case NAME_EMPTY:
        return VERDICT_NO_FILE;
    case NAME_CUT_CHAR:
        return VERDICT_CUT_CHAR;
    case NAME_STREAM:
        return VERDICT_STREAM;
    case NAME_WILDCARD:
        return VERDICT_WILDCARD;
    case NAME_CONTROL:
        return VERDICT_CONTROL;
    case NAME_DEVICE:
        return VERDICT_DEVICE;
    case NAME_FORBIDDEN:
        break;
    }
    return VERDICT_FORBIDDEN;
}

#define INSTRRSE_SKIPPED_EXTENSION ".txt"
static const char c_szSkippedExtension[] = INSTRRSE_SKIPPED_EXTENSION;

BOOL IsSkippedTextName(const WCHAR *pwszName)
{
    const WCHAR *pwszDot = wcsrchr(pwszName, L'.');
    return pwszDot != NULL && NamesEqualAsciiCase(pwszDot, L"" INSTRRSE_SKIPPED_EXTENSION);
}

EntryVerdict JudgeEntryName(const char *pszEntry, char *pszName, size_t cbName, UINT uCodePage)
{
    char szName[256];
    char szExt[256];
    char szFile[sizeof(szName) + sizeof(szExt)];
    if (cbName > 0)
        pszName[0] = '\0';
    if (!SplitPath(pszEntry, NULL, 0, NULL, 0, szName, sizeof(szName), szExt, sizeof(szExt),
                   uCodePage))
        return VERDICT_NO_FILE;
    CopyPath(szFile, sizeof(szFile), szName);
    AppendPath(szFile, sizeof(szFile), szExt);
    TrimNameEnd(szFile, uCodePage);
    if (szFile[0] == '\0' || !CopyPath(pszName, cbName, szFile))
        return VERDICT_NO_FILE;   // "", a bare folder, "." or ".."

    // The extension of the name as Windows opens it: "Lees mij.txt " is a
    // text file too.
    if (SplitPath(szFile, NULL, 0, NULL, 0, NULL, 0, szExt, sizeof(szExt), uCodePage)
        && PathsEqual(szExt, c_szSkippedExtension, uCodePage))
        return VERDICT_SKIP_TXT;
    EntryVerdict verdict = VerdictOfFault(FindNameFault(szFile, uCodePage));
    // A copy under such a name could be taken for an interrupted one and
    // removed, or be renamed over the series it belongs to.
    if (verdict == VERDICT_MOVE && PathsEqual(szExt, c_szPartSuffix, uCodePage))
        return VERDICT_RESERVED;
    return verdict;
}

// The file-name part of the entry as written: after the drive and the last
// separator, trailing blanks and dots dropped, like its bytes.
static const WCHAR *WrittenFileName(const ListFile *pList, size_t *pcch)
{
    const WCHAR *pwsz = pList->wszEntry;
    if (pwsz[0] != L'\0' && pwsz[1] == L':')
        pwsz += 2;
    for (const WCHAR *pwch = pwsz; *pwch != L'\0'; pwch++)
        if (*pwch == L'\\' || *pwch == L'/')
            pwsz = pwch + 1;
    size_t cch = wcslen(pwsz);
    while (cch > 0 && IsDroppedAtNameEnd(pwsz[cch - 1]))
        cch--;
    *pcch = cch;
    return pwsz;
}

// Whether the character the code page could not hold is in the file-name
// part rather than in a folder in front of it, which is ignored anyway.
static BOOL IsNameUnmappable(const ListFile *pList)
{
    size_t cch;
    const WCHAR *pwsz = WrittenFileName(pList, &cch);
    if (cch == 0)
        return FALSE;
    char ab[c_cbConvertedEntry];
    BOOL fUnmappable = FALSE;
    ConvertToListCodePage(pList, pwsz, cch, ab, sizeof(ab), &fUnmappable);
    return fUnmappable;
}

// Whether the file is in the folder. The name is in the list's code page,
// which need not be this machine's: it is looked up by its characters.
static BOOL IsFileInFolder(const ListFile *pList, const char *pszDir, const char *pszName)
{
    WCHAR wszName[MAX_PATH];
    WCHAR wszPath[MAX_PATH];
    if (pszDir == NULL
        || MultiByteToWideChar(pList->uCodePage, 0, pszName, -1, wszName, MAX_PATH) == 0
        || MultiByteToWideChar(CP_ACP, 0, pszDir, -1, wszPath, MAX_PATH) == 0
        || !AppendWide(wszPath, MAX_PATH, wszName))
        return FALSE;
    return IsFileW(wszPath);
}

// An ANSI line may be valid UTF-8 by chance ("CafÃ©.dat" written in
// Windows-1252 has the bytes of "Café.dat" in UTF-8); its bytes as they
// stand name what such a list always moved. The data folder counts only
// when the start folder holds neither file: a file of the raw name that it
// holds from elsewhere must never keep the file the user brought from being
// installed while the run reports success. pszDecoded: the decoded name to
// move, or NULL.
static BOOL IsRawNameMeant(const ListFile *pList, const char *pszStartDir, const char *pszDataDir,
                           const char *pszDecoded)
{
    char szRaw[MAX_PATH];
    if (pList->szRaw[0] == '\0' || strcmp(pList->szRaw, g_szListLine) == 0
        || JudgeEntryName(pList->szRaw, szRaw, sizeof(szRaw), pList->uCodePage) != VERDICT_MOVE)
        return FALSE;
    if (IsFileInFolder(pList, pszStartDir, szRaw))
        return TRUE;
    return (pszDecoded == NULL || !IsFileInFolder(pList, pszStartDir, pszDecoded))
        && IsFileInFolder(pList, pszDataDir, szRaw);
}

EntryVerdict JudgeListEntry(const ListFile *pList, const char *pszStartDir, const char *pszDataDir,
                            char *pszName, size_t cbName)
{
    EntryVerdict verdict = JudgeEntryName(g_szListLine, pszName, cbName, pList->uCodePage);
    if (IsRawNameMeant(pList, pszStartDir, pszDataDir, verdict == VERDICT_MOVE ? pszName : NULL))
        return JudgeEntryName(pList->szRaw, pszName, cbName, pList->uCodePage);
    if (pList->fUnmappable && verdict != VERDICT_NO_FILE && verdict != VERDICT_SKIP_TXT
        && IsNameUnmappable(pList))
        verdict = VERDICT_UNMAPPABLE;
    return verdict;
}

void EntryNameForUser(const ListFile *pList, EntryVerdict verdict, const char *pszName,
                      WCHAR *pwszName, size_t cchName)
{
    if (cchName == 0)
        return;
    WCHAR wsz[MAX_PATH];
    const WCHAR *pwsz = wsz;
    size_t cch = 0;
    if (verdict == VERDICT_UNMAPPABLE) {
        pwsz = WrittenFileName(pList, &cch);
    } else {
        int cchConverted = MultiByteToWideChar(pList->uCodePage, 0, pszName, -1, wsz, MAX_PATH);
        cch = cchConverted > 0 ? (size_t)cchConverted - 1 : 0;
    }
    if (cch >= cchName)
        cch = cchName - 1;
    memcpy(pwszName, pwsz, cch * sizeof(WCHAR));
    pwszName[cch] = L'\0';
}

const WCHAR *RefusalReason(EntryVerdict verdict)
{
    switch (verdict) {
    case VERDICT_DEVICE:
        return L"een apparaatnaam (CON, PRN, AUX, NUL, COM1, LPT1, \u2026, ook met extensie)";
    case VERDICT_STREAM:
        return L"bevat \":\" (een stream of een station)";
    case VERDICT_WILDCARD:
        return L"bevat een jokerteken (\"*\" of \"?\")";
    case VERDICT_FORBIDDEN:
        return L"bevat een teken dat niet in een bestandsnaam mag (<, >, \" of |)";
    case VERDICT_CONTROL:
        return L"bevat een stuurteken";
    case VERDICT_CUT_CHAR:
        return L"eindigt in een afgebroken teken van twee bytes";
    case VERDICT_RESERVED:
        return L"eindigt op \"" INSTRRSE_PART_SUFFIX L"\", de tijdelijke naam die de installer zelf gebruikt";
    default:
        return L"geen gewone bestandsnaam";
    }
}

void FormatUnmappableReason(UINT uCodePage, WCHAR *pwszReason, size_t cchReason)
{
    if (cchReason == 0)
        return;
    pwszReason[0] = L'\0';
    AppendWide(pwszReason, cchReason, L"codetabel ");
    AppendNumber(pwszReason, cchReason, uCodePage);
    AppendWide(pwszReason, cchReason, L" kan deze naam niet bevatten");
}
