// What the real program says and keeps when a series cannot be moved: a
// warning naming it, the list kept, and a second run that finishes the job.
#include "tests/e2e/installer_fixture.h"

namespace {

TEST_F(InstallerRun, FailedMoveIsWarnedAboutAndASecondRunFinishes)
{
    AddSeries({"a.dat", "b.dat", "c.dat"});
    const std::string list = "a.dat\r\nb.dat\r\nc.dat\r\n";
    WriteList(list);
    driver::MakeFolder(DataPath("b.dat"));   // the copy of b.dat cannot land

    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(BrowseTo(hDlg, data));
    driver::Press(hDlg, IDOK);
    EXPECT_EQ(driver::WaitForDialog(inst, "Succes", 1000), nullptr);
    bool fWarningIcon = false;
    std::string text = AnswerMessageBox("Let op", &fWarningIcon);
    EXPECT_TRUE(driver::EndsCleanly(inst));

    EXPECT_EQ(text.find(kNotMovedStart), 0u) << text;
    EXPECT_NE(text.find("\nb.dat\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("a.dat"), std::string::npos) << text;
    EXPECT_NE(text.find("Opnieuw"), std::string::npos) << text;
    EXPECT_TRUE(fWarningIcon);
    EXPECT_TRUE(InDataOnly("a.dat"));
    EXPECT_TRUE(InDataOnly("c.dat"));
    EXPECT_TRUE(driver::HasBytes(StartPath("b.dat"), driver::SeriesBytes("b.dat")));
    EXPECT_TRUE(ListKept(list));

    // The cause solved, the same pack installs the rest and is done.
    driver::RemoveTree(DataPath("b.dat"));
    EXPECT_EQ(InstallTo(data, "Succes"), SuccessTextNaming({"a.dat", "c.dat"}));
    for (const char *name : {"a.dat", "b.dat", "c.dat"})
        EXPECT_TRUE(InDataOnly(name));
    EXPECT_TRUE(ListDeleted());
}

TEST_F(InstallerRun, DataFolderGoneBeforeOkKeepsEverySeries)
{
    AddSeries({"a.dat", "b.dat"});
    const std::string list = "a.dat\r\nb.dat\r\n";
    WriteList(list);
    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(BrowseTo(hDlg, data));
    driver::RemoveTree(data);
    driver::Press(hDlg, IDOK);
    std::string text = AnswerMessageBox("Let op");
    EXPECT_TRUE(driver::EndsCleanly(inst));
    EXPECT_NE(NamesShown(text).find("\na.dat\nb.dat\n"), std::string::npos) << text;
    EXPECT_TRUE(InStartOnly("a.dat"));
    EXPECT_TRUE(InStartOnly("b.dat"));
    EXPECT_TRUE(ListKept(list));
}

// A chosen folder of 259 characters fills the path box to the last one. It
// must reach the run whole: one character less names another folder (here
// one that exists), and a folder too long for its backslash takes no series.
TEST_F(InstallerRun, FullLengthFolderIsReadWholeAndNeverShortened)
{
    AddSeries({"a.dat"});
    const std::string list = "a.dat\r\n";
    WriteList(list);
    std::string chosen = data + "\\" + std::string(MAX_PATH - 1 - data.size() - 1, 'm');
    ASSERT_EQ(chosen.size(), (size_t)MAX_PATH - 1);
    std::string shorter = chosen.substr(0, chosen.size() - 1);
    driver::MakeFolder(shorter);
    driver::MakeFolder(chosen);

    std::string text = InstallTo(chosen, "Let op");
    EXPECT_NE(text.find("\na.dat\n"), std::string::npos) << text;
    EXPECT_TRUE(driver::ListFolder(shorter).empty());
    EXPECT_TRUE(driver::ListFolder(chosen).empty());
    EXPECT_TRUE(InStartOnly("a.dat"));
    EXPECT_TRUE(ListKept(list));
}

}  // namespace

namespace {

// The ANSI file functions stop at MAX_PATH even in the long-path form, so
// the test reaches such a list through the wide ones.
std::string ReadLongFile(const std::string &path)
{
    std::string bytes;
    return driver::ReadFileW(driver::LongPath(path), &bytes) ? bytes : "(missing)";
}

// A start folder so long that the list's own path would not fit: the run
// cannot name its list whole, says why it can do nothing from there and
// what to do, and moves and deletes nothing.
TEST_F(InstallerRun, StartFolderTooLongForTheListPathIsToldAndTouchesNothing)
{
    start = root + "\\" + std::string(250 - root.size() - 1, 's');
    ASSERT_EQ(start.size(), 250u);
    driver::MakeFolder(start);
    const std::string list = "a.dat\r\n";
    AddSeries({"a.dat"});
    ASSERT_TRUE(driver::WriteFileW(driver::LongPath(ListPath()), list)) << "the rig cannot make " << ListPath();

    ASSERT_TRUE(driver::Start(inst, driver::InstallerPath(), start));
    bool fWarningIcon = false;
    std::string text = AnswerMessageBox("Let op", &fWarningIcon);
    EXPECT_TRUE(driver::EndsCleanly(inst));
    EXPECT_NE(text.find("te lang"), std::string::npos) << text;
    EXPECT_NE(text.find("korter pad"), std::string::npos) << text;
    EXPECT_NE(text.find("opnieuw"), std::string::npos) << text;
    EXPECT_TRUE(fWarningIcon);
    EXPECT_TRUE(driver::HasBytes(StartPath("a.dat"), driver::SeriesBytes("a.dat")));
    EXPECT_EQ(ReadLongFile(ListPath()), list) << "the list was not kept as it was";
}

}  // namespace
