// The installation run through the real program, Raadrups not installed:
// the not-found dialog, its three ways out, browsing, and the moves.
#include "tests/e2e/installer_fixture.h"

namespace {

const std::string kList = "a.dat\r\nb.dat\r\n";

TEST_F(InstallerRun, NotFoundShowsStartFolderAndOkUnchangedMovesNothing)
{
    AddSeries({"a.dat", "b.dat"});
    WriteList(kList);
    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(driver::ItemText(hDlg, IDC_MESSAGE), kNotFoundText);
    EXPECT_EQ(driver::ItemText(hDlg, IDC_DATAPATH), start + "\\");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hDlg, IDOK)));

    driver::Press(hDlg, IDOK);
    EXPECT_TRUE(driver::EndsSilently(inst, hDlg));
    EXPECT_TRUE(InStartOnly("a.dat"));
    EXPECT_TRUE(InStartOnly("b.dat"));
    EXPECT_TRUE(ListDeleted());
}

enum class WayOut { Cancel, Escape, CloseButton };

class CancelRun : public InstallerRun, public ::testing::WithParamInterface<WayOut> {};

TEST_P(CancelRun, MovesNothingShowsNothingDeletesList)
{
    AddSeries({"a.dat", "b.dat"});
    WriteList(kList);
    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(BrowseTo(hDlg, data));   // even with a real folder chosen
    switch (GetParam()) {
    case WayOut::Cancel: driver::Press(hDlg, IDCANCEL); break;
    case WayOut::Escape: driver::PressEscape(hDlg); break;
    case WayOut::CloseButton: driver::PressCloseButton(hDlg); break;
    }
    EXPECT_TRUE(driver::EndsSilently(inst, hDlg));
    EXPECT_TRUE(InStartOnly("a.dat"));
    EXPECT_TRUE(InStartOnly("b.dat"));
    EXPECT_TRUE(driver::ListFolder(data).empty());
    EXPECT_TRUE(ListDeleted());
}

std::string WayOutName(const ::testing::TestParamInfo<WayOut> &info)
{
    switch (info.param) {
    case WayOut::Cancel: return "Annuleren";
    case WayOut::Escape: return "Escape";
    case WayOut::CloseButton: return "CloseButton";
    }
    return "";
}

INSTANTIATE_TEST_SUITE_P(WaysOut, CancelRun,
                         ::testing::Values(WayOut::Cancel, WayOut::Escape, WayOut::CloseButton),
                         WayOutName);

TEST_F(InstallerRun, BrowseAndOkMovesListedSeriesAndReportsSuccess)
{
    AddSeries({"a.dat", "b.dat", "c.dat", "d.dat", "e.dat", "serie7", "Lees mij.txt", "oud.dat"});
    driver::WriteFile(DataPath("oud.dat"), "vorige versie");
    WriteList("a.dat\r\nb.dat\nsub\\c.dat\rsub/d.dat\r\nC:e.dat\r\n\r\n\r\nserie7\r\n"
              "Lees mij.TXT\r\nteinstal.txt\r\noud.dat");
    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(BrowseTo(hDlg, data));
    driver::Press(hDlg, IDOK);

    bool fWarningIcon = true;
    EXPECT_EQ(AnswerMessageBox("Succes", &fWarningIcon), kSuccessText);
    EXPECT_FALSE(fWarningIcon);
    EXPECT_TRUE(driver::EndsCleanly(inst));
    for (const char *name : {"a.dat", "b.dat", "c.dat", "d.dat", "e.dat", "serie7", "oud.dat"})
        EXPECT_TRUE(InDataOnly(name));
    EXPECT_TRUE(InStartOnly("Lees mij.txt"));
    EXPECT_FALSE(driver::FileExists(data + "\\sub\\c.dat"));
    EXPECT_TRUE(ListDeleted());
}

TEST_F(InstallerRun, EmptyListStillReportsSuccessAndIsDeleted)
{
    WriteList("");
    EXPECT_EQ(InstallTo(data, "Succes"), kSuccessText);
    EXPECT_TRUE(ListDeleted());
}

