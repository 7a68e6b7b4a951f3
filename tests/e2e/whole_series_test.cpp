// A series stands in the data folder only whole, however the installer is
// ended, and the next run clears what an interrupted one left; and the
// places where the run must not take a guess for a fact.
#include "installer_fixture.h"
#include <algorithm>
#include <memory>
#include <string.h>

namespace {

const char kBig[] = "groot.dat";
const LONGLONG kBigBytes = 384ll << 20;

// A big series made quickly: a head and a tail around a sparse middle.
std::string BigHead() { return "Raadrups serie groot.dat, begin\r\n"; }
std::string BigTail() { return "\r\neinde van groot.dat"; }

void WriteBig(const std::string &path)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE) << path;
    DWORD cb = 0;
    std::string head = BigHead(), tail = BigTail();
    WriteFile(hFile, head.data(), (DWORD)head.size(), &cb, NULL);
    LARGE_INTEGER pos;
    pos.QuadPart = kBigBytes - (LONGLONG)tail.size();
    SetFilePointerEx(hFile, pos, NULL, FILE_BEGIN);
    WriteFile(hFile, tail.data(), (DWORD)tail.size(), &cb, NULL);
    CloseHandle(hFile);
}

// What the big series holds from off on, cb bytes of it.
void BigBytes(LONGLONG off, char *pb, DWORD cb)
{
    memset(pb, 0, cb);
    std::string head = BigHead(), tail = BigTail();
    LONGLONG offTail = kBigBytes - (LONGLONG)tail.size();
    for (size_t i = 0; i < head.size(); i++)
        if ((LONGLONG)i >= off && (LONGLONG)i < off + cb)
            pb[i - off] = head[i];
    for (size_t i = 0; i < tail.size(); i++)
        if (offTail + (LONGLONG)i >= off && offTail + (LONGLONG)i < off + cb)
            pb[offTail + i - off] = tail[i];
}

// Byte for byte the big series, and nothing more.
bool IsWholeBig(const std::string &path)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    const DWORD cbChunk = 1 << 20;
    std::unique_ptr<char[]> got(new char[cbChunk]), want(new char[cbChunk]);
    LONGLONG off = 0;
    bool fSame = true;
    DWORD cb = 0;
    while (fSame && ReadFile(hFile, got.get(), cbChunk, &cb, NULL) && cb > 0) {
        BigBytes(off, want.get(), cb);
        fSame = memcmp(got.get(), want.get(), cb) == 0;
        off += cb;
    }
    CloseHandle(hFile);
    return fSame && off == kBigBytes;
}

// The names in the data folder beside the listed series, with their sizes.
std::vector<std::pair<std::string, LONGLONG>> Others(const std::string &folder,
                                                     const std::vector<std::string> &listed)
{
    std::vector<std::pair<std::string, LONGLONG>> others;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return others;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == ".." || std::find(listed.begin(), listed.end(), name) != listed.end())
            continue;
        others.push_back({name, ((LONGLONG)fd.nFileSizeHigh << 32) | fd.nFileSizeLow});
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
    return others;
}

