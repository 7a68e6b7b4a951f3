// The link's bitmaps and cursor live from the dialog's initialisation to
// its destruction: opening and closing the dialog many times leaves no
// drawing object behind.
#include <gtest/gtest.h>
#include <set>
#include "tests/link/linktest.h"
#include <winternl.h>
#include "app/globals.h"
#include "res/resource.h"

namespace {

// Live GDI objects of this process. Where GetGuiResources keeps no count
// (Wine answers 0), the entries in use in the process's GDI handle table,
// which the PEB points to, are counted instead. Either measure is only
// used after it has been seen to follow eight bitmaps made and deleted.
struct GdiHandleEntry {
    UINT64 Object;
    ULONG Owner;
    USHORT Unique;
    UCHAR Type;
    UCHAR Flags;
    UINT64 UserPointer;
};
const int c_cGdiHandles = 0x10000;

int CountByGuiResources()
{
    return (int)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

int CountByHandleTable()
{
#ifdef _WIN64
    const BYTE *pPeb = (const BYTE *)NtCurrentTeb()->ProcessEnvironmentBlock;
    const GdiHandleEntry *pTable = *(const GdiHandleEntry *const *)(pPeb + 0xF8);
    if (pTable == NULL)
        return -1;
    int c = 0;
    for (int i = 0; i < c_cGdiHandles; i++)
        c += pTable[i].Type != 0;
    return c;
#else
    return -1;
#endif
}

bool FollowsObjects(int (*pfnCount)())
{
    int cBefore = pfnCount();
    HBITMAP hbm[8];
    for (HBITMAP &h : hbm)
        h = CreateBitmap(4, 4, 1, 1, NULL);
    int cDuring = pfnCount();
    for (HBITMAP h : hbm)
        DeleteObject(h);
    return cBefore >= 0 && cDuring == cBefore + 8 && pfnCount() == cBefore;
}

// One opening: painted, the pointer over the link and off again, closed.
// Painting is asked for directly, so that a hidden dialog goes through
// every drawing step too.
void OpenHoverClose(HBITMAP &hbmLink, HBITMAP &hbmLinkHot, HCURSOR &hcur, bool fShow = false)
{
    HWND hDlg = OpenDataFolderDialog(fShow);
    ASSERT_NE(hDlg, (HWND)NULL);
    hbmLink = g_hbmLink;
    hbmLinkHot = g_hbmLinkHot;
    hcur = g_hcurHand;
    SendMessageA(hDlg, WM_PAINT, 0, 0);
    SendMessageA(hDlg, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
    SendMessageA(hDlg, WM_PAINT, 0, 0);
    SendMessageA(hDlg, WM_MOUSEMOVE, 0, MAKELPARAM(200, 100));
    SendMessageA(hDlg, WM_PAINT, 0, 0);
    CloseDataFolderDialog(hDlg);
}

TEST(LinkLifetime, BitmapsAreDeletedWithTheDialog)
{
    HBITMAP hbmLink = NULL, hbmLinkHot = NULL;
    HCURSOR hcur = NULL;
    OpenHoverClose(hbmLink, hbmLinkHot, hcur, true);
    ASSERT_NE(hbmLink, (HBITMAP)NULL);
    ASSERT_NE(hbmLinkHot, (HBITMAP)NULL);
    EXPECT_EQ(0u, GetObjectType(hbmLink));
    EXPECT_EQ(0u, GetObjectType(hbmLinkHot));
}

TEST(LinkLifetime, ManyOpeningsLeaveTheGdiCountWhereItWas)
{
    int (*pfnCount)() = NULL;
    if (FollowsObjects(CountByGuiResources)) {
        pfnCount = CountByGuiResources;
        RecordProperty("gdi_measure", "GetGuiResources");
    } else if (FollowsObjects(CountByHandleTable)) {
        pfnCount = CountByHandleTable;
        RecordProperty("gdi_measure", "GDI handle table");
    }
    if (pfnCount == NULL)
        GTEST_SKIP() << "no measure of GDI objects follows objects made and deleted";

    HBITMAP hbmLink, hbmLinkHot;
    HCURSOR hcur;
    // The first openings fill caches (fonts, brushes of the controls).
    for (int i = 0; i < 3; i++)
        OpenHoverClose(hbmLink, hbmLinkHot, hcur, i == 0);
    int cBefore = pfnCount();
    const int c_cOpenings = 100;
    for (int i = 0; i < c_cOpenings; i++) {
        OpenHoverClose(hbmLink, hbmLinkHot, hcur, i % 25 == 0);
        ASSERT_EQ(0u, GetObjectType(hbmLink)) << "opening " << i;
        ASSERT_EQ(0u, GetObjectType(hbmLinkHot)) << "opening " << i;
    }
    int cAfter = pfnCount();
    RecordProperty("gdi_before", cBefore);
    RecordProperty("gdi_after", cAfter);
    EXPECT_EQ(cBefore, cAfter) << "after " << c_cOpenings << " openings";
}

// The hand comes from the module's shared cursor cache, so every opening
// gets the one same cursor; any other handle seen must be gone again.
TEST(LinkLifetime, ManyOpeningsLeaveNoCursorBehind)
{
    std::set<HCURSOR> seen;
    for (int i = 0; i < 20; i++) {
        HBITMAP hbmLink, hbmLinkHot;
        HCURSOR hcur = NULL;
        OpenHoverClose(hbmLink, hbmLinkHot, hcur, i == 0);
        ASSERT_NE(hcur, (HCURSOR)NULL);
        seen.insert(hcur);
    }
    HCURSOR hcurNow = LoadCursorA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDC_LINKCURSOR));
    RecordProperty("distinct_cursors", (int)seen.size());
    for (HCURSOR hcur : seen) {
        if (hcur == hcurNow)
            continue;
        ICONINFO ii = {};
        EXPECT_FALSE(GetIconInfo(hcur, &ii)) << "a cursor of an earlier opening is still alive";
        if (ii.hbmColor != NULL)
            DeleteObject(ii.hbmColor);
        if (ii.hbmMask != NULL)
            DeleteObject(ii.hbmMask);
    }
}

}  // namespace
