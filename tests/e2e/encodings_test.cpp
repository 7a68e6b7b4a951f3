// Series lists as editors save them: every encoding Notepad's save dialog
// offers, with accented names, and a UTF-8 list with one line in ANSI; an
// ANSI list that is valid UTF-8 by chance;
// a name the ANSI code page (1252 here) cannot hold. Series files with
// accents are made through their ANSI names, or through the W functions
// when the code page has no name for them.
#include "tests/e2e/installer_fixture.h"

namespace {

enum class Encoding { Ansi, Utf8, Utf8Bom, Utf16Le, Utf16Be, Utf8AnsiLine };

std::string Utf16(const std::wstring &text, bool fLittle)
{
    std::string bytes = fLittle ? "\xFF\xFE" : "\xFE\xFF";
    for (wchar_t wch : text) {
        char lo = (char)(wch & 0xFF), hi = (char)(wch >> 8);
        bytes += fLittle ? lo : hi;
        bytes += fLittle ? hi : lo;
    }
    return bytes;
}

std::string Encode(Encoding encoding, const std::wstring &text)
{
    switch (encoding) {
    case Encoding::Ansi:
        return driver::Narrow(text, CP_ACP);
    case Encoding::Utf8:
        return driver::Narrow(text, CP_UTF8);
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + driver::Narrow(text, CP_UTF8);
    case Encoding::Utf16Le:
        return Utf16(text, true);
    case Encoding::Utf16Be:
        return Utf16(text, false);
    case Encoding::Utf8AnsiLine: {
        // The first line pasted from an old ANSI file: its stray byte costs
        // only that line.
        const size_t iSecond = text.find(L"\r\n") + 2;
        return driver::Narrow(text.substr(0, iSecond), CP_ACP) + driver::Narrow(text.substr(iSecond), CP_UTF8);
    }
    }
    return "";
}

// As Notepad's save dialog names them, and as a test name can hold them.
void PrintTo(Encoding encoding, std::ostream *os)
{
    const char *const apsz[] = {"ANSI", "UTF-8", "UTF-8 met BOM", "UTF-16 LE", "UTF-16 BE",
                                "UTF-8 met een regel in ANSI"};
    *os << apsz[(int)encoding];
}

std::string EncodingName(const ::testing::TestParamInfo<Encoding> &info)
{
    const char *const apsz[] = {"ANSI", "UTF8", "UTF8metBOM", "UTF16LE", "UTF16BE", "UTF8metANSIregel"};
    return apsz[(int)info.param];
}

class EncodedList : public InstallerRun {
protected:
    // Runs the installer on the list into the data folder; returns the
    // closing box's text as it stands.
    std::wstring RunList(const std::string &list, const std::string &caption, driver::Here here = {})
    {
        WriteList(list);
        std::wstring text;
        InstallTo(data, caption, &text, here);
        return text;
    }