// Ended as a crash or a power cut would end it, in the middle of copying a
// big series: nothing of it stands under its name, and the next run
// installs it whole and leaves only whole series. That run clears the part
// of each listed series, also of one installed already, and nothing else.
TEST_F(InstallerRun, EndedWhileCopyingLeavesNoPartUnderTheNameAndTheNextRunFinishes)
{
    AddSeries({"a.dat"});
    WriteBig(StartPath(kBig));
    const std::string list = std::string("a.dat\r\n") + kBig + "\r\n";
    WriteList(list);

    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    BrowseTo(hDlg, data);
    driver::Press(hDlg, IDOK);
    bool fPartSeen = false, fNameSeen = false;
    DWORD dwStart = GetTickCount();
    while (!fPartSeen && GetTickCount() - dwStart < driver::kWaitMs) {
        fNameSeen = fNameSeen || driver::FileExists(DataPath(kBig));
        for (const auto &other : Others(data, {"a.dat", kBig}))
            fPartSeen = fPartSeen || (other.first.compare(0, strlen(kBig), kBig) == 0
                                      && other.second > 0 && other.second < kBigBytes);
        if (!fPartSeen)
            Sleep(2);
    }
    driver::Kill(inst);
    ASSERT_TRUE(fPartSeen) << "the copy of " << kBig << " was not caught under way";
    EXPECT_FALSE(fNameSeen || driver::FileExists(DataPath(kBig))) << "part of " << kBig << " stood under its name";
    ExpectInDataOnly("a.dat");
    EXPECT_TRUE(IsWholeBig(StartPath(kBig)));
    ExpectListKept(list);

    auto left = Others(data, {"a.dat", kBig});
    ASSERT_EQ(left.size(), 1u);
    ASSERT_EQ(left[0].first.compare(0, strlen(kBig), kBig), 0) << left[0].first;
    const std::string suffix = left[0].first.substr(strlen(kBig));
    driver::WriteFile(DataPath("a.dat" + suffix), "deel");     // as if a.dat's run was ended too
    driver::WriteFile(DataPath("ander.dat" + suffix), "niet van deze lijst");

    hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    BrowseTo(hDlg, data);
    driver::Press(hDlg, IDOK);
    EXPECT_EQ(AnswerMessageBox("Succes"), kSuccessText);
    ExpectCleanExit();
    EXPECT_TRUE(IsWholeBig(DataPath(kBig))) << kBig << " is not installed byte for byte";
    EXPECT_FALSE(driver::FileExists(StartPath(kBig)));
    ExpectInDataOnly("a.dat");
    std::vector<std::string> want = {"a.dat", "ander.dat" + suffix, kBig};
    EXPECT_EQ(driver::ListFolder(data), want);
    ExpectListDeleted();
    driver::RemoveTree(root);   // the big copy is not left for the rig's disk
}

// A source that is there but cannot be read is no series moved by an
// earlier run, even with a version of that name in the data folder.
TEST_F(InstallerRun, UnreadableSourceIsNotTakenForInstalled)
{
    AddSeries({"b.dat"});
    if (!driver::MakeUnixLink(StartPath("a.dat"), "/tmp/" + std::string(300, 'x') + "/a.dat"))
        GTEST_SKIP() << "the rig cannot make a Unix link";
    driver::WriteFile(DataPath("a.dat"), "vorige versie");
    const std::string list = "a.dat\r\nb.dat\r\n";
    WriteList(list);

    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    BrowseTo(hDlg, data);
    driver::Press(hDlg, IDOK);
    std::string text = AnswerMessageBox("Let op");
    ExpectCleanExit();
    EXPECT_NE(text.find("\na.dat\n"), std::string::npos) << text;
    std::string bytes;
    EXPECT_TRUE(driver::ReadFile(DataPath("a.dat"), &bytes) && bytes == "vorige versie");
    ExpectInDataOnly("b.dat");
    ExpectListKept(list);
}

// Raadrups found, but its INI file names no data folder, and the dialog
// cannot be shown: "\" was never chosen, so nothing goes there.
TEST_F(InstallerRun, FoundWithoutDataFolderAndWithoutDialogMovesNothing)
{
    driver::WriteFile(root + "\\tolpen.ini", "[Tolpen]\r\nTaal=NL\r\n");
    AddSeries({"a.dat"});
    const std::string list = "a.dat\r\n";
    WriteList(list);
    const std::string exe = root + "\\instrrse-zonder-dialoog.exe";
    ASSERT_TRUE(driver::CopyWithoutDialog(driver::ProgramFolder() + "instrrse.exe", exe));

    ASSERT_TRUE(driver::Start(inst, exe, start));
    EXPECT_TRUE(driver::ShowsNothingFor(inst, driver::kWaitMs));
    ExpectCleanExit();
    ExpectInStartOnly("a.dat");
    EXPECT_FALSE(driver::FileExists("C:\\a.dat"));
    ExpectListKept(list);
}

// A Data value longer than the INI reader's buffer arrives cut short, and
// a cut path names another folder: the dialog offers none.
TEST_F(InstallerRun, DataValueCutShortByTheReaderIsNotOffered)
{
    std::string value = data + "\\" + std::string(300, 'r');
    driver::WriteFile(root + "\\tolpen.ini", "[Tolpen]\r\nData=" + value + "\r\n");
    AddSeries({"a.dat"});
    WriteList("a.dat\r\n");

    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(driver::ItemText(hDlg, IDC_DATAPATH), "\\");
    driver::Press(hDlg, IDCANCEL);
    ExpectSilentExit(hDlg);
    ExpectInStartOnly("a.dat");
}

}  // namespace
