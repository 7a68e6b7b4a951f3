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
    ListFile list;
    OpenList(file, CP_ACP, &list);
    std::vector<std::string> entries;
    while (ReadListEntry(&list) && entries.size() < 10000)
        entries.push_back(g_szListLine);
    CloseList(&list);
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

TEST(ByteOrderMark, OnlyAUtf8MarkAtTheStart)
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
        ListFile list;
        ASSERT_TRUE(OpenList(file, CP_ACP, &list));
        ASSERT_EQ(ReadListEntry(&list), 1);
        // Bytes that are valid UTF-8 by chance still name what they always did.
        EXPECT_EQ(std::string(list.szRaw[0] != '\0' ? list.szRaw : g_szListLine), c.first);
        CloseList(&list);
        fclose(file);
    }
}

}  // namespace

namespace {

struct Read {
    std::string line;
    std::wstring wide;
    bool fUnmappable;
    bool fContinues;
    bool operator==(const Read &o) const
    {
        return line == o.line && wide == o.wide && fUnmappable == o.fUnmappable && fContinues == o.fContinues;
    }
};

std::vector<Read> ReadEntries(const std::string &bytes, int *pnEncoding)
{
    FILE *file = tmpfile();
    EXPECT_NE(file, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    ListFile list;
    EXPECT_TRUE(OpenList(file, CP_ACP, &list));
    *pnEncoding = list.nEncoding;
    std::vector<Read> entries;
    while (ReadListEntry(&list) && entries.size() < 100)
        entries.push_back({g_szListLine, list.wszEntry, list.fUnmappable != FALSE, list.fContinues != FALSE});
    CloseList(&list);
    fclose(file);
    return entries;
}

std::string Bytes(const std::wstring &text, UINT uCodePage)
{
    char sz[4096];
    int cb = WideCharToMultiByte(uCodePage, 0, text.data(), (int)text.size(), sz, sizeof(sz), NULL, NULL);
    return std::string(sz, cb > 0 ? cb : 0);
}

std::string Utf16(const std::wstring &text, bool fLittle)
{
    std::string bytes = fLittle ? "\xFF\xFE" : "\xFE\xFF";
    for (wchar_t wch : text) {
        bytes += (char)(fLittle ? wch & 0xFF : wch >> 8);
        bytes += (char)(fLittle ? wch >> 8 : wch & 0xFF);
    }
    return bytes;
}

// The same list in every encoding gives the same entries in code page 1252:
// the line rules count converted bytes, a character the code page lacks is
// flagged (never a look-alike) and kept as written, and the second piece of
// a long line says that it continues one.
TEST(ReadListEntry, EveryEncodingGivesTheSameEntries)
{
    ASSERT_EQ(GetACP(), 1252u);
    const std::wstring text = std::wstring(L"Caf\u00e9.dat\r\n\r\n\r\nx") + L'\0'
                              + L"y\r\n\u0141\u00f3d\u017a.dat\n" + std::wstring(150, L'\u00e9');
    const std::string accents(149, '\xE9');
    const std::vector<Read> expected = {
        {"Caf\xE9.dat", L"Caf\u00e9.dat", false, false},
        {"", L"", false, false},
        {"x", L"x", false, false},
        {"?\xF3" "d?.dat", L"\u0141\u00f3d\u017a.dat", true, false},
        {accents, std::wstring(149, L'\u00e9'), false, false},
        {"\xE9", L"\u00e9", false, true},
    };
    const struct { std::string bytes; int nEncoding; } lists[] = {
        {Bytes(text, CP_UTF8), LIST_UTF8},
        {"\xEF\xBB\xBF" + Bytes(text, CP_UTF8), LIST_UTF8_BOM},
        {Utf16(text, true), LIST_UTF16LE},
        {Utf16(text, false), LIST_UTF16BE},
    };
    for (const auto &list : lists) {
        int nEncoding = -1;
        EXPECT_TRUE(ReadEntries(list.bytes, &nEncoding) == expected) << ListEncodingName(list.nEncoding);
        EXPECT_EQ(nEncoding, list.nEncoding);
    }
    // Saved as ANSI, the same except for what 1252 cannot hold.
    int nEncoding = -1;
    std::vector<Read> ansi = ReadEntries(Bytes(text.substr(0, text.find(L'\u0141')), 1252), &nEncoding);
    EXPECT_EQ(nEncoding, LIST_ANSI);
    EXPECT_TRUE(ansi == std::vector<Read>(expected.begin(), expected.begin() + 3));
}

}  // namespace
