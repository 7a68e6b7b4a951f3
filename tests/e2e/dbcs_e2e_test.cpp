// The real installer under the double-byte ANSI code page 932, with folder
// and file names holding characters whose trail byte is "\" (0x5C) or "|"
// (0x7C): such a byte belongs to its character and is never a separator or
// a forbidden character. ctest runs this program, and so the installer it
// starts, under a Japanese locale. Names on disk are also read back through
// the wide functions, so that a test passes only when the bytes made the
// intended characters.
#include "tests/e2e/found_run.h"
#include "tests/discovery/install_tree.h"
#include <shlobj.h>
#include <algorithm>

namespace {

const std::string kHyo = "\x95\x5C";   // U+8868
const std::string kSo = "\x83\x5C";    // U+30BD
const std::string kNo = "\x94\x5C";    // U+80FD
const std::string kYo = "\x97\x5C";    // U+4E88
const std::string kPo = "\x83\x7C";    // U+30DD, trail byte "|"
const std::string kTei = "\x92\xE8";   // U+5B9A
const std::string kSabu = "\x83\x54\x83\x75";   // U+30B5 U+30D6

// A series file's name in the list's bytes and as the file system must hold it.
struct Name {
    std::string ansi;
    std::wstring wide;
};

const Name kSoDat = {kSo + ".dat", L"\u30BD.dat"};
const Name kYoteiHyoDat = {kYo + kTei + kHyo + ".dat", L"\u4E88\u5B9A\u8868.dat"};
const Name kNoPoDat = {kNo + kPo + ".dat", L"\u80FD\u30DD.dat"};
const Name kHyoBare = {kHyo, L"\u8868"};

// The names in a folder as the wide functions list them, sorted.
std::vector<std::wstring> ListFolderW(const std::string &path)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((driver::Widen(path, CP_ACP) + L"\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::wstring> WideNames(const std::vector<Name> &names)
{
    std::vector<std::wstring> wide;
    for (const Name &name : names)
        wide.push_back(name.wide);
    std::sort(wide.begin(), wide.end());
    return wide;
}

std::string ListOf(const std::vector<std::string> &entries)
{
    std::string list;
    for (const std::string &entry : entries)
        list += entry + "\r\n";
    return list;
}

// The runs from the other files of this program prove something only when
// the locale really gave them this code page.
TEST(CodePage, Is932)
{
    EXPECT_EQ(GetACP(), 932u);
}

class DbcsRun : public InstallerRun {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetACP(), 932u) << "run this under a Japanese locale";
        InstallerRun::SetUp();
        UseFolders(root + "\\nieuw" + kHyo, root + "\\data" + kHyo);
    }

    void UseFolders(const std::string &startFolder, const std::string &dataFolder)
    {
        start = startFolder;
        data = dataFolder;
        driver::MakeFolder(start);
        driver::MakeFolder(data);
    }

    void AddSeries(const std::vector<Name> &names)
    {
        for (const Name &name : names)
            InstallerRun::AddSeries({name.ansi});
    }

    // Each series installed, and the data folder holding exactly them by
    // their intended names.
    using InstallerRun::InDataOnly;
    ::testing::AssertionResult InDataOnly(const std::vector<Name> &names) const
    {
        for (const Name &name : names) {
            ::testing::AssertionResult result = InDataOnly(name.ansi);
            if (!result)
                return result;
        }
        if (ListFolderW(data) != WideNames(names))
            return ::testing::AssertionFailure() << "the data folder holds other names";
        return ::testing::AssertionSuccess();
    }
};

TEST_F(DbcsRun, BrowsedDataFolderTakesEverySeriesWhole)
{
    const std::vector<Name> series = {kSoDat, kYoteiHyoDat, kNoPoDat, kHyoBare};
    AddSeries(series);
    const std::string readMe = kYo + kTei + ".txt";
    InstallerRun::AddSeries({readMe});
    WriteList(ListOf({kSoDat.ansi, kYoteiHyoDat.ansi, kNoPoDat.ansi, kHyoBare.ansi, readMe}));

    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(driver::ItemText(hDlg, IDC_MESSAGE), kNotFoundText);
    // The start folder's name ends in 0x5C: only a real backslash makes it a folder.
    EXPECT_EQ(driver::ItemText(hDlg, IDC_DATAPATH), start + "\\");
    ASSERT_TRUE(BrowseTo(hDlg, data));
    driver::Press(hDlg, IDOK);
    EXPECT_EQ(AnswerMessageBox("Succes"), kSuccessText);
    EXPECT_TRUE(driver::EndsCleanly(inst));

    EXPECT_TRUE(InDataOnly(series));
    EXPECT_TRUE(InStartOnly(readMe));
    EXPECT_TRUE(ListDeleted());
    // The folders are the intended ones, beside the fixture's plain two.
    EXPECT_EQ(ListFolderW(root), (std::vector<std::wstring>{L"data", L"data\u8868", L"nieuw", L"nieuw\u8868"}));
}

TEST_F(DbcsRun, FolderPartEndingInATrailByteIsCutOffWhole)
{
    AddSeries({kSoDat});
    const std::string noDat = kNo + ".dat";   // listed, but not in the pack
    const std::string list = ListOf({kSabu + kHyo + "\\" + kSoDat.ansi, kSabu + kHyo + "/" + noDat});
    WriteList(list);

    std::string text = InstallTo(data, "Let op");

    EXPECT_EQ(text.find(kNotMovedStart), 0u) << text;
    EXPECT_NE(text.find("\n\n" + noDat + "\n    staat niet in"), std::string::npos) << text;
    EXPECT_EQ(text.find(kSabu), std::string::npos) << text;
    EXPECT_TRUE(InDataOnly({kSoDat}));
    EXPECT_TRUE(ListKept(list));
}

// ア (0x83 0x41) and ヂ (0x83 0x61) differ in a trail byte that looks like
// "A" and "a": two folders, which no letter-case rule makes one.
TEST_F(DbcsRun, DataFolderDifferingInATrailByteLikeALetterIsAnotherFolder)
{
    UseFolders(root + "\\\x83\x41", root + "\\\x83\x61");
    ASSERT_EQ(ListFolderW(root), (std::vector<std::wstring>{L"data", L"data\u8868", L"nieuw",
                                                            L"nieuw\u8868", L"\u30A2", L"\u30C2"}));
    AddSeries({kSoDat});
    WriteList(ListOf({kSoDat.ansi}));

    EXPECT_EQ(InstallTo(data, "Succes"), kSuccessText);
    EXPECT_TRUE(InDataOnly({kSoDat}));
    EXPECT_TRUE(ListDeleted());
}

// Raadrups found: the dialog offers the data folder its INI names, that
// folder and the installation's own both ending in 0x5C.
class DbcsFoundRun : public FoundRunOf<DbcsRun> {
protected:
    void SetUp() override
    {
        FoundRunOf<DbcsRun>::SetUp();
        CoInitialize(NULL);
    }

