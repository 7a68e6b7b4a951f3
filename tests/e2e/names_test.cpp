// Folders and names as users really have them: a start folder the ANSI
// code page cannot name, and names that reach another file through its
// short (8.3) name. Wine gives every file a short name.
#include "tests/e2e/installer_fixture.h"

namespace {

// On a Dutch machine the ANSI code page has no "Ł": the system's own
// conversion names the folder "Lukasz", and a folder of that name beside it
// is another user's. The installer works through the short path instead,
// shows the folder as Windows names it, and never touches the look-alike.
TEST_F(InstallerRun, DutchMachineStartFolderTheCodePageCannotNameInstallsItsOwnSeries)
{
    const std::wstring wroot = driver::Widen(root, CP_ACP);
    const std::wstring wstart = wroot + L"\\\u0141ukasz\\Raadrups series";
    const std::string lookAlike = root + "\\Lukasz\\Raadrups series";
    for (const std::wstring &folder : {wroot + L"\\\u0141ukasz", wstart, wroot + L"\\Lukasz",
                                       driver::Widen(lookAlike, CP_ACP)})
        CreateDirectoryW(folder.c_str(), NULL);
    const std::string list = "a.dat\r\n";
    ASSERT_TRUE(driver::WriteFileW(wstart + L"\\a.dat", driver::SeriesBytes("a.dat")));
    ASSERT_TRUE(driver::WriteFileW(wstart + L"\\teinstal.txt", list));
    ASSERT_TRUE(driver::WriteFile(lookAlike + "\\a.dat", "een andere serie"));
    ASSERT_TRUE(driver::WriteFile(lookAlike + "\\teinstal.txt", list));

    ASSERT_TRUE(driver::Start(inst, driver::InstallerPath(), wstart));
    HWND hDlg = driver::WaitForDialog(inst, "Raadrups data-map");
    ASSERT_NE(hDlg, nullptr) << "no data-folder dialog";
    EXPECT_EQ(driver::WindowTextW(GetDlgItem(hDlg, IDC_DATAPATH)), wstart + L"\\");
    ASSERT_TRUE(BrowseTo(hDlg, data));
    driver::Press(hDlg, IDOK);
    EXPECT_EQ(AnswerMessageBox("Succes"), kSuccessText);
    EXPECT_TRUE(driver::EndsCleanly(inst));

    EXPECT_TRUE(driver::HasBytes(DataPath("a.dat"), driver::SeriesBytes("a.dat")));
    EXPECT_FALSE(driver::FileExistsW(wstart + L"\\a.dat"));
    EXPECT_FALSE(driver::FileExistsW(wstart + L"\\teinstal.txt"));
    EXPECT_TRUE(driver::HasBytes(lookAlike + "\\a.dat", "een andere serie"));
    EXPECT_TRUE(driver::HasBytes(lookAlike + "\\teinstal.txt", list));
}

// A listed name that is another file's short name: in the data folder that
// file is another series, never replaced; in the pack it is another file,
// never installed under the short name. The warning names the long names.
TEST_F(InstallerRun, ShortNamesReachNoOtherSeries)
{
    ASSERT_TRUE(driver::WriteFile(DataPath("Sport 2024.dat"), "serie van vorig jaar"));
    AddSeries({"Geschiedenis 2024.dat"});
    const std::string inData = driver::ShortNameOf(DataPath("Sport 2024.dat"));
    const std::string inPack = driver::ShortNameOf(StartPath("Geschiedenis 2024.dat"));
    if (inData.empty() || inData == "Sport 2024.dat" || inPack.empty())
        GTEST_SKIP() << "the file system gives no short names";
    AddSeries({inData});
    const std::string list = inData + "\r\n" + inPack + "\r\n";
    WriteList(list);

    std::string text = InstallTo(data, "Let op");
    EXPECT_EQ(NamesShown(text), std::string(kNotMovedStart) + "\n\n" + inData + "\n" + inPack + "\n");
    EXPECT_NE(text.find("korte naam van een andere serie, \"Sport 2024.dat\""), std::string::npos) << text;
    EXPECT_NE(text.find("korte naam van \"Geschiedenis 2024.dat\""), std::string::npos) << text;
    EXPECT_TRUE(driver::HasBytes(DataPath("Sport 2024.dat"), "serie van vorig jaar"));
    EXPECT_TRUE(driver::HasBytes(StartPath(inData), driver::SeriesBytes(inData)));
    EXPECT_TRUE(InStartOnly("Geschiedenis 2024.dat"));
    EXPECT_EQ(driver::ListFolder(data), std::vector<std::string>{"Sport 2024.dat"});
    EXPECT_TRUE(ListKept(list));
}

}  // namespace
