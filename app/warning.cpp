#include "app/warning.h"
#include "app/fileinfo.h"
#include "app/globals.h"
#include "app/listfile.h"
#include "app/movefile.h"
#include "app/parts.h"
#include "app/paths.h"
#include <shlwapi.h>

// What kept a series out of the data folder, as far as the user can do
// something about it; each has its own advice.
enum NotMovedCause {
    CAUSE_MISSING,           // not in the start folder
    CAUSE_IN_USE,            // a program holds the series or its old edition open
    CAUSE_DENIED,            // no rights to write there (or to read the series)
    CAUSE_DENIED_REMOTE,     // the same, in a folder on the network
    CAUSE_WRITE_PROTECTED,   // the data folder's medium is write-protected
    CAUSE_DISK_FULL,
    CAUSE_NO_DATA_FOLDER,    // the data folder is not there (any more)
    CAUSE_PARTS_BLOCKED,     // the folder the copies are made in cannot be made
    CAUSE_FOLDER_IN_WAY,     // a folder of the series' name in the data folder
    CAUSE_SHORT_NAME,        // the name reaches another file through its short name
    CAUSE_SEVERAL_FORMS,     // zip tools left the series under more than one name
    CAUSE_NAME,              // the name is refused, or this machine cannot hold it
    CAUSE_CANCELLED,         // the user stopped the moves
    CAUSE_LIST_UNREAD,       // the list could not be read to its end
    CAUSE_OTHER,             // the system's own words
    CAUSE_COUNT
};

// What the warning says under a series' name for each cause (NULL: worded
// for the series itself), and the advice given once for it at the end: in
// a box with only OK, and, for a cause the user can cure while the box is
// open, in a box that offers to try again.
struct CauseWords {
    const WCHAR *pwszCause;
    const WCHAR *pwszAdvice;
    const WCHAR *pwszRetryAdvice;   // NULL: cannot be cured in place
};

#define RESTART L" en start het installatieprogramma daarna opnieuw."
#define RETRY L" en klik daarna op Opnieuw."
#define CLOSE_PROGRAMS L"Sluit Raadrups (en elk ander programma dat de series open kan hebben)"
#define ELEVATED L"met de rechtermuisknop: \"Als administrator uitvoeren\"."
#define NETWORK_RIGHTS L"De data-map staat op het netwerk: vraag de beheerder van die map om " \
                       L"schrijfrechten voor u (\"Als administrator uitvoeren\" helpt hier niet)"
#define WRITE_PROTECTED L"De schijf van de data-map is tegen schrijven beveiligd: hef die " \
                        L"beveiliging op"
#define FREE_SPACE L"Maak ruimte vrij op de schijf van de data-map"
#define CHOOSE_FOLDER L"start het installatieprogramma opnieuw en kies met \"Blader\" de juiste " \
                      L"data-map van Raadrups."
#define PART_FOLDER L"\"" INSTRRSE_PART_FOLDER L"\""

