#include "series.h"
#include "listfile.h"
#include "globals.h"
#include "paths.h"
#include "movefile.h"
#include <string.h>

static const int c_cchEntry = 149;
static const int c_cNamesShown = 15;

// What the last MoveSeries could not do, for the closing warning: a name
// comes from one entry, so it and its line break take at most 150 bytes.
int g_cNotMoved;
char g_szNotMoved[c_cNamesShown * (c_cchEntry + 1) + 1];
BOOL g_fListUnread;

static void NoteNotMoved(const char *pszName)
{
    if (g_cNotMoved < c_cNamesShown) {
        AppendPath(g_szNotMoved, sizeof(g_szNotMoved), pszName);
        AppendPath(g_szNotMoved, sizeof(g_szNotMoved), "\n");
    }
    g_cNotMoved++;
}

static void MoveEntry(const char *pszEntry)
{
    char szName[256];
    char szExt[256];
    if (!SplitPath(pszEntry, NULL, 0, NULL, 0, szName, sizeof(szName), szExt, sizeof(szExt)))
        return;
    if (PathsEqual(szExt, ".txt"))
        return;
    char szFile[sizeof(szName) + sizeof(szExt)];
    CopyPath(szFile, sizeof(szFile), szName);
    AppendPath(szFile, sizeof(szFile), szExt);
    if (szFile[strspn(szFile, ".")] == '\0')
        return;   // an empty line, a bare folder, "." or ".." names no file
    if (!IsPlainFileName(szFile) || !MoveSeriesFile(szFile))
        NoteNotMoved(szFile);
}

BOOL MoveSeries(FILE *file)
{
    g_cNotMoved = 0;
    g_szNotMoved[0] = '\0';
    SkipByteOrderMark(file);
    while (ReadListEntry(file))
        MoveEntry(g_szListLine);
    g_fListUnread = ferror(file) != 0;
    return g_cNotMoved == 0 && !g_fListUnread;
}

void FormatNotMoved(char *pszText, size_t cbText)
{
    CopyPath(pszText, cbText, "De volgende serie(s) zijn niet ingelezen:\n\n");
    AppendPath(pszText, cbText, g_szNotMoved);
    if (g_cNotMoved > c_cNamesShown) {
        char szMore[64];
        wsprintfA(szMore, "en nog %d andere\n", g_cNotMoved - c_cNamesShown);
        AppendPath(pszText, cbText, szMore);
    }
    if (g_fListUnread)
        AppendPath(pszText, cbText, "(de rest van de lijst teinstal.txt kon niet worden gelezen)\n");
    AppendPath(pszText, cbText,
               "\nLos de oorzaak op en start het installatieprogramma daarna opnieuw.");
}
