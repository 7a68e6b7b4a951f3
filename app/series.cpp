#include "app/series.h"
#include "app/entry.h"
#include "app/listfile.h"
#include "app/globals.h"
#include "app/movefile.h"
#include "app/paths.h"

static const int c_cNamesShown = 15;
// A name shown comes from one entry: at most 149 characters, each one or
// two UTF-16 units, and its line break.
static const int c_cchNameShown = 2 * c_cbListEntry + 1;

// What the last MoveSeries could not do, for the closing warning.
static int g_cNotMoved;
static WCHAR g_wszNotMoved[c_cNamesShown * c_cchNameShown + 1];
static BOOL g_fListUnread;

static void NoteNotMoved(const ListFile *pList, EntryVerdict verdict, const char *pszName)
{
    if (g_cNotMoved < c_cNamesShown) {
        WCHAR wszName[c_cchNameShown];
        EntryNameForUser(pList, verdict, pszName, wszName, c_cchNameShown);
        AppendWide(g_wszNotMoved, sizeof(g_wszNotMoved) / sizeof(WCHAR), wszName);
        AppendWide(g_wszNotMoved, sizeof(g_wszNotMoved) / sizeof(WCHAR), L"\n");
    }
    g_cNotMoved++;
}

static void MoveEntry(const ListFile *pList)
{
    char szName[MAX_PATH];
    EntryVerdict verdict = JudgeListEntry(pList, g_szCurrentDir, g_szDataDir, szName,
                                          sizeof(szName));
    if (verdict == VERDICT_NO_FILE || verdict == VERDICT_SKIP_TXT)
        return;
    if (verdict != VERDICT_MOVE || !MoveSeriesFile(szName))
        NoteNotMoved(pList, verdict, szName);
}

BOOL MoveSeries(FILE *file)
{
    g_cNotMoved = 0;
    g_wszNotMoved[0] = L'\0';
    ListFile list;
    g_fListUnread = !OpenList(file, CP_ACP, &list);
    while (!g_fListUnread && ReadListEntry(&list))
        MoveEntry(&list);
    RemovePartFolder();
    g_fListUnread = g_fListUnread || list.fReadError;
    CloseList(&list);
    return g_cNotMoved == 0 && !g_fListUnread;
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
    if (g_fListUnread)
        AppendWide(pwszText, cchText, L"(de rest van de lijst teinstal.txt kon niet worden gelezen)\n");
    AppendWide(pwszText, cchText,
               L"\nLos de oorzaak op en start het installatieprogramma daarna opnieuw.");
}