static constexpr CauseWords c_aWords[CAUSE_COUNT] = {
    {L"staat niet in de map van het pakket",
     L"Pak het hele pakket opnieuw uit en start het installatieprogramma in de uitgepakte map. "
     L"Ontbreekt een serie dan nog steeds, meld het dan aan de maker van het pakket.",
     NULL},
    {L"is in gebruik door een ander programma (de serie of de oude versie ervan)",
     CLOSE_PROGRAMS RESTART, CLOSE_PROGRAMS RETRY},
    {L"geweigerd: het installatieprogramma mag niet schrijven in de data-map "
     L"(of deze serie niet lezen)",
     L"Start het installatieprogramma opnieuw " ELEVATED,
     L"Klik op Opnieuw; lukt het dan nog niet, klik dan op Annuleren en start het "
     L"installatieprogramma opnieuw " ELEVATED},
    {L"geweigerd: het installatieprogramma mag niet schrijven in de data-map "
     L"(of deze serie niet lezen)",
     NETWORK_RIGHTS RESTART, NETWORK_RIGHTS RETRY},
    {L"kan niet schrijven: de schijf van de data-map is tegen schrijven beveiligd",
     WRITE_PROTECTED RESTART, WRITE_PROTECTED RETRY},
    {L"past niet meer: de schijf is vol", FREE_SPACE RESTART, FREE_SPACE RETRY},
    {L"de data-map bestaat niet (meer)",
     L"Start het installatieprogramma opnieuw en kies met \"Blader\" de juiste data-map van "
     L"Raadrups.",
     L"Is de schijf van de data-map losgekoppeld, sluit die dan weer aan en klik op Opnieuw; "
     L"klik anders op Annuleren, " CHOOSE_FOLDER},
    {L"de hulpmap " PART_FOLDER L" kan niet worden gemaakt in de data-map",
     L"Verwijder of hernoem " PART_FOLDER L" in de data-map" RESTART,
     L"Verwijder of hernoem " PART_FOLDER L" in de data-map" RETRY},
    {L"in de data-map staat een map met deze naam",
     L"Verwijder of hernoem die map in de data-map" RESTART,
     L"Verwijder of hernoem die map in de data-map" RETRY},
    {NULL,
     L"Meld de naam aan de maker van het pakket: de lijst moet elke serie bij haar eigen, "
     L"volledige naam noemen.",
     NULL},
    {L"staat er in meer dan \u00e9\u00e9n vorm (zoals zip-programma's namen schrijven); welke "
     L"bedoeld is, is niet te zeggen",
     L"Pak het zip-bestand opnieuw uit in een lege map met Windows Verkenner (klik er met de "
     L"rechtermuisknop op en kies \"Alles uitpakken\") en start het installatieprogramma daar. "
     L"Lukt het dan nog niet, meld het dan aan de maker van het pakket.",
     NULL},
    {NULL,
     L"Meld de naam aan de maker van het pakket: deze computer kan die serie niet installeren.",
     NULL},
    {L"niet ge\u00efnstalleerd: u hebt het installeren gestopt",
     L"Start het installatieprogramma opnieuw om de overige series te installeren.", NULL},
    {NULL, L"Los de oorzaak op" RESTART, NULL},
    {NULL,
     L"Start het installatieprogramma opnieuw; gaat het dan weer mis, vraag dan hulp en noem de "
     L"melding hierboven.",
     NULL},
};

static constexpr WCHAR c_wszHeading[] = L"De volgende serie(s) zijn niet ingelezen:\n\n";
static constexpr WCHAR c_wszListUnread[] = L"(de rest van de lijst " INSTRRSE_LIST_NAME
                                       L" kon niet worden gelezen)\n";
static constexpr WCHAR c_wszAdviceHeading[] = L"\nWat u kunt doen:";
static constexpr WCHAR c_wszSuccess[] = L"De serie(s) zijn ingelezen!";
static constexpr WCHAR c_wszWasThere[] =
    L"\n\nDeze serie(s) stonden al in de data-map en zaten niet (meer) in dit pakket; de versie in "
    L"de data-map is gebleven:\n";

static const int c_cNamesShown = 15;
// A cause: ours, or the system's message, which is cut to this.
static const int c_cchCauseShown = 300;
static const WCHAR c_wszCauseIndent[] = L"    ";
// "en nog 4294967295 andere\n"
static const int c_cchMoreShown = 32;

static int s_cNotMoved;
static WCHAR s_wszNotMoved[c_cNamesShown * (c_cchNotMovedName + c_cchCauseShown + 8) + 1];
static BOOL s_afCauseSeen[CAUSE_COUNT];
static int s_cWasThere;
static WCHAR s_wszWasThere[c_cNamesShown * (c_cchNotMovedName + 1) + 1];

// The warning holds every part of it whole, whatever occurred: checked
// here, so that no series' name or advice can ever be cut off.
constexpr size_t Length(const WCHAR *pwsz)
{
    size_t cch = 0;
    while (pwsz[cch] != L'\0')
        cch++;
    return cch;
}

constexpr size_t LongestWarning()
{
    size_t cch = Length(c_wszHeading) + sizeof(s_wszNotMoved) / sizeof(WCHAR) + c_cchMoreShown
               + Length(c_wszListUnread) + Length(c_wszAdviceHeading);
    for (const CauseWords &words : c_aWords) {
        size_t cchAdvice = Length(words.pwszAdvice);
        if (words.pwszRetryAdvice != NULL && Length(words.pwszRetryAdvice) > cchAdvice)
            cchAdvice = Length(words.pwszRetryAdvice);
        cch += 3 + cchAdvice;
    }
    return cch + 1;
}
static_assert(LongestWarning() <= c_cchNotMovedText, "the warning must always fit whole");
static_assert(Length(c_wszSuccess) + Length(c_wszWasThere) + sizeof(s_wszWasThere) / sizeof(WCHAR)
                  + c_cchMoreShown <= c_cchSuccessText,
              "the success box must always fit whole");

