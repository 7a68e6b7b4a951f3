// The data folder a tolpen.ini names: read from section Tolpen, key Data,
// given a trailing backslash, and resolved against the INI file's folder
// when it starts with a dot.
#include "tests/discovery/discovery_fixture.h"
#include "app/paths.h"

namespace {

struct IniCase {
    const char *name;
    const char *content;
    const char *dataDir;
};

class DataFolderValue : public Discovery, public ::testing::WithParamInterface<IniCase> {};

TEST_P(DataFolderValue, IsReadAndResolved)
{
    ASSERT_TRUE(made.File("C:\\tolpen\\tolpen.ini", GetParam().content));
    strcpy(g_szIniPath, "C:\\tolpen\\tolpen.ini");
    strcpy(g_szDataDir, "C:\\vorige\\");
    LoadDataFolder();
    EXPECT_STREQ(g_szDataDir, GetParam().dataDir);
}

const IniCase kCases[] = {
    {"DotData", "[Tolpen]\r\nData=.\\data\r\n", "C:\\tolpen\\data\\"},
    {"DotDotSeries", "[Tolpen]\r\nData=..\\series\r\n", "C:\\series\\"},
    {"DotsInside", "[Tolpen]\r\nData=.\\a\\..\\b\\.\\c\r\n", "C:\\tolpen\\b\\c\\"},
    {"AboveTheRootStaysOnTheDrive", "[Tolpen]\r\nData=..\\..\\..\\series\r\n", "C:\\series\\"},
    {"DotNameIsAName", "[Tolpen]\r\nData=.data\r\n", "C:\\tolpen\\.data\\"},
    {"Absolute", "[Tolpen]\r\nData=D:\\Reeksen\r\n", "D:\\Reeksen\\"},
    {"AbsoluteWithBackslash", "[Tolpen]\r\nData=D:\\Reeksen\\\r\n", "D:\\Reeksen\\"},
    {"NetworkPath", "[Tolpen]\r\nData=\\\\server\\quiz\\reeksen\r\n", "\\\\server\\quiz\\reeksen\\"},
    {"RelativeWithoutDotStaysRelative", "[Tolpen]\r\nData=data\r\n", "data\\"},
    {"SectionAndKeyInAnyCase", "[TOLPEN]\r\ndata=.\\Data\r\n", "C:\\tolpen\\Data\\"},
    {"AmongOtherSections",
     "[Algemeen]\r\nData=C:\\fout\r\n[Tolpen]\r\nTaal=NL\r\nData=E:\\quiz\r\n[Na]\r\nData=C:\\ook fout\r\n",
     "E:\\quiz\\"},
    {"EmptyValue", "[Tolpen]\r\nData=\r\n", "\\"},
    {"NoKey", "[Tolpen]\r\nTaal=NL\r\n", "\\"},
    {"NoSection", "[Raadrups]\r\nData=D:\\Reeksen\r\n", "\\"},
    {"EmptyFile", "", "\\"},
};

INSTANTIATE_TEST_SUITE_P(Ini, DataFolderValue, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<IniCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(Discovery, DataFolderOfAnUnreadableIniIsTheRoot)
{
    // No file at all, and a folder where the file should be.
    strcpy(g_szIniPath, "C:\\tolpen\\tolpen.ini");
    strcpy(g_szDataDir, "C:\\vorige\\");
    LoadDataFolder();
    EXPECT_STREQ(g_szDataDir, "\\");

    ASSERT_TRUE(made.Folder("C:\\tolpen\\tolpen.ini"));
    strcpy(g_szDataDir, "C:\\vorige\\");
    LoadDataFolder();
    EXPECT_STREQ(g_szDataDir, "\\");
}

TEST_F(Discovery, DataFolderBesideAnIniAtTheDriveRoot)
{
    ASSERT_TRUE(made.File("C:\\tolpen.ini", "[Tolpen]\r\nData=.\\data\r\n"));
    strcpy(g_szIniPath, "C:\\tolpen.ini");
    LoadDataFolder();
    EXPECT_STREQ(g_szDataDir, "C:\\data\\");
}

TEST_F(Discovery, RelativeDataFolderTooLongToCombineCountsAsNotSet)
{
    // Folder and value fit on their own, together they do not.
    const std::string folder = "C:\\dtest\\" + std::string(200, 'm');
    const std::string value = ".\\" + std::string(100, 'r');
    ASSERT_TRUE(made.File(folder + "\\tolpen.ini", "[Tolpen]\r\nData=" + value + "\r\n"));
    strcpy(g_szIniPath, (folder + "\\tolpen.ini").c_str());
    LoadDataFolder();
    EXPECT_STREQ(g_szDataDir, "");
    // Which the run turns into the root, for the user to browse from.
    EXPECT_TRUE(EnsureTrailingBackslash(g_szDataDir));
    EXPECT_STREQ(g_szDataDir, "\\");
}

TEST_F(Discovery, LongRelativeDataFolderThatFitsIsResolvedWhole)
{
    const std::string folder = "C:\\dtest\\" + std::string(150, 'm');
    const std::string leaf = std::string(90, 'r');
    ASSERT_TRUE(made.File(folder + "\\tolpen.ini", "[Tolpen]\r\nData=.\\" + leaf + "\r\n"));
    strcpy(g_szIniPath, (folder + "\\tolpen.ini").c_str());
    LoadDataFolder();
    EXPECT_EQ(std::string(g_szDataDir), folder + "\\" + leaf + "\\");
}

}  // namespace
