// What the user sees: the dialog on screen shows the stored link image at
// its place, the underlined one while the pointer is on it, and the grey
// dialog around it. Leaves screenshots in <build>/artifacts.
//
// The link's place is fixed in pixels, the controls' in dialog units. With
// a font smaller than the template's (Wine substitutes one for "Comic Sans
// MS") the buttons move up over part of the link; those pixels are the
// buttons' and are left out of the comparisons.
#include <gtest/gtest.h>
#include "tests/link/linktest.h"
#include "app/globals.h"
#include "res/resource.h"

namespace {

std::string ArtifactsDir()
{
    std::string dir = driver::ProgramFolder() + "..\\artifacts";
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "\\";
}

// Counts the uncovered pixels where the screen differs from the stored
// image, and names the first of them.
int CountDifferences(const Pixels &shown, const Pixels &stored, const std::vector<bool> &fCovered,
                     std::string &first)
{
    int c = 0;
    for (int y = 0; y < stored.cy; y++) {
        for (int x = 0; x < stored.cx; x++) {
            if (fCovered[(size_t)y * stored.cx + x] || shown.At(x, y) == stored.At(x, y))
                continue;
            if (c++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + "): shown " +
                        std::to_string(shown.At(x, y)) + ", stored " + std::to_string(stored.At(x, y));
        }
    }
    return c;
}

class LinkScreen : public ::testing::Test {
protected:
    HWND m_hDlg = NULL;
    Pixels m_plain, m_hot;
    std::vector<bool> m_fCovered;

    void SetUp() override
    {
        BITMAPINFOHEADER bih;
        std::string err;
        HMODULE hmod = GetModuleHandleA(NULL);
        ASSERT_TRUE(ReadStoredBitmap(hmod, IDB_LINK, bih, m_plain, err)) << err;
        ASSERT_TRUE(ReadStoredBitmap(hmod, IDB_LINK_HOT, bih, m_hot, err)) << err;
        g_fNotFound = FALSE;
        lstrcpynA(g_szDataDir, "C:\\Program Files\\Raadrups\\Data\\", MAX_PATH);
        m_hDlg = OpenDataFolderDialog();
        ASSERT_NE(m_hDlg, (HWND)NULL);
        m_fCovered = CoveredByChildren(m_hDlg, c_xLink, c_yLink, c_cxLink, c_cyLink);
    }
    void TearDown() override { CloseDataFolderDialog(m_hDlg); }

    void MoveAndPaint(int x, int y)
    {
        SendMessageA(m_hDlg, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        UpdateWindow(m_hDlg);
    }
    Pixels Shown() { return ReadClientPixels(m_hDlg, c_xLink, c_yLink, c_cxLink, c_cyLink); }
    int Differences(const Pixels &stored, std::string &first)
    {
        return CountDifferences(Shown(), stored, m_fCovered, first);
    }
};

// The link's place is fixed in pixels while the dialog's size follows its
// font; the image must lie inside the client area to be seen at all.
TEST_F(LinkScreen, ClientAreaHoldsTheLink)
{
    RECT rc;
    GetClientRect(m_hDlg, &rc);
    EXPECT_GE(rc.right, c_xLink + c_cxLink);
    EXPECT_GE(rc.bottom, c_yLink + c_cyLink);
    RecordProperty("client_size", std::to_string(rc.right) + "x" + std::to_string(rc.bottom));
}

// Enough of the link stays in view to tell the two images apart.
TEST_F(LinkScreen, UncoveredPartShowsTextAndUnderline)
{
    int cUncovered = 0, cText = 0, cUnderline = 0;
    for (size_t i = 0; i < m_fCovered.size(); i++) {
        if (m_fCovered[i])
            continue;
        cUncovered++;
        cText += m_plain.cr[i] == c_crText;
        cUnderline += m_plain.cr[i] != m_hot.cr[i];
    }
    RecordProperty("link_pixels_uncovered", cUncovered);
    EXPECT_GT(cText, 0);
    EXPECT_GT(cUnderline, 0);
}

TEST_F(LinkScreen, ShowsPlainThenUnderlinedThenPlain)
{
    std::string first;
    EXPECT_EQ(0, Differences(m_plain, first)) << "plain image, first at " << first;
    EXPECT_TRUE(SaveClientBmp(m_hDlg, ArtifactsDir() + "dialog.bmp"));

    MoveAndPaint(200, 200);
    EXPECT_EQ(0, Differences(m_hot, first)) << "underlined image, first at " << first;
    EXPECT_TRUE(SaveClientBmp(m_hDlg, ArtifactsDir() + "dialog-hot.bmp"));

    MoveAndPaint(200, 100);
    EXPECT_EQ(0, Differences(m_plain, first)) << "plain again, first at " << first;
    // The README's picture, taken last so that activating the dialog for it
    // plays no part in the comparisons.
    EXPECT_TRUE(SaveWindowBmp(m_hDlg, ArtifactsDir() + "dialog-window.bmp"));
}

// Nothing of the image spills over its rectangle: the rows and columns
// around it show the dialog's own grey.
TEST_F(LinkScreen, SurroundingsAreDialogGrey)
{
    MoveAndPaint(200, 200);
    struct {
        int x, y, cx, cy;
    } edges[] = {
        {c_xLink - 1, c_yLink - 1, c_cxLink + 2, 1},
        {c_xLink - 1, c_yLink + c_cyLink, c_cxLink + 2, 1},
        {c_xLink - 1, c_yLink, 1, c_cyLink},
        {c_xLink + c_cxLink, c_yLink, 1, c_cyLink},
    };
    for (const auto &e : edges) {
        Pixels px = ReadClientPixels(m_hDlg, e.x, e.y, e.cx, e.cy);
        std::vector<bool> fCovered = CoveredByChildren(m_hDlg, e.x, e.y, e.cx, e.cy);
        for (size_t i = 0; i < px.cr.size(); i++) {
            if (fCovered[i])
                continue;
            ASSERT_EQ(px.cr[i], c_crBack) << "pixel " << i << " of the edge at " << e.x << ", " << e.y;
        }
    }
}

// A repaint of the whole dialog, as after it was covered, draws the image
// again in its current state.
TEST_F(LinkScreen, FullRepaintRestoresTheImage)
{
    MoveAndPaint(200, 200);
    RedrawWindow(m_hDlg, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    std::string first;
    EXPECT_EQ(0, Differences(m_hot, first)) << first;
}

}  // namespace
