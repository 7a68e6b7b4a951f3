// The moves of the listed series, on real files in the test prefix: what a
// list entry moves, and that a failed copy never costs a file.
#include "app/globals.h"
#include "app/movefile.h"
#include "app/parts.h"
#include "app/paths.h"
#include "app/series.h"
#include "app/warning.h"
#include "tests/driver/expect.h"
#include "tests/driver/files.h"
#include <gtest/gtest.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string>

namespace {

class Moves : public ::testing::Test, protected driver::PackFolders {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string root = driver::FreshFolder(std::string("unit.") + info->name());
        start = root + "\\nieuw";
        data = root + "\\data";
        driver::MakeFolder(start);
        driver::MakeFolder(data);
        ASSERT_TRUE(SetFolders(start + "\\", data + "\\"));
    }

    static ::testing::AssertionResult SetFolders(const std::string &cur, const std::string &dat)
    {
        if (cur.size() >= MAX_PATH || dat.size() >= MAX_PATH)
            return ::testing::AssertionFailure() << "a folder does not fit MAX_PATH";
        strcpy(g_szCurrentDir, cur.c_str());
        strcpy(g_szDataDir, dat.c_str());
        return ::testing::AssertionSuccess();
    }

    void AddSeries(const std::string &name) { driver::WriteFile(start + "\\" + name, driver::SeriesBytes(name)); }

    static BOOL Run(const std::string &list)
    {
        FILE *file = tmpfile();
        fwrite(list.data(), 1, list.size(), file);
        rewind(file);
        BOOL fAll = MoveSeries(file);
        fclose(file);
        return fAll;
    }

    static std::string NotMoved()
    {
        WCHAR wszText[c_cchNotMovedText];
        FormatNotMoved(wszText, c_cchNotMovedText, FALSE);
        char szText[c_cchNotMovedText * 2];
        WideCharToMultiByte(CP_ACP, 0, wszText, -1, szText, sizeof(szText), NULL, NULL);
        return szText;
    }

    static std::string Success()
    {
        WCHAR wszText[c_cchSuccessText];
        FormatSuccess(wszText, c_cchSuccessText);
        return driver::Narrow(wszText, CP_ACP);
    }

    ::testing::AssertionResult Has(const std::string &folder, const std::string &name,
                                   const std::string &bytes) const
    {
        return driver::HasBytes(folder + "\\" + name, bytes);
    }
};

TEST_F(Moves, OnlyTheFileNameCountsAndTextFilesStay)
{
    for (const char *name : {"a.dat", "c.dat", "d.dat", "x.dat", "serie7", "Lees mij.TXT", "notes.Txt"})
        AddSeries(name);
    EXPECT_TRUE(Run("a.dat\r\nsub\\c.dat\r\nsub/d.dat\r\nC:x.dat\r\nserie7\r\n"
                    "Lees mij.TXT\r\nnotes.Txt\r\nteinstal.txt\r\n"));
    for (const char *name : {"a.dat", "c.dat", "d.dat", "x.dat", "serie7"})
        EXPECT_TRUE(InDataOnly(name)) << name;
    EXPECT_TRUE(InStartOnly("Lees mij.TXT"));
    EXPECT_TRUE(InStartOnly("notes.Txt"));
    EXPECT_FALSE(driver::FileExists(data + "\\sub"));
}

TEST_F(Moves, ExistingTargetIsReplaced)
{
    AddSeries("a.dat");
    driver::WriteFile(data + "\\a.dat", "oude versie");
    EXPECT_TRUE(Run("a.dat"));
    EXPECT_TRUE(InDataOnly("a.dat"));
}

TEST_F(Moves, EntriesNamingNoFileAreHarmless)
{
    AddSeries("a.dat");
    EXPECT_TRUE(Run("\r\n\r\n\r\nsub\\\r\nsub/\r\na.dat\r\n"));
    EXPECT_TRUE(InDataOnly("a.dat"));
}

