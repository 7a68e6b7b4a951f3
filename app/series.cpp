#include "app/series.h"
#include "app/entry.h"
#include "app/globals.h"
#include "app/listfile.h"
#include "app/movefile.h"
#include "app/parts.h"
#include "app/patience.h"
#include "app/paths.h"
#include "app/progress.h"
#include "app/warning.h"
#include <stdlib.h>
#include <string.h>

static ListFile s_list;
static BOOL s_fListUnread;
// The entries, by their number in the list, that the last pass did not
// move, in the order of the list.
static DWORD *s_aiNotMoved;
static DWORD s_cNotMoved;
static DWORD s_cNotMovedRoom;
// The names this run moved, as hashes: a name listed twice was moved by
// the first of its entries, and the second finds it in the data folder.
static ULONGLONG *s_aMoved;
static DWORD s_cMoved;
static DWORD s_cMovedRoom;

// A pass through the list: every entry, or only those a pass before it
// did not move.
struct Walk {
    ListFile *pList;
    const DWORD *aiTake;   // NULL: every entry
    DWORD cTake;
    DWORD iTake;
    DWORD iEntry;          // the number of the entry read last
};
static Walk s_walk;

static void BeginWalk(Walk *pWalk, const DWORD *aiTake, DWORD cTake)
{
    pWalk->pList = &s_list;
    pWalk->aiTake = aiTake;
    pWalk->cTake = cTake;
    pWalk->iTake = 0;
    pWalk->iEntry = (DWORD)-1;
    RewindList(&s_list);
}

// Reads the next entry the pass takes into g_szListLine.
static BOOL NextEntry(Walk *pWalk)
{
    while (!s_fListUnread && ReadListEntry(pWalk->pList)) {
        pWalk->iEntry++;
        if (pWalk->aiTake == NULL)
            return TRUE;
        if (pWalk->iTake < pWalk->cTake && pWalk->aiTake[pWalk->iTake] == pWalk->iEntry) {
            pWalk->iTake++;
            return TRUE;
        }
    }
    return FALSE;
}

// Appends to a growing array; FALSE (the array as it was) when memory is
// short.
template <class T>
static BOOL Append(T **pa, DWORD *pc, DWORD *pcRoom, T value)
{
    if (*pc == *pcRoom) {
        DWORD cRoom = *pcRoom != 0 ? 2 * *pcRoom : 64;
        T *a = (T *)realloc(*pa, cRoom * sizeof(T));
        if (a == NULL)
            return FALSE;
        *pa = a;
        *pcRoom = cRoom;
    }
    (*pa)[(*pc)++] = value;
    return TRUE;
}

// Kept for the next pass; a list too long to keep count of is simply not
// tried again past that point.
static void RememberNotMoved(DWORD iEntry)
{
    Append(&s_aiNotMoved, &s_cNotMoved, &s_cNotMovedRoom, iEntry);
}

// FNV-1a over the name with ASCII letters folded, as names compare.
static ULONGLONG HashOfName(const char *pszName)
{
    ULONGLONG h = 14695981039346656037ull;
    for (; *pszName != '\0'; pszName++) {
        char ch = *pszName >= 'A' && *pszName <= 'Z' ? (char)(*pszName - 'A' + 'a') : *pszName;
        h = (h ^ (BYTE)ch) * 1099511628211ull;
    }
    return h;
}

static void RememberMoved(const char *pszName)
{
    Append(&s_aMoved, &s_cMoved, &s_cMovedRoom, HashOfName(pszName));
}

// Only a name a series of this run may have; one that memory was short for
// is then named as found in the data folder, which it was.
static BOOL MovedThisRun(const char *pszName)
{
    ULONGLONG h = HashOfName(pszName);
    for (DWORD i = 0; i < s_cMoved; i++)
        if (s_aMoved[i] == h)
            return TRUE;
    return FALSE;
}

