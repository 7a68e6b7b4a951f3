#include "app/series.h"
#include "app/entry.h"
#include "app/listfile.h"
#include "app/globals.h"
#include "app/movefile.h"
#include "app/warning.h"

static void MoveEntry(const ListFile *pList)
{
    char szName[MAX_PATH];
    EntryVerdict verdict = JudgeListEntry(pList, g_szCurrentDir, g_szDataDir, szName,
                                          sizeof(szName));
    if (verdict == VERDICT_NO_FILE || verdict == VERDICT_SKIP_TXT)
        return;
    DWORD dwError = 0;
    if (verdict == VERDICT_MOVE) {
        if (MoveSeriesFile(szName))
            return;
        dwError = GetLastError();
    }
    WCHAR wszName[c_cchNotMovedName];
    EntryNameForUser(pList, verdict, szName, wszName, c_cchNotMovedName);
    NoteNotMoved(wszName, verdict, dwError);
}

BOOL MoveSeries(FILE *file)
{
    ClearNotMoved();
    ListFile list;
    BOOL fListUnread = !OpenList(file, CP_ACP, &list);
    while (!fListUnread && ReadListEntry(&list))
        MoveEntry(&list);
    RemovePartFolder();
    if (fListUnread || list.fReadError)
        NoteListUnread();
    CloseList(&list);
    return !AnyNotMoved();
}
