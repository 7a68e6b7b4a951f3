#include "app/warning.h"
#include "app/globals.h"
#include "app/paths.h"

// What kept a series out of the data folder, as far as the user can do
// something about it; each has its own advice.
enum NotMovedCause {
    CAUSE_MISSING,           // not in the start folder
    CAUSE_IN_USE,            // a program holds the series or its old edition open
    CAUSE_DENIED,            // no rights to write there (or to read the series)
    CAUSE_WRITE_PROTECTED,   // the data folder's medium is write-protected
    CAUSE_DISK_FULL,
    CAUSE_NO_DATA_FOLDER,    // the data folder is not there (any more)
    CAUSE_PARTS_BLOCKED,     // the folder the copies are made in cannot be made
    CAUSE_NAME,              // the name is refused, or this machine cannot hold it
    CAUSE_LIST_UNREAD,       // the list could not be read to its end
    CAUSE_OTHER,             // the system's own words
    CAUSE_COUNT
};

// What the warning says under a series' name for each cause (NULL: worded
// for the series itself), and the advice given once for it at the end.
struct CauseWords {
    const WCHAR *pwszCause;
    const WCHAR *pwszAdvice;
};

static const CauseWords c_aWords[CAUSE_COUNT] = {
    {L"staat niet in de map van het pakket",
     L"Pak het hele pakket opnieuw uit en start het installatieprogramma in de uitgepakte map. "
     L"Ontbreekt een serie dan nog steeds, meld het dan aan de maker van het pakket."},
    {L"is in gebruik door een ander programma (de serie of de oude versie ervan)",
     L"Sluit Raadrups (en elk ander programma dat de series open kan hebben) en start het "
     L"installatieprogramma daarna opnieuw."},
    {L"geweigerd: het installatieprogramma mag niet schrijven in de data-map "
     L"(of deze serie niet lezen)",
     L"Start het installatieprogramma opnieuw met de rechtermuisknop: "
     L"\"Als administrator uitvoeren\"."},
    {L"kan niet schrijven: de schijf van de data-map is tegen schrijven beveiligd",
     L"De schijf van de data-map is tegen schrijven beveiligd: hef die beveiliging op en start "
     L"het installatieprogramma daarna opnieuw."},
    {L"past niet meer: de schijf is vol",
     L"Maak ruimte vrij op de schijf van de data-map en start het installatieprogramma daarna "
     L"opnieuw."},
    {L"de data-map bestaat niet (meer)",
     L"Start het installatieprogramma opnieuw en kies met \"Blader\" de juiste data-map van "
     L"Raadrups."},
    {L"de hulpmap \"delen.instrrse-deel\" kan niet worden gemaakt in de data-map",
     L"Verwijder of hernoem \"delen.instrrse-deel\" in de data-map en start het "
     L"installatieprogramma daarna opnieuw."},
    {NULL,
     L"Meld de naam aan de maker van het pakket: deze computer kan die serie niet installeren."},
    {NULL,
     L"Los de oorzaak op en start het installatieprogramma daarna opnieuw."},
    {NULL,
     L"Start het installatieprogramma opnieuw; gaat het dan weer mis, vraag dan hulp en noem de "
     L"melding hierboven."},
};

static const int c_cNamesShown = 15;
// A cause: ours, or the system's message, which is cut to this.
static const int c_cchCauseShown = 300;
static const WCHAR c_wszCauseIndent[] = L"    ";

static int g_cNotMoved;
static WCHAR g_wszNotMoved[c_cNamesShown * (c_cchNotMovedName + c_cchCauseShown + 8) + 1];
static BOOL g_afCauseSeen[CAUSE_COUNT];