// What the progress window counts, asked only when it is about to show: a
// short run costs no look at its series for it. The bytes of the series the
// pass has still to copy after the one under way, as the start folder holds
// them now; read ahead with a copy of the reader, so the entry being moved
// keeps its own.
static ULONGLONG BytesAfterThisSeries(void)
{
    char szLine[sizeof(g_szListLine)];
    memcpy(szLine, g_szListLine, sizeof(szLine));
    ListFile list = s_list;
    Walk walk = s_walk;
    walk.pList = &list;
    ULONGLONG cb = 0;
    while (NextEntry(&walk)) {
        char szName[MAX_PATH], szPath[MAX_PATH];
        WIN32_FILE_ATTRIBUTE_DATA fad;
        if (JudgeEntryName(g_szListLine, szName, sizeof(szName)) == VERDICT_MOVE
            && CopyPath(szPath, MAX_PATH, g_szCurrentDir) && AppendPath(szPath, MAX_PATH, szName)
            && GetFileAttributesExA(szPath, GetFileExInfoStandard, &fad))
            cb += ((ULONGLONG)fad.nFileSizeHigh << 32) | fad.nFileSizeLow;
    }
    memcpy(g_szListLine, szLine, sizeof(szLine));
    return cb;
}

// Once the user has stopped the moves, no series is touched any more; each
// is named with that cause.
static DWORD MoveListedFile(const char *pszName, const WCHAR *pwszName, MoveResult *pResult)
{
    pResult->fWasThere = FALSE;
    if (IsProgressStopped())
        return ERROR_CANCELLED;
    ProgressOnSeries(pwszName);
    return MoveSeriesFile(pszName, pResult);
}

static void MoveEntry(DWORD iEntry)
{
    char szName[MAX_PATH];
    EntryVerdict verdict = JudgeListEntry(&s_list, g_szCurrentDir, g_szDataDir, szName,
                                          sizeof(szName));
    if (verdict == VERDICT_NO_FILE || verdict == VERDICT_SKIP_TXT)
        return;
    WCHAR wszName[c_cchNotMovedName];
    EntryNameForUser(&s_list, verdict, szName, wszName, c_cchNotMovedName);
    MoveResult result;
    DWORD dwError = ERROR_SUCCESS;
    result.wszLongName[0] = L'\0';
    if (verdict == VERDICT_MOVE) {
        dwError = MoveListedFile(szName, wszName, &result);
        if (dwError == ERROR_SUCCESS && !result.fWasThere)
            RememberMoved(szName);
        else if (dwError == ERROR_SUCCESS && !MovedThisRun(szName))
            NoteWasThere(wszName);
        if (dwError == ERROR_SUCCESS)
            return;
    }
    NoteNotMoved(wszName, verdict, dwError, result.wszLongName);
    RememberNotMoved(iEntry);
}

// aiTake: the entries to take (cTake of them), or NULL for all.
static BOOL MovePass(const DWORD *aiTake, DWORD cTake)
{
    ClearNotMoved();
    ResetPatience();
    BeginProgress(BytesAfterThisSeries);
    BeginWalk(&s_walk, aiTake, cTake);
    while (NextEntry(&s_walk))
        MoveEntry(s_walk.iEntry);
    EndProgress();
    RemovePartFolder();
    if (s_fListUnread || s_list.fReadError)
        NoteListUnread();
    return !AnyNotMoved();
}

BOOL BeginSeriesMoves(FILE *file)
{
    ClearWasThere();
    s_cNotMoved = s_cMoved = 0;
    s_fListUnread = !OpenList(file, CP_ACP, &s_list);
    return MovePass(NULL, 0);
}

BOOL RetrySeriesMoves(void)
{
    DWORD *aiTake = s_aiNotMoved;
    DWORD cTake = s_cNotMoved;
    s_aiNotMoved = NULL;
    s_cNotMoved = s_cNotMovedRoom = 0;
    BOOL fAll = MovePass(aiTake, cTake);
    free(aiTake);
    return fAll;
}

void EndSeriesMoves(void)
{
    CloseList(&s_list);
    free(s_aiNotMoved);
    s_aiNotMoved = NULL;
    s_cNotMoved = s_cNotMovedRoom = 0;
    free(s_aMoved);
    s_aMoved = NULL;
    s_cMoved = s_cMovedRoom = 0;
}

BOOL MoveSeries(FILE *file)
{
    BOOL fAll = BeginSeriesMoves(file);
    EndSeriesMoves();
    return fAll;
}