    void TearDown() override
    {
        FoundRunOf<DbcsRun>::TearDown();
        EXPECT_TRUE(made.Remove()) << "the shortcut or installation stayed behind";
        CoUninitialize();
    }

    void ExpectOfferedAndMoved(const std::vector<Name> &series, driver::Here here = {})
    {
        std::vector<std::string> entries;
        for (const Name &name : series)
            entries.push_back(name.ansi);
        AddSeries(series);
        WriteList(ListOf(entries));

        OkOnTheFoundDataFolder(here);
        driver::Check(here, InDataOnly(series));
        driver::Check(here, ListDeleted());
    }

    tree::TreeBuilder made;
};

// The folder above the start folder is found by the last real backslash,
// not by the start folder's own trail byte.
TEST_F(DbcsFoundRun, IniAboveAStartFolderEndingInATrailByte)
{
    ASSERT_TRUE(made.File(root + "\\tolpen.ini", "[Tolpen]\r\nData=.\\data" + kHyo + "\r\n"));
    ExpectOfferedAndMoved({kSoDat, kYoteiHyoDat});
}

TEST_F(DbcsFoundRun, ShortcutToAnInstallationInSuchAFolder)
{
    // Made parent first: the tree builder looks for parents at every 0x5C.
    const std::string install = root + "\\Raadrups" + kHyo;
    driver::MakeFolder(install);
    UseFolders(start, install + "\\data" + kHyo);
    ASSERT_TRUE(made.Installation(install, ".\\data" + kHyo));
    const std::string startMenu = tree::ShellFolder(CSIDL_COMMON_PROGRAMS);
    ASSERT_FALSE(startMenu.empty());
    ASSERT_TRUE(made.Folder(startMenu + "\\Raadrups"));
    ASSERT_TRUE(made.Shortcut(startMenu + "\\Raadrups\\Raadrups.lnk", install + "\\wimbelok.exe"));
    EXPECT_EQ(ListFolderW(install), (std::vector<std::wstring>{L"data\u8868", L"tolpen.ini", L"wimbelok.exe"}));

    ExpectOfferedAndMoved({kSoDat, kNoPoDat});
}

}  // namespace
