// The series list reader, on list files written byte for byte.
#include "app/globals.h"
#include "app/listfile.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadAll(const std::string &bytes)
{
    FILE *file = tmpfile();
    EXPECT_NE(file, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    OpenList(file, CP_ACP);
    std::vector<std::string> entries;
    while (ReadListEntry(file) && entries.size() < 10000)
        entries.push_back(g_szListLine);
    fclose(file);
    return entries;
}

using Entries = std::vector<std::string>;

TEST(ReadListEntry, EveryLineEnding)
{
    EXPECT_EQ(ReadAll("a.dat\r\nb.dat\r\n"), (Entries{"a.dat", "b.dat"}));
    EXPECT_EQ(ReadAll("a.dat\nb.dat\n"), (Entries{"a.dat", "b.dat"}));
    EXPECT_EQ(ReadAll("a.dat\rb.dat\r"), (Entries{"a.dat", "b.dat"}));
    EXPECT_EQ(ReadAll("a.dat\rb.dat\nc.dat\r\nd.dat"),
              (Entries{"a.dat", "b.dat", "c.dat", "d.dat"}));
}

TEST(ReadListEntry, LastLineWithoutBreakAndBlanksKept)
{
    EXPECT_EQ(ReadAll("a.dat\r\nb.dat"), (Entries{"a.dat", "b.dat"}));
    EXPECT_EQ(ReadAll(" Lees mij.TXT \r\n"), (Entries{" Lees mij.TXT "}));
}

TEST(ReadListEntry, EmptyList)
{
    EXPECT_EQ(ReadAll(""), Entries{});
    EXPECT_EQ(ReadAll("\r\n\r\n"), Entries{});   // four breaks: no entry
}

TEST(ReadListEntry, LongLineSplitsAt149Bytes)
{
    std::string line(160, 'x');
    Entries entries = ReadAll(line + "\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], std::string(149, 'x'));
    EXPECT_EQ(entries[1], std::string(11, 'x'));
}

TEST(ReadListEntry, EveryFiveLineBreaksGiveAnEmptyEntry)
{
    for (int n = 0; n <= 12; n++) {
        Entries entries = ReadAll("a.dat\r" + std::string(n, '\n') + "b.dat");
        Entries expected{"a.dat"};
        expected.insert(expected.end(), n / 5, "");
        expected.push_back("b.dat");
        EXPECT_EQ(entries, expected) << n << " line breaks";
    }
    // Two empty lines after an entry with CR LF: five breaks, one empty entry.
    EXPECT_EQ(ReadAll("a.dat\r\n\r\n\r\nb.dat\r\n"), (Entries{"a.dat", "", "b.dat"}));
    // Five breaks at the very end: an empty entry, then the end.
    EXPECT_EQ(ReadAll("a.dat\r\n\r\n\r\n"), (Entries{"a.dat", ""}));
}

TEST(ReadListEntry, NulEndsTheEntryEarly)
{
    EXPECT_EQ(ReadAll(std::string("a.dat\0junk\r\nb.dat", 17)), (Entries{"a.dat", "b.dat"}));
}

}  // namespace

namespace {

TEST(SkipByteOrderMark, OnlyAUtf8MarkAtTheStart)
{
    const struct { std::string bytes; std::string first; } cases[] = {
        { "\xEF\xBB\xBF" "a.dat\r\n", "a.dat" },
        { "a.dat\r\n", "a.dat" },
        { "\xEF\xBB", "\xEF\xBB" },
        { "\xEF\xBB\xBE" "a", "\xEF\xBB\xBE" "a" },
    };
    for (const auto &c : cases) {
        FILE *file = tmpfile();
        ASSERT_NE(file, nullptr);
        fwrite(c.bytes.data(), 1, c.bytes.size(), file);
        rewind(file);
        ASSERT_TRUE(OpenList(file, CP_ACP));
        ASSERT_EQ(ReadListEntry(file), 1);
        // Bytes that are valid UTF-8 by chance still name what they always did.
        EXPECT_EQ(std::string(g_szListEntryRaw[0] != '\0' ? g_szListEntryRaw : g_szListLine), c.first);
        fclose(file);
    }
}

}  // namespace
