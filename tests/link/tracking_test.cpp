// Hot-tracking: which mouse positions count as on the link, and how often
// the dialog repaints and which cursor it sets as the pointer crosses it.
#include <gtest/gtest.h>
#include "tests/link/linktest.h"
#include "app/globals.h"
#include "res/resource.h"

namespace {

// The real pointer is parked in a corner, away from every dialog.
struct PointerAway : ::testing::Environment {
    void SetUp() override { SetCursorPos(0, 0); }
};
::testing::Environment *const s_pEnv = ::testing::AddGlobalTestEnvironment(new PointerAway);

WNDPROC s_pfnDialog;
int s_cPaint;
int s_cErase;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        s_cPaint++;
    if (message == WM_ERASEBKGND)
        s_cErase++;
    return CallWindowProcA(s_pfnDialog, hwnd, message, wParam, lParam);
}

struct Step {
    BOOL fInvalid;
    RECT rcUpdate;
    int cPaint;
    int cErase;
    HCURSOR hcur;
};

class LinkTracking : public ::testing::Test {
protected:
    HWND m_hDlg = NULL;
    HCURSOR m_hcurMarker = NULL;
    HCURSOR m_hcurArrow = NULL;

    void SetUp() override
    {
        m_hDlg = OpenDataFolderDialog();
        ASSERT_NE(m_hDlg, (HWND)NULL);
        s_pfnDialog = (WNDPROC)SetWindowLongPtrA(m_hDlg, GWLP_WNDPROC, (LONG_PTR)CountingProc);
        m_hcurMarker = LoadCursorA(NULL, (LPCSTR)IDC_CROSS);
        m_hcurArrow = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    }
    void TearDown() override { CloseDataFolderDialog(m_hDlg); }

    // One mouse message, then the dialog brought up to date; the marker
    // cursor shows whether the move set a cursor.
    Step Move(LPARAM lParam)
    {
        Step step = {};
        ValidateRect(m_hDlg, NULL);
        s_cPaint = s_cErase = 0;
        SetCursor(m_hcurMarker);
        SendMessageA(m_hDlg, WM_MOUSEMOVE, 0, lParam);
        step.hcur = GetCursor();
        step.fInvalid = GetUpdateRect(m_hDlg, &step.rcUpdate, FALSE);
        UpdateWindow(m_hDlg);
        step.cPaint = s_cPaint;
        step.cErase = s_cErase;
        return step;
    }
    Step Move(int x, int y) { return Move(MAKELPARAM(x, y)); }

