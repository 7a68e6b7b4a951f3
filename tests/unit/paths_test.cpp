// Path comparison, splitting and joining, and the trailing backslash, in the
// single-byte code page the rig runs under (see dbcs_test.cpp for 932).
#include "app/entry.h"
#include "app/paths.h"
#include "app/systempath.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct Parts {
    std::string drive, dir, name, ext;
    bool ok;
};

Parts Split(const char *psz)
{
    char szDrive[3], szDir[MAX_PATH], szName[256], szExt[256];
    Parts p;
    p.ok = SplitPath(psz, szDrive, sizeof(szDrive), szDir, sizeof(szDir),
                     szName, sizeof(szName), szExt, sizeof(szExt));
    p.drive = szDrive;
    p.dir = szDir;
    p.name = szName;
    p.ext = szExt;
    return p;
}

TEST(PathsEqual, FoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(PathsEqual("C:\\Tolpen\\DATA\\", "c:\\tolpen\\data\\"));
    EXPECT_FALSE(PathsEqual("C:\\tolpen", "C:\\tolpen\\"));
    EXPECT_FALSE(PathsEqual("\xC9", "\xE9"));   // E acute, upper and lower
    EXPECT_FALSE(PathsEqual("[", "{"));
    EXPECT_TRUE(PathsEqual("", ""));
}

TEST(SplitPath, DriveFolderNameExtension)
{
    Parts p = Split("C:\\tolpen\\data\\serie1.dat");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.dir, "\\tolpen\\data\\");
    EXPECT_EQ(p.name, "serie1");
    EXPECT_EQ(p.ext, ".dat");

    p = Split("sub/c.dat");
    EXPECT_EQ(p.dir, "sub/");
    EXPECT_EQ(p.name, "c");
    EXPECT_EQ(p.ext, ".dat");

    p = Split("C:x.dat");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.dir, "");
    EXPECT_EQ(p.name, "x");
}

TEST(SplitPath, ExtensionIsTheLastDotAfterTheFolder)
{
    Parts p = Split("a.b\\serie7");
    EXPECT_EQ(p.name, "serie7");
    EXPECT_EQ(p.ext, "");
    p = Split("archief.tar.gz");
    EXPECT_EQ(p.name, "archief.tar");
    EXPECT_EQ(p.ext, ".gz");
    p = Split("sub\\");
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(p.ext, "");
    p = Split(".data");
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(p.ext, ".data");
}

TEST(SplitPath, PartTooLongEmptiesAllParts)
{
    std::string s = "C:\\dir\\" + std::string(300, 'n') + ".dat";
    Parts p = Split(s.c_str());
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.drive, "");
    EXPECT_EQ(p.dir, "");
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(p.ext, "");
}

TEST(MakeFolderPath, AddsSeparatorOnlyWhenMissing)
{
    char sz[MAX_PATH];
    ASSERT_TRUE(MakeFolderPath(sz, sizeof(sz), "C:", "\\tolpen"));
    EXPECT_STREQ(sz, "C:\\tolpen\\");
    ASSERT_TRUE(MakeFolderPath(sz, sizeof(sz), "C:", "\\tolpen/"));
    EXPECT_STREQ(sz, "C:\\tolpen/");
    ASSERT_TRUE(MakeFolderPath(sz, sizeof(sz), "", "\\\\server\\share\\"));
    EXPECT_STREQ(sz, "\\\\server\\share\\");
    ASSERT_TRUE(MakeFolderPath(sz, sizeof(sz), "D:", ""));
    EXPECT_STREQ(sz, "D:");
}

TEST(MakeFolderPath, RefusesWhatDoesNotFit)
{
    char sz[8];
    EXPECT_FALSE(MakeFolderPath(sz, sizeof(sz), "C:", "\\abcde"));
    EXPECT_STREQ(sz, "");
}