// Opened from inside the zip, the program alone is unpacked into a
// temporary folder: no list, no series. The user is told so, and how to
// unpack the pack first; nothing is moved or deleted.
TEST_F(InstallerRun, NoListIsToldWithItsCureAndTouchesNothing)
{
    start = root + "\\Temp1_Raadrups series.zip";
    driver::MakeFolder(start);
    const std::string exe = StartPath("instrrse.exe");
    std::string program;
    ASSERT_TRUE(driver::ReadFile(driver::InstallerPath(), &program));
    ASSERT_TRUE(driver::WriteFile(exe, program));
    ASSERT_TRUE(driver::Start(inst, exe, start));
    HWND hDlg = driver::WaitForDialog(inst, "Raadrups data-map");
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(BrowseTo(hDlg, data));
    driver::Press(hDlg, IDOK);
    // The README shows this box: <build>/artifacts/nolist-box.bmp.
    HWND hBox = driver::WaitForDialog(inst, "Let op");
    ASSERT_NE(hBox, nullptr);
    CreateDirectoryA((driver::ProgramFolder() + "..\\artifacts").c_str(), NULL);
    driver::SaveWindowBmp(hBox, driver::ProgramFolder() + "..\\artifacts\\nolist-box.bmp");
    bool fWarningIcon = false;
    std::string text = AnswerMessageBox("Let op", &fWarningIcon);
    EXPECT_TRUE(driver::EndsCleanly(inst));

    EXPECT_TRUE(fWarningIcon);
    for (const std::string &words : {std::string("teinstal.txt"), start + "\\", std::string("uitpakken"),
                                     std::string("Alles uitpakken"), std::string("instrrse.exe")})
        EXPECT_NE(text.find(words), std::string::npos) << words << " not in: " << text;
    EXPECT_EQ(driver::ListFolder(start), std::vector<std::string>{"instrrse.exe"});
    EXPECT_TRUE(driver::HasBytes(exe, program));
    EXPECT_TRUE(driver::ListFolder(data).empty());
}

// A pack of two series, with the folder browser opened from the dialog.
class BrowserRun : public InstallerRun {
protected:
    HWND hDlg = nullptr;
    HWND hBrowser = nullptr;

    void SetUp() override
    {
        InstallerRun::SetUp();
        WriteList(kList);
        AddSeries({"a.dat", "b.dat"});
        hDlg = StartDialog();
        ASSERT_NE(hDlg, nullptr);
        hBrowser = driver::OpenBrowser(hDlg);
        ASSERT_NE(hBrowser, nullptr);
    }

    // With the browser gone, "Ok" is still enabled; this button closes the
    // dialog, and the program ends without a word and moves nothing.
    void CloseDialogWith(int idButton)
    {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hDlg, IDOK)));
        driver::Press(hDlg, idButton);
        EXPECT_TRUE(driver::EndsSilently(inst, hDlg));
        EXPECT_TRUE(InStartOnly("a.dat"));
    }
};

TEST_F(BrowserRun, BrowserCancelledLeavesPathAndOkAlone)
{
    ASSERT_TRUE(driver::BrowserSelect(inst, hBrowser, data));
    driver::BrowserCancel(hBrowser);
    ASSERT_TRUE(driver::WaitGone(hBrowser));
    EXPECT_EQ(driver::ItemText(hDlg, IDC_DATAPATH), start + "\\");
    CloseDialogWith(IDOK);
    EXPECT_TRUE(ListDeleted());
}

TEST_F(BrowserRun, BrowserConfirmedAsOpenedPutsItsFolderInThePathBox)
{
    std::string selected = driver::BrowserSelectionText(inst, hBrowser);
    driver::BrowserConfirm(hBrowser);
    ASSERT_TRUE(driver::WaitGone(hBrowser));
    std::string box = driver::ItemText(hDlg, IDC_DATAPATH);
    EXPECT_FALSE(box.empty()) << "selected: " << selected;
    CloseDialogWith(IDCANCEL);
}

}  // namespace