    // The link's rectangle repainted once, with this cursor set.
    ::testing::AssertionResult Repaints(const Step &step, HCURSOR hcur) const
    {
        RECT rcLink = {c_xLink, c_yLink, c_xLink + c_cxLink, c_yLink + c_cyLink};
        if (!step.fInvalid || !EqualRect(&step.rcUpdate, &rcLink) || step.cPaint != 1 || step.cErase != 1
            || step.hcur != hcur)
            return Describe(step, hcur);
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult RepaintsNothing(const Step &step, HCURSOR hcur) const
    {
        if (step.fInvalid || step.cPaint != 0 || step.hcur != hcur)
            return Describe(step, hcur);
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult Describe(const Step &step, HCURSOR hcur) const
    {
        const RECT &rc = step.rcUpdate;
        return ::testing::AssertionFailure()
            << (step.fInvalid ? "invalid" : "valid") << ", update (" << rc.left << ", " << rc.top << ")-("
            << rc.right << ", " << rc.bottom << "), " << step.cPaint << " paints, " << step.cErase
            << " erases, cursor " << CursorName(step.hcur) << " instead of " << CursorName(hcur);
    }
    const char *CursorName(HCURSOR hcur) const
    {
        return hcur == g_hcurHand ? "hand" : hcur == m_hcurArrow ? "arrow" : hcur == m_hcurMarker ? "none set" : "other";
    }
};

TEST_F(LinkTracking, OpensPlainWithItsObjectsLoaded)
{
    EXPECT_FALSE(g_fLinkHot);
    EXPECT_EQ(OBJ_BITMAP, GetObjectType(g_hbmLink));
    EXPECT_EQ(OBJ_BITMAP, GetObjectType(g_hbmLinkHot));
    EXPECT_EQ(g_hcurHand, LoadCursorA(g_hInst, MAKEINTRESOURCEA(IDC_LINKCURSOR)));
    EXPECT_NE(g_hcurHand, (HCURSOR)NULL);
    EXPECT_NE(g_hcurHand, m_hcurArrow);
    RECT rcExpected = {c_xLink, c_yLink, c_xLink + c_cxLink, c_yLink + c_cyLink};
    EXPECT_TRUE(EqualRect(&g_rcLink, &rcExpected));
}

// From each side: the boundary line itself is still off the link, the next
// pixel in is on it. Crossing in and out repaints once each way; moving on
// within repaints nothing but sets the hand again.
TEST_F(LinkTracking, EntersAndLeavesOnEverySide)
{
    struct Side {
        const char *pszName;
        POINT ptOff, ptOn, ptAlsoOn;
    } sides[] = {
        {"left", {82, 200}, {83, 200}, {84, 201}},
        {"right", {386, 200}, {385, 200}, {384, 199}},
        {"top", {200, 194}, {200, 195}, {201, 196}},
        {"bottom", {200, 210}, {200, 209}, {199, 208}},
    };
    for (const Side &side : sides) {
        SCOPED_TRACE(side.pszName);
        EXPECT_TRUE(RepaintsNothing(Move(side.ptOff.x, side.ptOff.y), m_hcurMarker)) << "on the boundary line";
        EXPECT_FALSE(g_fLinkHot);

        EXPECT_TRUE(Repaints(Move(side.ptOn.x, side.ptOn.y), g_hcurHand)) << "entering";
        EXPECT_TRUE(g_fLinkHot);
        EXPECT_TRUE(RepaintsNothing(Move(side.ptAlsoOn.x, side.ptAlsoOn.y), g_hcurHand)) << "moving on within";
        EXPECT_TRUE(RepaintsNothing(Move(side.ptOn.x, side.ptOn.y), g_hcurHand)) << "moving back within";
        EXPECT_TRUE(g_fLinkHot);

        EXPECT_TRUE(Repaints(Move(side.ptOff.x, side.ptOff.y), m_hcurArrow)) << "leaving";
        EXPECT_FALSE(g_fLinkHot);
        EXPECT_TRUE(RepaintsNothing(Move(side.ptOff.x, side.ptOff.y), m_hcurMarker)) << "staying off";
    }
}

TEST_F(LinkTracking, CornersOfTheHotArea)
{
    const POINT ptOn[] = {{83, 195}, {385, 195}, {83, 209}, {385, 209}};
    const POINT ptOff[] = {{82, 194}, {386, 194}, {82, 210}, {386, 210}, {83, 194}, {82, 195}, {385, 210}, {386, 209}};
    for (const POINT &pt : ptOn) {
        SCOPED_TRACE(testing::Message() << "(" << pt.x << ", " << pt.y << ")");
        EXPECT_TRUE(Repaints(Move(pt.x, pt.y), g_hcurHand)) << "on";
        EXPECT_TRUE(Repaints(Move(200, 100), m_hcurArrow)) << "back off";
    }
    for (const POINT &pt : ptOff) {
        SCOPED_TRACE(testing::Message() << "(" << pt.x << ", " << pt.y << ")");
        EXPECT_TRUE(RepaintsNothing(Move(pt.x, pt.y), m_hcurMarker)) << "off";
        EXPECT_FALSE(g_fLinkHot);
    }
}

// Coordinates left of or above the client area arrive as negative 16-bit
// values; taken unsigned they are far off, never on the link.
TEST_F(LinkTracking, NegativeCoordinatesAreOff)
{
    EXPECT_TRUE(Repaints(Move(200, 200), g_hcurHand)) << "on";
    EXPECT_TRUE(Repaints(Move(MAKELPARAM(-1, 200)), m_hcurArrow)) << "left of the client area";
    EXPECT_TRUE(RepaintsNothing(Move(MAKELPARAM(200, -5)), m_hcurMarker)) << "above the client area";
    EXPECT_TRUE(RepaintsNothing(Move(MAKELPARAM(-200, -200)), m_hcurMarker)) << "above and left";
    EXPECT_FALSE(g_fLinkHot);
}

// The three link messages count as handled wherever the pointer is, and a
// paint always validates, or the dialog would be sent WM_PAINT for ever.
TEST_F(LinkTracking, MessagesAreHandledAndPaintValidates)
{
    DLGPROC pfn = (DLGPROC)GetWindowLongPtrA(m_hDlg, DWLP_DLGPROC);
    ASSERT_NE(pfn, (DLGPROC)NULL);
    EXPECT_EQ(TRUE, pfn(m_hDlg, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10)));
    EXPECT_EQ(TRUE, pfn(m_hDlg, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200)));
    EXPECT_EQ(TRUE, pfn(m_hDlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)));
    InvalidateRect(m_hDlg, NULL, TRUE);
    EXPECT_EQ(TRUE, pfn(m_hDlg, WM_PAINT, 0, 0));
    RECT rc;
    EXPECT_FALSE(GetUpdateRect(m_hDlg, &rc, FALSE));
    EXPECT_EQ(FALSE, pfn(m_hDlg, WM_LBUTTONUP, 0, MAKELPARAM(200, 200)));
    EXPECT_EQ(FALSE, pfn(m_hDlg, WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 200)));
}

}  // namespace
