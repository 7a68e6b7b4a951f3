// The installation run and the folder browser's callback, called directly.
#include "app/globals.h"
#include "app/install.h"
#include "res/resource.h"
#include "tests/driver/expect.h"
#include "ui/datafolderdlg.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <string>

namespace {

HWND CreateHostLikeWindow()
{
    return CreateWindowExA(0, "Static", "host", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
}

// This test program carries no dialog template, so the dialog cannot be
// shown: without Raadrups the data folder is then still the root of the
// drive, and nothing may go there.
TEST(RunInstallation, DialogThatCannotBeShownMovesNothingAndKeepsTheList)
{
    std::string start = driver::FreshFolder("unit.run.nodialog") + "\\nieuw";
    driver::MakeFolder(start);
    driver::WriteFile(start + "\\a.dat", driver::SeriesBytes("a.dat"));
    driver::WriteFile(start + "\\teinstal.txt", "a.dat\r\n");
    ASSERT_TRUE(SetCurrentDirectoryA(start.c_str()));
    g_hInst = GetModuleHandleA(NULL);
    ASSERT_EQ(FindResourceA(g_hInst, MAKEINTRESOURCEA(IDD_DATAFOLDER), (LPCSTR)RT_DIALOG), nullptr);

    HWND hwnd = CreateHostLikeWindow();
    ASSERT_NE(hwnd, nullptr);
    RunInstallation(hwnd);
    SetCurrentDirectoryA("C:\\");

    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(g_fNotFound);
    EXPECT_STREQ(g_szDataDir, "\\");
    EXPECT_TRUE(driver::HasBytes(start + "\\a.dat", driver::SeriesBytes("a.dat")));
    EXPECT_FALSE(driver::FileExists("C:\\a.dat"));
    EXPECT_TRUE(driver::HasBytes(start + "\\teinstal.txt", "a.dat\r\n"));
}

// A stand-in for the browser that records what the callback asks of it.
std::string g_strSelection;
WPARAM g_wSelectionIsPath;
int g_cSelections;

LRESULT CALLBACK FakeBrowserProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == BFFM_SETSELECTIONW) {
        g_cSelections++;
        g_wSelectionIsPath = wParam;
        g_strSelection = driver::Narrow((const WCHAR *)lParam, CP_ACP);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class BrowseCallback : public ::testing::Test {
protected:
    HWND hDlg = nullptr, hBrowser = nullptr;

    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FakeBrowserProc;
        wc.lpszClassName = "FakeBrowser";
        RegisterClassA(&wc);
        hBrowser = CreateWindowExA(0, "FakeBrowser", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        hDlg = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        CreateWindowExA(0, "Edit", "", WS_CHILD, 0, 0, 10, 10, hDlg, (HMENU)IDC_DATAPATH, NULL, NULL);
        g_hDlg = hDlg;
        g_cSelections = 0;
    }
    void TearDown() override
    {
        DestroyWindow(hDlg);
        DestroyWindow(hBrowser);
    }
};

TEST_F(BrowseCallback, PreselectsThePathBoxFolder)
{
    std::string box = "C:\\" + std::string(MAX_PATH - 4, 'p');   // 259 characters, all sent
    SetDlgItemTextA(hDlg, IDC_DATAPATH, box.c_str());
    EXPECT_EQ(BrowseCallbackProc(hBrowser, BFFM_INITIALIZED, 0, 0), 0);
    EXPECT_EQ(g_cSelections, 1);
    EXPECT_EQ(g_wSelectionIsPath, (WPARAM)TRUE);
    EXPECT_EQ(g_strSelection, box);

    EXPECT_EQ(BrowseCallbackProc(hBrowser, BFFM_SELCHANGED, 0, 0), 0);
    EXPECT_EQ(g_cSelections, 1);
}

TEST_F(BrowseCallback, EmptyPathBoxPreselectsTheUsualDataFolder)
{
    EXPECT_EQ(BrowseCallbackProc(hBrowser, BFFM_INITIALIZED, 0, 0), 0);
    EXPECT_EQ(g_cSelections, 1);
    EXPECT_EQ(g_strSelection, "c:\\tolpen\\data");
}

}  // namespace