    std::wstring StartPathW(const std::wstring &name) const { return driver::Widen(start, CP_ACP) + L"\\" + name; }
    std::wstring DataPathW(const std::wstring &name) const { return driver::Widen(data, CP_ACP) + L"\\" + name; }
};

class EveryEncoding : public EncodedList, public ::testing::WithParamInterface<Encoding> {};

// The list installs exactly what the same list saved as ANSI installs.
TEST_P(EveryEncoding, InstallsTheAccentedSeries)
{
    const std::wstring names[] = {L"Café-weetjes.dat", L"Aardrijkskunde België.dat",
                                  L"Taal (één of twee).dat", L"Curaçao.dat", L"plain.dat"};
    std::wstring list;
    for (const std::wstring &name : names) {
        AddSeries({driver::Narrow(name, CP_ACP)});
        list += name + L"\r\n";
    }
    AddSeries({"Lees mij.txt"});
    list += L"Lees mij.txt";
    EXPECT_EQ(RunList(Encode(GetParam(), list), "Succes"), driver::Widen(kSuccessText, CP_ACP));
    for (const std::wstring &name : names)
        EXPECT_TRUE(InDataOnly(driver::Narrow(name, CP_ACP)));
    EXPECT_TRUE(InStartOnly("Lees mij.txt"));
    EXPECT_TRUE(ListDeleted());
}

INSTANTIATE_TEST_SUITE_P(Notepad, EveryEncoding,
                         ::testing::Values(Encoding::Ansi, Encoding::Utf8, Encoding::Utf8Bom,
                                           Encoding::Utf16Le, Encoding::Utf16Be,
                                           Encoding::Utf8AnsiLine),
                         EncodingName);

// "CafÃ©.dat" in Windows-1252 has the bytes of "Café.dat" in UTF-8: the list
// moves the file its bytes always named, and leaves a file of the other
// reading alone.
TEST_F(EncodedList, AnAnsiListThatIsValidUtf8MovesWhatItAlwaysMoved)
{
    const std::string listed[] = {driver::Narrow(L"CafÃ©.dat", CP_ACP),
                                  driver::Narrow(L"Aardrijkskunde BelgiÃ«.dat", CP_ACP)};
    std::string list;
    for (const std::string &name : listed) {
        AddSeries({name});
        list += name + "\r\n";
    }
    const std::string other = driver::Narrow(L"Café.dat", CP_ACP);
    AddSeries({other});
    ASSERT_EQ(list.substr(0, 10), "Caf\xC3\xA9.dat\r") << "not UTF-8 by chance";
    EXPECT_EQ(RunList(list, "Succes"), driver::Widen(kSuccessText, CP_ACP));
    for (const std::string &name : listed)
        EXPECT_TRUE(InDataOnly(name));
    EXPECT_TRUE(InStartOnly(other));
    EXPECT_TRUE(ListDeleted());
}

// A file of that other reading already in the data folder, say an older
// series, never keeps the file the list means from being installed.
TEST_F(EncodedList, AFileOfTheRawNameInTheDataFolderDoesNotStopTheSeries)
{
    const std::string meant = driver::Narrow(L"Café.dat", CP_ACP);
    const std::string raw = driver::Narrow(L"CafÃ©.dat", CP_ACP);
    AddSeries({meant});
    driver::WriteFile(DataPath(raw), "ouder");
    EXPECT_EQ(RunList(Encode(Encoding::Utf8, L"Café.dat\r\n"), "Succes"), driver::Widen(kSuccessText, CP_ACP));
    EXPECT_TRUE(InDataOnly(meant));
    EXPECT_TRUE(driver::HasBytes(DataPath(raw), "ouder"));
}

// The warning names this series alone, with this cause under it.
::testing::AssertionResult NamedAlone(const std::wstring &text, const std::wstring &name,
                                      const std::wstring &cause)
{
    if (NamesShown(text) != NotMovedTextW({name})
        || text.find(L"\n" + name + L"\n    " + cause) == std::wstring::npos)
        return ::testing::AssertionFailure() << driver::Narrow(text, CP_UTF8);
    return ::testing::AssertionSuccess();
}

// Code page 1252 has no "Ł" nor "ź": the series stays, the warning names it
// as written (no question marks, no "Lodz"), the list stays for another
// run, and the other series move, one of them from behind such a folder.
TEST_F(EncodedList, ANameTheCodePageCannotHoldIsNamedAsWrittenAndKept)
{
    const std::wstring lodz = L"Łódź.dat";
    const std::string lodzBytes = driver::SeriesBytes("lodz");
    driver::WriteFileW(StartPathW(lodz), lodzBytes);
    AddSeries({"plain.dat", "elders.dat"});
    const std::string list = Encode(Encoding::Utf8, lodz + L"\r\nplain.dat\r\nŁódź\\elders.dat\r\n");

    EXPECT_TRUE(NamedAlone(RunList(list, "Let op"), lodz, L"codetabel 1252 kan deze naam niet bevatten"));
    std::string bytes;
    EXPECT_TRUE(driver::ReadFileW(StartPathW(lodz), &bytes) && bytes == lodzBytes);
    EXPECT_FALSE(driver::FileExistsW(DataPathW(lodz)));
    EXPECT_TRUE(InDataOnly("plain.dat"));
    EXPECT_TRUE(InDataOnly("elders.dat"));
    EXPECT_TRUE(ListKept(list));
}

// The names zip tools give "Café-weetjes.rrs" when Explorer unpacks the zip
// on a Dutch machine (ANSI 1252, OEM 850): these run with LC_ALL=nl_NL.UTF-8.
// Only those forms count: a name without the accent is another series, and
// of two forms, which one was meant cannot be told.
struct ZipToolCase {
    const char *label;
    const wchar_t *unpacked;
    const wchar_t *cause;                   // nullptr: installed as the listed series
    const wchar_t *alsoUnpacked = nullptr;  // a second form beside it
};

const ZipToolCase kZipToolCases[] = {
    {"Utf8ReadAsOem", L"Caf\u251C\u00AE-weetjes.rrs", nullptr},     // Info-ZIP's zip
    {"Decomposed", L"Cafe\u0301-weetjes.rrs", nullptr},             // the Mac's archivers
    {"DecomposedUtf8ReadAsOem", L"Cafe\u2560\u00FC-weetjes.rrs", nullptr},
    {"AnsiReadAsOem", L"Caf\u00DA-weetjes.rrs", nullptr},           // a Windows tool in 1252
    {"LookAlike", L"Cafe-weetjes.rrs", L"staat niet in de map van het pakket"},
    {"TwoForms", L"Caf\u251C\u00AE-weetjes.rrs", L"staat er in meer dan \u00e9\u00e9n vorm",
     L"Cafe\u0301-weetjes.rrs"},
};

class ZipToolForm : public EncodedList, public ::testing::WithParamInterface<ZipToolCase> {
protected:
    void SetUp() override
    {
        EncodedList::SetUp();
        ASSERT_EQ(GetOEMCP(), 850u) << "run with LC_ALL=nl_NL.UTF-8";
        ASSERT_EQ(GetACP(), 1252u);
    }
};

TEST_P(ZipToolForm, IsTakenForTheListedSeriesOnlyAsAZipToolNamesIt)
{
    const std::wstring listed = L"Café-weetjes.rrs";
    const std::string bytes = driver::SeriesBytes("weetjes");
    const std::wstring unpacked = GetParam().unpacked;
    ASSERT_TRUE(driver::WriteFileW(StartPathW(unpacked), bytes));
    if (GetParam().alsoUnpacked != nullptr) {
        ASSERT_TRUE(driver::WriteFileW(StartPathW(GetParam().alsoUnpacked), bytes));
    }
    const std::string list = Encode(Encoding::Utf8, listed + L"\r\n");
    std::string got;
    if (GetParam().cause == nullptr) {
        EXPECT_EQ(RunList(list, "Succes"), driver::Widen(kSuccessText, CP_ACP));
        EXPECT_TRUE(driver::ReadFileW(DataPathW(listed), &got) && got == bytes);
        EXPECT_FALSE(driver::FileExistsW(StartPathW(unpacked)));
        EXPECT_TRUE(ListDeleted());
    } else {
        EXPECT_TRUE(NamedAlone(RunList(list, "Let op"), listed, GetParam().cause));
        EXPECT_TRUE(driver::ReadFileW(StartPathW(unpacked), &got) && got == bytes);
        if (GetParam().alsoUnpacked != nullptr) {
            EXPECT_TRUE(driver::ReadFileW(StartPathW(GetParam().alsoUnpacked), &got) && got == bytes);
        }
        EXPECT_FALSE(driver::FileExistsW(DataPathW(listed)));
        EXPECT_TRUE(ListKept(list));
    }
    EXPECT_FALSE(driver::FileExistsW(DataPathW(unpacked)));
}

INSTANTIATE_TEST_SUITE_P(ZipTool, ZipToolForm, ::testing::ValuesIn(kZipToolCases),
                         [](const ::testing::TestParamInfo<ZipToolCase> &info) {
                             return std::string(info.param.label);
                         });

}  // namespace