TEST(EnsureTrailingBackslash, AppendsOnceAndRefusesOverflow)
{
    char sz[MAX_PATH] = "";
    ASSERT_TRUE(EnsureTrailingBackslash(sz));
    EXPECT_STREQ(sz, "\\");
    strcpy(sz, "D:\\Reeksen");
    ASSERT_TRUE(EnsureTrailingBackslash(sz));
    EXPECT_STREQ(sz, "D:\\Reeksen\\");
    ASSERT_TRUE(EnsureTrailingBackslash(sz));
    EXPECT_STREQ(sz, "D:\\Reeksen\\");

    std::string full = "C:\\" + std::string(MAX_PATH - 4, 'x');   // 259 bytes
    strcpy(sz, full.c_str());
    EXPECT_FALSE(EnsureTrailingBackslash(sz));
    EXPECT_EQ(std::string(sz), full);
    full.back() = '\\';
    strcpy(sz, full.c_str());
    EXPECT_TRUE(EnsureTrailingBackslash(sz));
}

TEST(CopyAndAppendPath, NeverShorten)
{
    char sz[6];
    EXPECT_TRUE(CopyPath(sz, sizeof(sz), "abcde"));
    EXPECT_FALSE(AppendPath(sz, sizeof(sz), "f"));
    EXPECT_STREQ(sz, "abcde");
    EXPECT_FALSE(CopyPath(sz, sizeof(sz), "abcdef"));
    EXPECT_STREQ(sz, "");
}

}  // namespace

namespace {

// Names the list may give that Windows would open as something else than a
// file of that name in the folder: a device, a stream, another file.
TEST(FindNameFault, RefusesWhatWindowsWouldNotOpenAsThatFile)
{
    for (const char *psz : { "a.dat", "Lees mij", "serie7", " lead.dat", "a..dat", "com10.dat",
                             "console.dat", "nul_", "lpt", "Café.dat" })
        EXPECT_EQ(FindNameFault(psz), NAME_PLAIN) << psz;
    for (const char *psz : { "", "CON", "nul", "Nul.dat", "aux.tar.gz", "PRN .dat", "COM1", "lpt9.x",
                             "com\xB9", "CONOUT$", "a.dat:zone", "x*.dat",
                             "a?.dat", "a|b", "a\"b", "<a>", "tab\t.dat" })
        EXPECT_NE(FindNameFault(psz), NAME_PLAIN) << psz;
    // Windows opens a name without its trailing dots and blanks: that file
    // is the one judged and moved.
    for (const char *psz : { "a.dat.", "a.dat ", "a.dat . " }) {
        char szName[MAX_PATH];
        EXPECT_EQ(JudgeEntryName(psz, szName, sizeof(szName)), VERDICT_MOVE) << psz;
        EXPECT_STREQ(szName, "a.dat") << psz;
    }
}

}  // namespace

namespace {

// A folder as the system names it, and its short form, to the path the
// program works by: never a look-alike, in the code page 1252 of the rig.
TEST(ChooseAnsiPath, TakesTheShortFormOnlyWhereTheCodePageNeedsIt)
{
    const std::wstring longName = L"C:\\Users\\\u0141ukasz\\Downloads\\Raadrups series";
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'x');
    struct Row {
        std::wstring path;
        const WCHAR *shortForm;   // nullptr: none
        AnsiPathKind kind;
        const char *ansi;
    } rows[] = {
        {L"C:\\Pakket\\Caf\u00e9", nullptr, ANSIPATH_EXACT, "C:\\Pakket\\Caf\xe9"},
        {longName, L"C:\\Users\\LUKASZ~1\\DOWNLO~1\\RAADRU~1", ANSIPATH_SHORT,
         "C:\\Users\\LUKASZ~1\\DOWNLO~1\\RAADRU~1"},
        // 8.3 names switched off: the short form is the long one.
        {longName, longName.c_str(), ANSIPATH_UNNAMEABLE, ""},
        {longName, nullptr, ANSIPATH_UNNAMEABLE, ""},
        {longName, L"C:\\Users\\\u0141UKASZ~1\\DOWNLO~1", ANSIPATH_UNNAMEABLE, ""},
        {tooLong, L"C:\\XXXXXX~1", ANSIPATH_SHORT, "C:\\XXXXXX~1"},
        {tooLong, nullptr, ANSIPATH_TOO_LONG, ""},
    };
    for (const Row &row : rows) {
        char szPath[MAX_PATH] = "untouched";
        EXPECT_EQ(ChooseAnsiPath(row.path.c_str(), row.shortForm, szPath), row.kind)
            << row.ansi;
        EXPECT_STREQ(szPath, row.ansi);
    }
}

}  // namespace
