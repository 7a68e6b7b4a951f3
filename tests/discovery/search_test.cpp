// Where the search looks, in which order, and where it stops: the folder
// above the start folder first, then the Raadrups Start menu folder, the
// all-users desktop and the user's desktop.
#include "tests/discovery/discovery_fixture.h"

namespace {

const char kInstA[] = "C:\\dtest\\Raadrups A";
const char kInstB[] = "C:\\dtest\\Raadrups B";
const char kInstC[] = "C:\\dtest\\Raadrups C";

std::string Program(const std::string &inst) { return inst + "\\wimbelok.exe"; }
std::string Ini(const std::string &inst) { return inst + "\\tolpen.ini"; }

// Installations A, B and C, each naming its own letter as its data folder.
bool MakeInstallationsABC(tree::TreeBuilder &made)
{
    return made.Installation(kInstA, "A") && made.Installation(kInstB, "B")
        && made.Installation(kInstC, "C");
}

// Expects the INI found to be this installation's, naming this data folder.
::testing::AssertionResult Found(const std::string &iniFound, const std::string &inst, const std::string &data)
{
    if (iniFound != Ini(inst) || tree::IniData(iniFound) != data)
        return ::testing::AssertionFailure() << "found \"" << iniFound << "\", whose data folder is \""
                                             << tree::IniData(iniFound) << "\"";
    return ::testing::AssertionSuccess();
}

TEST_F(Discovery, IniAboveStartFolderWinsWithoutOpeningAnyShortcut)
{
    ASSERT_TRUE(made.Installation("C:\\tolpen", ".\\data"));
    ASSERT_TRUE(made.Folder("C:\\tolpen\\nieuw"));
    // A matching shortcut and a damaged one, both of which the shortcut
    // search would reach first.
    ASSERT_TRUE(made.Installation(kInstA, "A"));
    ASSERT_TRUE(made.Shortcut(raadrupsMenu + "\\Raadrups.lnk", Program(kInstA)));
    ASSERT_TRUE(made.File(commonDesktop + "\\kapot.lnk", "geen snelkoppeling"));

    EXPECT_EQ(FindWithoutShortcuts("C:\\tolpen\\nieuw"), "C:\\tolpen\\tolpen.ini");
    EXPECT_EQ(tree::IniData(g_szIniPath), ".\\data");
}

TEST_F(Discovery, StartedInTheDataFolderFindsTheIniAboveIt)
{
    ASSERT_TRUE(made.Installation("C:\\tolpen", ".\\data"));
    ASSERT_TRUE(made.Folder("C:\\tolpen\\data"));
    ASSERT_TRUE(SetStartFolder("C:\\tolpen\\data"));
    EXPECT_EQ(Find(), "C:\\tolpen\\tolpen.ini");
    EXPECT_EQ(tree::IniData(g_szIniPath), ".\\data");
}

TEST_F(Discovery, StartedAtTheDriveRootLooksBesideIt)
{
    ASSERT_TRUE(made.File("C:\\tolpen.ini", "[Tolpen]\r\nData=C:\\reeksen\r\n"));
    EXPECT_EQ(FindWithoutShortcuts("C:\\"), "C:\\tolpen.ini");
    EXPECT_EQ(tree::IniData(g_szIniPath), "C:\\reeksen");
}

TEST_F(Discovery, IniInTheStartFolderItselfIsNotTheParentCheck)
{
    // Only the folder above counts; the start folder's own tolpen.ini is
    // not looked at, and without shortcuts nothing is found.
    ASSERT_TRUE(made.Installation("C:\\dtest\\uitgepakt\\series", "eigen"));
    strcpy(g_szIniPath, "C:\\oud\\tolpen.ini");
    EXPECT_EQ(Find(), "");
}

TEST_F(Discovery, NothingInstalledLeavesTheIniPathEmpty)
{
    strcpy(g_szIniPath, "C:\\oud\\tolpen.ini");
    EXPECT_EQ(Find(), "");
}

TEST_F(Discovery, ShortcutOnlyOnTheUserDesktopIsFoundAfterTheOtherRows)
{
    // The first two rows hold shortcuts, but none that counts.
    ASSERT_TRUE(made.File("C:\\dtest\\gereedschap\\kladblok.exe", "MZ"));
    ASSERT_TRUE(made.Shortcut(raadrupsMenu + "\\Kladblok.lnk", "C:\\dtest\\gereedschap\\kladblok.exe"));
    ASSERT_TRUE(made.File("C:\\dtest\\zonder ini\\wimbelok.exe", "MZ"));
    ASSERT_TRUE(made.Shortcut(commonDesktop + "\\Raadrups.lnk", "C:\\dtest\\zonder ini\\wimbelok.exe"));
    ASSERT_TRUE(made.Installation(kInstA, "A"));
    ASSERT_TRUE(made.Shortcut(userDesktop + "\\Raadrups quiz.lnk", Program(kInstA)));

    EXPECT_TRUE(Found(Find(), kInstA, "A"));
    EXPECT_EQ(std::string(g_szLinkPath), userDesktop + "\\Raadrups quiz.lnk");
}

TEST_F(Discovery, OnlyTheRaadrupsFolderOfTheStartMenuIsSearched)
{
    ASSERT_TRUE(made.Installation(kInstA, "A"));
    // Straight in the all-users programs folder, in another subfolder, in
    // the user's own Start menu and in a desktop subfolder: none is looked at.
    ASSERT_TRUE(made.Shortcut(startMenu + "\\Raadrups.lnk", Program(kInstA)));
    ASSERT_TRUE(made.Shortcut(startMenu + "\\Spellen\\Raadrups.lnk", Program(kInstA)));
    std::string userMenu = tree::ShellFolder(CSIDL_PROGRAMS);
    ASSERT_FALSE(userMenu.empty());
    ASSERT_TRUE(made.Shortcut(userMenu + "\\Raadrups\\Raadrups.lnk", Program(kInstA)));
    ASSERT_TRUE(made.Shortcut(userDesktop + "\\Spellen\\Raadrups.lnk", Program(kInstA)));

    EXPECT_EQ(Find(), "");
}

TEST_F(Discovery, StartMenuComesBeforeTheDesktops)
{
    ASSERT_TRUE(MakeInstallationsABC(made));
    ASSERT_TRUE(made.Shortcut(userDesktop + "\\a.lnk", Program(kInstC)));
    ASSERT_TRUE(made.Shortcut(commonDesktop + "\\a.lnk", Program(kInstB)));
    ASSERT_TRUE(made.Shortcut(raadrupsMenu + "\\z.lnk", Program(kInstA)));

    EXPECT_TRUE(Found(Find(), kInstA, "A"));
}

TEST_F(Discovery, AllUsersDesktopComesBeforeTheUserDesktop)
{
    ASSERT_TRUE(made.Installation(kInstB, "B"));
    ASSERT_TRUE(made.Installation(kInstC, "C"));
    ASSERT_TRUE(made.Shortcut(userDesktop + "\\a.lnk", Program(kInstC)));
    ASSERT_TRUE(made.Shortcut(commonDesktop + "\\z.lnk", Program(kInstB)));

    EXPECT_TRUE(Found(Find(), kInstB, "B"));
    EXPECT_EQ(std::string(g_szLinkPath), commonDesktop + "\\z.lnk");
}

TEST_F(Discovery, FirstMatchingShortcutEnumeratedWinsAndEndsTheSearch)
{
    ASSERT_TRUE(MakeInstallationsABC(made));
    ASSERT_TRUE(made.Shortcut(userDesktop + "\\Raadrups.lnk", Program(kInstA)));
    ASSERT_TRUE(made.Shortcut(userDesktop + "\\quiz.lnk", Program(kInstB)));
    ASSERT_TRUE(made.Shortcut(userDesktop + "\\Aap.lnk", Program(kInstC)));

    // Whatever order the file system gives, the first it gives wins.
    const std::string first = tree::FirstShortcut(userDesktop);
    const std::string expected = first == "Raadrups.lnk" ? "A" : first == "quiz.lnk" ? "B" : "C";
    EXPECT_EQ(tree::IniData(Find()), expected) << "first enumerated: " << first;
    // The last shortcut examined is the winner: none after it was opened.
    EXPECT_EQ(std::string(g_szLinkPath), userDesktop + "\\" + first);
}

TEST_F(Discovery, ShortcutsThatDoNotCountDoNotEndTheSearch)
{
    ASSERT_TRUE(made.Installation(kInstA, "A"));
    ASSERT_TRUE(made.File(userDesktop + "\\a kapot.lnk", "geen snelkoppeling"));
    ASSERT_TRUE(made.File(userDesktop + "\\b leeg.lnk", ""));
    ASSERT_TRUE(made.Folder(userDesktop + "\\c map.lnk"));
    ASSERT_TRUE(made.Shortcut(userDesktop + "\\d Raadrups.lnk", Program(kInstA)));
    std::vector<std::string> order = tree::ListShortcuts(userDesktop);
    ASSERT_EQ(order.size(), 4u);
    ASSERT_EQ(order.back(), "d Raadrups.lnk") << "the file system enumerates in another order";

    EXPECT_TRUE(Found(Find(), kInstA, "A"));
}

TEST_F(Discovery, ShortcutWhosePathDoesNotFitIsNotOpenedUnderAShorterName)
{
    // The full path of this shortcut is longer than a path buffer holds.
    // Cut short, it would name the other shortcut, which does count.
    ASSERT_TRUE(made.Installation(kInstA, "A"));
    ASSERT_TRUE(made.Installation(kInstB, "B"));
    const std::string folder = userDesktop + "\\";
    const std::string longName = std::string(MAX_PATH - 1 - folder.size(), 'L') + "LLLL.lnk";
    ASSERT_TRUE(made.Shortcut(folder + longName, Program(kInstA)));
    const std::string cutShort = (folder + longName).substr(0, MAX_PATH - 1);
    ASSERT_TRUE(made.Shortcut(cutShort, Program(kInstB)));
    ASSERT_EQ(tree::ListShortcuts(userDesktop).size(), 1u);

    EXPECT_EQ(Find(), "");
}

}  // namespace

namespace {

// The tests write to the user's desktop; under Wine that folder is the
// Unix HOME, which the rig keeps inside the build folder, beside bin\ where
// this program lives. A file made on the desktop must show up there.
TEST_F(Discovery, UserDesktopIsTheRigsOwnHome)
{
    char szExe[MAX_PATH];
    DWORD cch = GetModuleFileNameA(NULL, szExe, sizeof(szExe));
    ASSERT_TRUE(cch > 0 && cch < sizeof(szExe));
    std::string build = szExe;
    build = build.substr(0, build.find_last_of('\\'));   // bin
    build = build.substr(0, build.find_last_of('\\'));
    ASSERT_TRUE(made.File(userDesktop + "\\rig-merkteken.txt", "rig"));
    EXPECT_EQ(tree::ReadFileBytes(build + "\\rig\\home\\rig-merkteken.txt"), "rig")
        << userDesktop << " is not " << build << "\\rig\\home";
    EXPECT_EQ(startMenu.substr(0, 3), "C:\\");
    EXPECT_EQ(commonDesktop.substr(0, 3), "C:\\");
}

}  // namespace