// Elevation helps only on this machine's own disks; a network folder's
// rights are its administrator's, and an elevated run does not even see
// the user's mapped drives.
static BOOL IsDataFolderRemote(void)
{
    if (g_szDataDir[0] == '\\' && g_szDataDir[1] == '\\')
        return TRUE;
    char szRoot[4] = {g_szDataDir[0], ':', '\\', '\0'};
    return g_szDataDir[0] != '\0' && g_szDataDir[1] == ':'
        && GetDriveTypeA(szRoot) == DRIVE_REMOTE;
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
        return IsDataFolderRemote() ? CAUSE_DENIED_REMOTE : CAUSE_DENIED;
    case ERROR_WRITE_PROTECT:
        return CAUSE_WRITE_PROTECTED;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return CAUSE_DISK_FULL;
    case ERROR_CANNOT_MAKE:
        return CAUSE_PARTS_BLOCKED;
    case c_dwErrFolderInTheWay:
        return CAUSE_FOLDER_IN_WAY;
    case c_dwErrShortNameInPack:
    case c_dwErrShortNameInData:
        return CAUSE_SHORT_NAME;
    case c_dwErrSeveralForms:
        return CAUSE_SEVERAL_FORMS;
    case ERROR_CANCELLED:
        return CAUSE_CANCELLED;
    case ERROR_PATH_NOT_FOUND:
        // The start folder may have gone as well; then the system says so.
        return IsFolderA(g_szDataDir) ? CAUSE_OTHER : CAUSE_NO_DATA_FOLDER;
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
    // The system's words for no error would read "success" under a series
    // that was not installed.
    if (dwError == ERROR_SUCCESS) {
        AppendWide(pwszCause, cchCause, L"niet ge\u00efnstalleerd; de oorzaak is niet bekend");
        return;
    }
    DWORD cch = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS
                               | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                               NULL, dwError, 0, pwszCause, (DWORD)cchCause, NULL);
    while (cch > 0 && (pwszCause[cch - 1] == L' ' || pwszCause[cch - 1] == L'\r'
                       || pwszCause[cch - 1] == L'\n'))
        cch--;
    if (cch == 0) {
        wnsprintfW(pwszCause, (int)cchCause, L"Windows-foutcode %lu", dwError);
        return;
    }
    pwszCause[cch] = L'\0';
}

static void FormatShortName(DWORD dwError, const WCHAR *pwszLongName, WCHAR *pwszCause,
                            size_t cchCause)
{
    BOOL fInPack = dwError == c_dwErrShortNameInPack;
    AppendWide(pwszCause, cchCause, fInPack ? L"is in de map van het pakket de korte naam van \""
                                            : L"is in de data-map de korte naam van een andere "
                                              L"serie, \"");
    AppendWide(pwszCause, cchCause, pwszLongName);
    AppendWide(pwszCause, cchCause, fInPack ? L"\"; een serie wordt alleen onder haar eigen naam "
                                              L"ge\u00efnstalleerd"
                                            : L"\"; die is niet vervangen");
}

