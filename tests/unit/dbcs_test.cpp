// Path splitting, joining and the moves under a double-byte ANSI code page
// (932): a trail byte equal to "\" (0x5C) is part of its character, never a
// separator. ctest runs this program under a Japanese locale.
#include "app/globals.h"
#include "app/listfile.h"
#include "app/paths.h"
#include "app/series.h"
#include "app/warning.h"
#include "tests/driver/expect.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

// Two characters of code page 932 whose trail byte is 0x5C.
const std::string kHyo = "\x95\x5C";   // U+8868
const std::string kSo = "\x83\x5C";    // U+30BD

class Dbcs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run this under a Japanese locale"; }
};

TEST_F(Dbcs, TrailByteIsNoSeparator)
{
    std::string path = "C:\\" + kHyo + "\\" + kSo + ".dat";
    char szDrive[3], szDir[MAX_PATH], szName[256], szExt[256];
    ASSERT_TRUE(SplitPath(path.c_str(), szDrive, sizeof(szDrive), szDir, sizeof(szDir),
                          szName, sizeof(szName), szExt, sizeof(szExt)));
    EXPECT_STREQ(szDrive, "C:");
    EXPECT_EQ(std::string(szDir), "\\" + kHyo + "\\");
    EXPECT_EQ(std::string(szName), kSo);
    EXPECT_STREQ(szExt, ".dat");

    ASSERT_TRUE(SplitPath(("sub\\" + kSo).c_str(), NULL, 0, NULL, 0, szName, sizeof(szName),
                          szExt, sizeof(szExt)));
    EXPECT_EQ(std::string(szName), kSo);
}

TEST_F(Dbcs, FolderEndingInATrailByteStillGetsItsBackslash)
{
    char sz[MAX_PATH];
    ASSERT_TRUE(MakeFolderPath(sz, sizeof(sz), "C:", ("\\" + kHyo).c_str()));
    EXPECT_EQ(std::string(sz), "C:\\" + kHyo + "\\");

    strcpy(sz, ("C:\\" + kHyo).c_str());
    EXPECT_FALSE(IsFolderPath(sz));
    ASSERT_TRUE(EnsureTrailingBackslash(sz));
    EXPECT_EQ(std::string(sz), "C:\\" + kHyo + "\\");
    ASSERT_TRUE(EnsureTrailingBackslash(sz));
    EXPECT_EQ(std::string(sz), "C:\\" + kHyo + "\\");

    // A lead byte cut off from its trail byte would swallow the backslash.
    strcpy(sz, "C:\\abc\x95");
    EXPECT_FALSE(EnsureTrailingBackslash(sz));
    EXPECT_STREQ(sz, "C:\\abc\x95");
    EXPECT_FALSE(MakeFolderPath(sz, sizeof(sz), "C:", "\\abc\x95"));
    EXPECT_EQ(FindNameFault("abc\x95"), NAME_CUT_CHAR);
    // 0xB9 is the half-width katakana U+FF79 here, no superscript one.
    EXPECT_EQ(FindNameFault("COM\xB9.rrs"), NAME_PLAIN);
    EXPECT_TRUE(IsDeviceNameW(L"COM\u00B9.rrs"));
}

TEST_F(Dbcs, SeriesWithSuchNamesMoveWhole)
{
    std::string root = driver::FreshFolder("unit.dbcs");
    std::string start = root + "\\" + kHyo;   // the start folder's name ends in 0x5C
    std::string data = root + "\\data";
    driver::MakeFolder(start);
    driver::MakeFolder(data);
    std::string name = kSo + ".dat";
    driver::WriteFile(start + "\\" + name, driver::SeriesBytes(name));
    strcpy(g_szCurrentDir, start.c_str());
    ASSERT_TRUE(EnsureTrailingBackslash(g_szCurrentDir));
    strcpy(g_szDataDir, (data + "\\").c_str());

    FILE *file = tmpfile();
    std::string list = "sub\\" + name + "\r\n";
    fwrite(list.data(), 1, list.size(), file);
    rewind(file);
    BOOL fAll = MoveSeries(file);
    fclose(file);

    WCHAR wszText[c_cchNotMovedText];
    FormatNotMoved(wszText, c_cchNotMovedText, FALSE);
    char szText[c_cchNotMovedText * 2];
    WideCharToMultiByte(CP_ACP, 0, wszText, -1, szText, sizeof(szText), NULL, NULL);
    EXPECT_TRUE(fAll) << szText;
    EXPECT_TRUE(driver::HasBytes(data + "\\" + name, driver::SeriesBytes(name)));
    EXPECT_FALSE(driver::FileExists(start + "\\" + name));
}

}  // namespace

namespace {

// A UTF-8 line is read in pieces of whole characters, each at most 149
// bytes in code page 932: one that converts to exactly 149 bytes, ending in a
// double-byte character, is one entry; a byte more and its last character
// starts the next.
TEST_F(Dbcs, LongUnicodeLineIsCutBetweenCharacters)
{
    const std::string kA = "\xE3\x81\x82", kA932 = "\x82\xA0";   // U+3042
    auto times = [](int n, const std::string &s) {
        std::string all;
        for (int i = 0; i < n; i++)
            all += s;
        return all;
    };
    const struct {
        std::string utf8;
        std::vector<std::string> pieces;
    } rows[] = {
        {times(100, kA), {times(74, kA932), times(26, kA932)}},
        {"a" + times(74, kA), {"a" + times(74, kA932)}},
        {"ab" + times(74, kA), {"ab" + times(73, kA932), kA932}},
    };
    for (const auto &row : rows) {
        size_t cb = 0;
        for (const std::string &piece : row.pieces)
            cb += piece.size();
        SCOPED_TRACE(::testing::Message() << "a line of " << cb << " bytes in code page 932");
        std::string bytes = row.utf8 + "\r\nb.dat";
        FILE *file = tmpfile();
        fwrite(bytes.data(), 1, bytes.size(), file);
        rewind(file);
        ListFile list;
        ASSERT_TRUE(OpenList(file, CP_ACP, &list));
        for (size_t i = 0; i < row.pieces.size(); i++) {
            ASSERT_EQ(ReadListEntry(&list), 1);
            EXPECT_EQ(std::string(g_szListLine), row.pieces[i]) << "piece " << i;
            EXPECT_EQ(list.fContinues != FALSE, i > 0) << "piece " << i;
        }
        ASSERT_EQ(ReadListEntry(&list), 1);
        EXPECT_STREQ(g_szListLine, "b.dat");
        EXPECT_EQ(ReadListEntry(&list), 0);
        CloseList(&list);
        fclose(file);
    }
}

}  // namespace