TEST_F(Moves, AlreadyInstalledCountsAndMissingIsReported)
{
    driver::WriteFile(data + "\\eerder.dat", driver::SeriesBytes("eerder.dat"));
    AddSeries("nieuw.dat");
    EXPECT_TRUE(Run("eerder.dat\r\nnieuw.dat\r\nsub\\nieuw.dat\r\n"));
    EXPECT_TRUE(Has(data, "eerder.dat", driver::SeriesBytes("eerder.dat")));
    // Named in the success box; a name listed twice is the series just moved.
    EXPECT_EQ(Success(), "De serie(s) zijn ingelezen!\n\nDeze serie(s) stonden al in de data-map en "
                         "zaten niet (meer) in dit pakket; de versie in de data-map is gebleven:\n"
                         "eerder.dat\n");

    EXPECT_FALSE(Run("eerder.dat\r\nnergens.dat\r\n"));
    EXPECT_EQ(NotMoved().find("De volgende serie(s) zijn niet ingelezen:"), 0u);
    EXPECT_NE(NotMoved().find("\nnergens.dat\n"), std::string::npos);
    EXPECT_EQ(NotMoved().find("eerder.dat"), std::string::npos);
}

TEST_F(Moves, FailedCopyKeepsTheSourceAndTheOthersStillMove)
{
    AddSeries("a.dat");
    AddSeries("b.dat");
    AddSeries("c.dat");
    driver::MakeFolder(data + "\\b.dat");   // a folder where the copy must go
    EXPECT_FALSE(Run("a.dat\r\nb.dat\r\nc.dat\r\n"));
    EXPECT_TRUE(InDataOnly("a.dat"));
    EXPECT_TRUE(Has(start, "b.dat", driver::SeriesBytes("b.dat")));
    EXPECT_TRUE(InDataOnly("c.dat"));
    std::string text = NotMoved();
    EXPECT_NE(text.find("\nb.dat\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("a.dat"), std::string::npos) << text;
}

TEST_F(Moves, MissingDataFolderKeepsEverything)
{
    AddSeries("a.dat");
    driver::RemoveTree(data);
    EXPECT_FALSE(Run("a.dat\r\n"));
    EXPECT_TRUE(Has(start, "a.dat", driver::SeriesBytes("a.dat")));
}

TEST_F(Moves, TargetHeldOpenWithoutSharingKeepsTheSource)
{
    AddSeries("a.dat");
    driver::WriteFile(data + "\\a.dat", "in gebruik");
    HANDLE hLock = CreateFileA((data + "\\a.dat").c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                               OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
    BOOL fAll = Run("a.dat\r\n");
    CloseHandle(hLock);
    EXPECT_FALSE(fAll);
    EXPECT_TRUE(Has(start, "a.dat", driver::SeriesBytes("a.dat")));
    EXPECT_TRUE(Has(data, "a.dat", "in gebruik"));
}

// The data folder being the start folder under another name: copying a
// file onto itself and then deleting the "source" would lose it. The rig
// maps Y: to C:\rrtest\alias.
TEST_F(Moves, StartFolderUnderAnotherNameLosesNothing)
{
    AddSeries("a.dat");
    ASSERT_TRUE(SetFolders(start + "\\", start + "\\.\\"));
    EXPECT_TRUE(Run("a.dat\r\n"));
    EXPECT_TRUE(Has(start, "a.dat", driver::SeriesBytes("a.dat")));

    start = "C:\\rrtest\\alias";
    for (const std::string &name : driver::ListFolder(start))
        driver::RemoveTree(start + "\\" + name);
    AddSeries("b.dat");
    ASSERT_TRUE(driver::FileExists("Y:\\b.dat")) << "the rig maps no Y: drive";
    ASSERT_TRUE(SetFolders(start + "\\", "Y:\\"));
    EXPECT_TRUE(Run("b.dat\r\n"));
    EXPECT_TRUE(Has(start, "b.dat", driver::SeriesBytes("b.dat")));
}

// Whether the data folder is the start folder under another name is told
// by a file made for the purpose in one and looked for from the other: a
// folder of parts the start folder holds of its own (a run into it once)
// is no sign of it.
TEST_F(Moves, FolderOfPartsInTheStartFolderDoesNotMakeItTheDataFolder)
{
    AddSeries("a.dat");
    driver::MakeFolder(start + "\\delen.instrrse-deel");
    driver::WriteFile(start + "\\delen.instrrse-deel\\a.dat.instrrse-deel", "half");
    driver::WriteFile(data + "\\a.dat", "vorige versie");
    EXPECT_TRUE(Run("a.dat\r\n"));
    EXPECT_TRUE(InDataOnly("a.dat"));
}

// Where that cannot be told, the older edition might be the source itself:
// neither is touched.
TEST_F(Moves, SourceIsKeptWhenTheProgramCannotTellTheFoldersApart)
{
    AddSeries("a.dat");
    driver::WriteFile(data + "\\a.dat", "vorige versie");
    if (!driver::MakeUnixLink(start + "\\delen.instrrse-deel", "/tmp/" + std::string(300, 'x')))
        GTEST_SKIP() << "the rig cannot make a Unix link";
    MoveResult result;
    EXPECT_NE(MoveSeriesFile("a.dat", &result), (DWORD)ERROR_SUCCESS);
    EXPECT_TRUE(Has(start, "a.dat", driver::SeriesBytes("a.dat")));
    EXPECT_TRUE(Has(data, "a.dat", "vorige versie"));
}

// A start folder renamed or pulled out mid-run says nothing about its
// series: an older edition in the data folder is not taken for one moved by
// an earlier run.
TEST_F(Moves, StartFolderGoneIsNoMoveByAnEarlierRun)
{
    driver::WriteFile(data + "\\b.dat", "vorige versie");
    ASSERT_TRUE(SetFolders(start + "-weg\\", data + "\\"));
    MoveResult result;
    EXPECT_EQ(MoveSeriesFile("b.dat", &result), (DWORD)ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(Has(data, "b.dat", "vorige versie"));
}

// A file named like the folder of parts is not the installer's: it stays,
// and so does the series, with the cause told.
TEST_F(Moves, FileInTheWayOfTheFolderOfPartsKeepsBoth)
{
    AddSeries("a.dat");
    driver::WriteFile(data + "\\delen.instrrse-deel", "van iemand anders");
    MoveResult result;
    EXPECT_EQ(MoveSeriesFile("a.dat", &result), (DWORD)ERROR_CANNOT_MAKE);
    RemovePartFolder();
    EXPECT_TRUE(InStartOnly("a.dat"));
    EXPECT_TRUE(Has(data, "delen.instrrse-deel", "van iemand anders"));
}

TEST_F(Moves, PathsThatDoNotFitAreNeverShortened)
{
    AddSeries("a.dat");
    // A data folder that could not get its trailing backslash.
    std::string longData = "C:\\" + std::string(MAX_PATH - 4, 'd');
    ASSERT_TRUE(SetFolders(start + "\\", longData));
    EXPECT_FALSE(Run("a.dat\r\n"));
    EXPECT_TRUE(InStartOnly("a.dat"));

    // A target path of 259 bytes moves; one of 260 would not fit.
    std::string deep = data + "\\" + std::string(MAX_PATH - 1 - data.size() - 1 - 1 - 100, 'L');
    driver::MakeFolder(deep);
    ASSERT_TRUE(SetFolders(start + "\\", deep + "\\"));
    std::string fits(100, 'f'), tooLong(101, 't');
    ASSERT_EQ((deep + "\\" + fits).size(), (size_t)MAX_PATH - 1);
    AddSeries(fits);
    AddSeries(tooLong);
    EXPECT_FALSE(Run(fits + "\r\n" + tooLong + "\r\n"));
    EXPECT_TRUE(Has(deep, fits, driver::SeriesBytes(fits)));
    EXPECT_TRUE(Has(start, tooLong, driver::SeriesBytes(tooLong)));
    EXPECT_NE(NotMoved().find(tooLong), std::string::npos);
    EXPECT_EQ(NotMoved().find(fits + "\n"), std::string::npos);
}

TEST_F(Moves, WarningNamesAtMostFifteen)
{
    std::string list;
    for (int i = 1; i <= 17; i++)
        list += "ontbreekt" + std::to_string(i) + ".dat\r\n";
    EXPECT_FALSE(Run(list));
    std::string text = NotMoved();
    EXPECT_NE(text.find("\nontbreekt15.dat\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("ontbreekt16.dat"), std::string::npos) << text;
    EXPECT_NE(text.find("en nog 2 andere"), std::string::npos) << text;
    EXPECT_NE(text.find("opnieuw"), std::string::npos) << text;
}

TEST_F(Moves, ListThatCannotBeReadIsNoSuccess)
{
    AddSeries("a.dat");
    std::string listPath = start + "\\teinstal.txt";
    driver::WriteFile(listPath, "a.dat\r\n");
    // A handle without read access: every read of the list fails.
    HANDLE hList = CreateFileA(listPath.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hList, INVALID_HANDLE_VALUE);
    FILE *file = _fdopen(_open_osfhandle((intptr_t)hList, _O_RDONLY | _O_BINARY), "rb");
    ASSERT_NE(file, nullptr);
    BOOL fAll = MoveSeries(file);
    fclose(file);
    EXPECT_FALSE(fAll);
    EXPECT_NE(NotMoved().find("teinstal.txt"), std::string::npos);
    EXPECT_TRUE(InStartOnly("a.dat"));
}

}  // namespace