static void FormatCause(NotMovedCause cause, EntryVerdict verdict, DWORD dwError,
                        const WCHAR *pwszLongName, WCHAR *pwszCause, size_t cchCause)
{
    pwszCause[0] = L'\0';
    if (c_aWords[cause].pwszCause != NULL) {
        AppendWide(pwszCause, cchCause, c_aWords[cause].pwszCause);
    } else if (cause == CAUSE_SHORT_NAME) {
        FormatShortName(dwError, pwszLongName, pwszCause, cchCause);
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
    s_cNotMoved = 0;
    s_wszNotMoved[0] = L'\0';
    for (BOOL &fSeen : s_afCauseSeen)
        fSeen = FALSE;
}

// A cause line is cut to fit, never left out: the name above it stays.
static void AppendCut(WCHAR *pwszText, size_t cchText, const WCHAR *pwsz)
{
    size_t cchHave = wcsnlen(pwszText, cchText);
    size_t cch = wcslen(pwsz);
    if (cchHave + cch >= cchText)
        cch = cchText - cchHave - 1;
    memcpy(pwszText + cchHave, pwsz, cch * sizeof(WCHAR));
    pwszText[cchHave + cch] = L'\0';
}

void NoteNotMoved(const WCHAR *pwszName, EntryVerdict verdict, DWORD dwError,
                  const WCHAR *pwszLongName)
{
    NotMovedCause cause = CauseOf(verdict, dwError);
    s_afCauseSeen[cause] = TRUE;
    if (s_cNotMoved++ >= c_cNamesShown)
        return;
    const size_t cchShown = sizeof(s_wszNotMoved) / sizeof(WCHAR);
    WCHAR wszCause[c_cchCauseShown];
    FormatCause(cause, verdict, dwError, pwszLongName, wszCause, c_cchCauseShown);
    AppendWide(s_wszNotMoved, cchShown, pwszName);
    AppendWide(s_wszNotMoved, cchShown, L"\n");
    AppendWide(s_wszNotMoved, cchShown, c_wszCauseIndent);
    AppendCut(s_wszNotMoved, cchShown, wszCause);
    AppendWide(s_wszNotMoved, cchShown, L"\n");
}

void NoteListUnread(void)
{
    s_afCauseSeen[CAUSE_LIST_UNREAD] = TRUE;
}

BOOL AnyNotMoved(void)
{
    return s_cNotMoved > 0 || s_afCauseSeen[CAUSE_LIST_UNREAD];
}

BOOL CanRetryInPlace(void)
{
    for (int i = 0; i < CAUSE_COUNT; i++)
        if (s_afCauseSeen[i] && c_aWords[i].pwszRetryAdvice != NULL)
            return TRUE;
    return FALSE;
}

static void AppendMore(WCHAR *pwszText, size_t cchText, int cNoted)
{
    if (cNoted <= c_cNamesShown)
        return;
    WCHAR wszMore[c_cchMoreShown];
    wnsprintfW(wszMore, c_cchMoreShown, L"en nog %d andere\n", cNoted - c_cNamesShown);
    AppendWide(pwszText, cchText, wszMore);
}

void FormatNotMoved(WCHAR *pwszText, size_t cchText, BOOL fRetry)
{
    if (cchText == 0)
        return;
    pwszText[0] = L'\0';
    AppendWide(pwszText, cchText, c_wszHeading);
    AppendWide(pwszText, cchText, s_wszNotMoved);
    AppendMore(pwszText, cchText, s_cNotMoved);
    if (s_afCauseSeen[CAUSE_LIST_UNREAD])
        AppendWide(pwszText, cchText, c_wszListUnread);
    AppendWide(pwszText, cchText, c_wszAdviceHeading);
    for (int i = 0; i < CAUSE_COUNT; i++) {
        if (!s_afCauseSeen[i])
            continue;
        const CauseWords &words = c_aWords[i];
        AppendWide(pwszText, cchText, L"\n- ");
        AppendWide(pwszText, cchText,
                   fRetry && words.pwszRetryAdvice != NULL ? words.pwszRetryAdvice
                                                           : words.pwszAdvice);
    }
}

void ClearWasThere(void)
{
    s_cWasThere = 0;
    s_wszWasThere[0] = L'\0';
}

void NoteWasThere(const WCHAR *pwszName)
{
    if (s_cWasThere++ >= c_cNamesShown)
        return;
    const size_t cchShown = sizeof(s_wszWasThere) / sizeof(WCHAR);
    AppendWide(s_wszWasThere, cchShown, pwszName);
    AppendWide(s_wszWasThere, cchShown, L"\n");
}

void FormatSuccess(WCHAR *pwszText, size_t cchText)
{
    if (cchText == 0)
        return;
    pwszText[0] = L'\0';
    AppendWide(pwszText, cchText, c_wszSuccess);
    if (s_cWasThere == 0)
        return;
    AppendWide(pwszText, cchText, c_wszWasThere);
    AppendWide(pwszText, cchText, s_wszWasThere);
    AppendMore(pwszText, cchText, s_cWasThere);
}

void ShowFolderWarning(HWND hwnd, const WCHAR *pwszBefore, const WCHAR *pwszFolder,
                       const WCHAR *pwszAfter)
{
    WCHAR wszText[2048 + MAX_PATH];
    wszText[0] = L'\0';
    if (AppendWide(wszText, ARRAYSIZE(wszText), pwszBefore)
        && AppendWide(wszText, ARRAYSIZE(wszText), pwszFolder)
        && AppendWide(wszText, ARRAYSIZE(wszText), pwszAfter))
        MessageBoxW(hwnd, wszText, L"Let op", MB_ICONWARNING | MB_SETFOREGROUND);
}
