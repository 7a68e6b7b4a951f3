// Which shortcuts count: the target must be named wimbelok.exe (in any
// letter case) and have a tolpen.ini beside it that can be opened. Each
// test puts one shortcut on the user's desktop and runs the whole search.
#include "tests/discovery/discovery_fixture.h"

namespace {

class ShortcutCheck : public Discovery {
protected:
    std::string FindThrough(const std::string &target)
    {
        if (!made.Shortcut(userDesktop + "\\Raadrups.lnk", target))
            return "<no shortcut made>";
        return Find();
    }
};

TEST_F(ShortcutCheck, TargetInUpperCaseCounts)
{
    const std::string inst = "C:\\dtest\\Program Files\\Raadrups";
    ASSERT_TRUE(made.Installation(inst, "D:\\Reeksen", "WIMBELOK.EXE"));
    EXPECT_EQ(FindThrough(inst + "\\WIMBELOK.EXE"), inst + "\\tolpen.ini");
    EXPECT_EQ(tree::IniData(g_szIniPath), "D:\\Reeksen");
}

// Beside a real tolpen.ini: a longer name, a shorter one, and another
// program's name of the same length.
TEST_F(ShortcutCheck, TargetWithAnotherNameDoesNotCount)
{
    const std::string inst = "C:\\dtest\\Raadrups";
    ASSERT_TRUE(made.Installation(inst, "A"));
    for (const char *pszName : {"wimbelok.exe.bak", "wimbelok.ex", "Uninstal.exe"}) {
        ASSERT_TRUE(made.File(inst + "\\" + pszName, "MZ ander"));
        EXPECT_EQ(FindThrough(inst + "\\" + pszName), "") << pszName;
    }
}

TEST_F(ShortcutCheck, FolderTargetDoesNotCount)
{
    const std::string inst = "C:\\dtest\\Raadrups";
    ASSERT_TRUE(made.Installation(inst, "A"));
    EXPECT_EQ(FindThrough(inst), "");
}

TEST_F(ShortcutCheck, TargetWithoutIniBesideItDoesNotCount)
{
    const std::string inst = "C:\\dtest\\Raadrups";
    ASSERT_TRUE(made.File(inst + "\\wimbelok.exe", "MZ"));
    // The INI file one folder up is no help either.
    ASSERT_TRUE(made.File("C:\\dtest\\tolpen.ini", "[Tolpen]\r\nData=.\\data\r\n"));
    EXPECT_EQ(FindThrough(inst + "\\wimbelok.exe"), "");
}

TEST_F(ShortcutCheck, FolderNamedLikeTheIniDoesNotCount)
{
    const std::string inst = "C:\\dtest\\Raadrups";
    ASSERT_TRUE(made.File(inst + "\\wimbelok.exe", "MZ"));
    ASSERT_TRUE(made.Folder(inst + "\\tolpen.ini"));
    EXPECT_EQ(FindThrough(inst + "\\wimbelok.exe"), "");
}

TEST_F(ShortcutCheck, DamagedShortcutDoesNotCount)
{
    ASSERT_TRUE(made.Installation("C:\\dtest\\Raadrups", "A"));
    ASSERT_TRUE(made.Shortcut("C:\\dtest\\heel.lnk", "C:\\dtest\\Raadrups\\wimbelok.exe"));
    const std::string whole = tree::ReadFileBytes("C:\\dtest\\heel.lnk");
    ASSERT_GT(whole.size(), 76u);   // more than the header
    // A good shortcut cut off inside its header, and one that is no
    // shortcut at all.
    ASSERT_TRUE(made.File(userDesktop + "\\afgebroken.lnk", whole.substr(0, 40)));
    ASSERT_TRUE(made.File(commonDesktop + "\\tekst.lnk", "[Tolpen]\r\nData=.\\data\r\n"));
    EXPECT_EQ(Find(), "");
}

}  // namespace