static BOOL IsFolder(const char *pszPath)
{
    DWORD dwAttr = GetFileAttributesA(pszPath);
    return dwAttr != INVALID_FILE_ATTRIBUTES && (dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

static NotMovedCause CauseOfError(DWORD dwError)
{
    switch (dwError) {
    case ERROR_FILE_NOT_FOUND:
        return CAUSE_MISSING;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return CAUSE_IN_USE;
    case ERROR_ACCESS_DENIED:
        return CAUSE_DENIED;
    case ERROR_WRITE_PROTECT:
        return CAUSE_WRITE_PROTECTED;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return CAUSE_DISK_FULL;
    case ERROR_CANNOT_MAKE:
        return CAUSE_PARTS_BLOCKED;
    case ERROR_PATH_NOT_FOUND:
        // The start folder may have gone as well; then the system says so.
        return IsFolder(g_szDataDir) ? CAUSE_OTHER : CAUSE_NO_DATA_FOLDER;
    }
    return CAUSE_OTHER;
}

static NotMovedCause CauseOf(EntryVerdict verdict, DWORD dwError)
{
    return verdict == VERDICT_MOVE ? CauseOfError(dwError) : CAUSE_NAME;
}

// The system's own words for an error, in the user's language, without
// the line break they end in; its number when it has none that fit.
static void FormatSystemMessage(DWORD dwError, WCHAR *pwszCause, size_t cchCause)
{
    DWORD cch = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS
                               | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                               NULL, dwError, 0, pwszCause, (DWORD)cchCause, NULL);
    while (cch > 0 && (pwszCause[cch - 1] == L' ' || pwszCause[cch - 1] == L'\r'
                       || pwszCause[cch - 1] == L'\n'))
        cch--;
    if (cch == 0) {
        wsprintfW(pwszCause, L"Windows-foutcode %lu", dwError);
        return;
    }
    pwszCause[cch] = L'\0';
}

static void FormatCause(NotMovedCause cause, EntryVerdict verdict, DWORD dwError,
                        WCHAR *pwszCause, size_t cchCause)
{
    pwszCause[0] = L'\0';
    if (c_aWords[cause].pwszCause != NULL) {
        AppendWide(pwszCause, cchCause, c_aWords[cause].pwszCause);
    } else if (cause == CAUSE_NAME && verdict == VERDICT_UNMAPPABLE) {
        FormatUnmappableReason(GetACP(), pwszCause, cchCause);
    } else if (cause == CAUSE_NAME) {
        AppendWide(pwszCause, cchCause, L"geweigerd, ");
        AppendWide(pwszCause, cchCause, RefusalReason(verdict));
    } else {
        FormatSystemMessage(dwError, pwszCause, cchCause);
    }
}

void ClearNotMoved(void)
{
    g_cNotMoved = 0;
    g_wszNotMoved[0] = L'\0';
    for (BOOL &fSeen : g_afCauseSeen)
        fSeen = FALSE;
}

void NoteNotMoved(const WCHAR *pwszName, EntryVerdict verdict, DWORD dwError)
{
    NotMovedCause cause = CauseOf(verdict, dwError);
    g_afCauseSeen[cause] = TRUE;
    if (g_cNotMoved++ >= c_cNamesShown)
        return;
    const size_t cchShown = sizeof(g_wszNotMoved) / sizeof(WCHAR);
    WCHAR wszCause[c_cchCauseShown];
    FormatCause(cause, verdict, dwError, wszCause, c_cchCauseShown);
    AppendWide(g_wszNotMoved, cchShown, pwszName);
    AppendWide(g_wszNotMoved, cchShown, L"\n");
    AppendWide(g_wszNotMoved, cchShown, c_wszCauseIndent);
    AppendWide(g_wszNotMoved, cchShown, wszCause);
    AppendWide(g_wszNotMoved, cchShown, L"\n");
}

void NoteListUnread(void)
{
    g_afCauseSeen[CAUSE_LIST_UNREAD] = TRUE;
}

BOOL AnyNotMoved(void)
{
    return g_cNotMoved > 0 || g_afCauseSeen[CAUSE_LIST_UNREAD];
}

void FormatNotMoved(WCHAR *pwszText, size_t cchText)
{
    if (cchText == 0)
        return;
    pwszText[0] = L'\0';
    AppendWide(pwszText, cchText, L"De volgende serie(s) zijn niet ingelezen:\n\n");
    AppendWide(pwszText, cchText, g_wszNotMoved);
    if (g_cNotMoved > c_cNamesShown) {
        WCHAR wszMore[64];
        wsprintfW(wszMore, L"en nog %d andere\n", g_cNotMoved - c_cNamesShown);
        AppendWide(pwszText, cchText, wszMore);
    }
    if (g_afCauseSeen[CAUSE_LIST_UNREAD])
        AppendWide(pwszText, cchText, L"(de rest van de lijst teinstal.txt kon niet worden gelezen)\n");
    AppendWide(pwszText, cchText, L"\nWat u kunt doen:");
    for (int i = 0; i < CAUSE_COUNT; i++) {
        if (!g_afCauseSeen[i])
            continue;
        AppendWide(pwszText, cchText, L"\n- ");
        AppendWide(pwszText, cchText, c_aWords[i].pwszAdvice);
    }
}
