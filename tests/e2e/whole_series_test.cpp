// A series stands in the data folder only whole, however the installer is
// ended, and the next run clears what an interrupted one left; and the
// places where the run must not take a guess for a fact.
#include "tests/e2e/installer_fixture.h"
#include <string.h>

namespace {

const char kBig[] = "groot.dat";
const char kPartFolder[] = "delen.instrrse-deel";   // in the data folder
const DWORD kChunk = 1 << 20;
const LONGLONG kBigBytes = 384ll * kChunk;
const std::string kBigHead = "Raadrups serie groot.dat, begin\r\n", kBigTail = "\r\neinde";

// A big series made quickly: a head and a tail around a sparse middle.
void WriteBig(const std::string &path)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD cb = 0;
    WriteFile(hFile, kBigHead.data(), (DWORD)kBigHead.size(), &cb, NULL);
    LARGE_INTEGER pos;
    pos.QuadPart = kBigBytes - (LONGLONG)kBigTail.size();
    SetFilePointerEx(hFile, pos, NULL, FILE_BEGIN);
    WriteFile(hFile, kBigTail.data(), (DWORD)kBigTail.size(), &cb, NULL);
    CloseHandle(hFile);
}

// Byte for byte the big series, and nothing more.
bool IsWholeBig(const std::string &path)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    std::string got(kChunk, '\0');
    LONGLONG off = 0;
    DWORD cb = 0;
    bool fSame = hFile != INVALID_HANDLE_VALUE;
    while (fSame && ReadFile(hFile, &got[0], kChunk, &cb, NULL) && cb > 0) {
        std::string want(kChunk, '\0');
        if (off == 0)
            want.replace(0, kBigHead.size(), kBigHead);
        if (off + kChunk == kBigBytes)
            want.replace(kChunk - kBigTail.size(), kBigTail.size(), kBigTail);
        fSame = cb == kChunk && got == want;
        off += cb;
    }
    if (hFile != INVALID_HANDLE_VALUE)
        CloseHandle(hFile);
    return fSame && off == kBigBytes;
}

// The names in the folder that begin with a series' name without being it,
// with their sizes.
std::vector<std::pair<std::string, LONGLONG>> Parts(const std::string &folder, const std::string &series)
{
    std::vector<std::pair<std::string, LONGLONG>> parts;
    for (const std::string &name : driver::ListFolder(folder)) {
        WIN32_FILE_ATTRIBUTE_DATA fad;
        if (name != series && name.compare(0, series.size(), series) == 0
            && GetFileAttributesExA((folder + "\\" + name).c_str(), GetFileExInfoStandard, &fad))
            parts.push_back({name, ((LONGLONG)fad.nFileSizeHigh << 32) | fad.nFileSizeLow});
    }
    return parts;
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

    const std::string parts = data + "\\" + kPartFolder;
    HWND hDlg = StartDialog();
    ASSERT_NE(hDlg, nullptr);
    ASSERT_TRUE(BrowseTo(hDlg, data));
    driver::Press(hDlg, IDOK);
    bool fPartSeen = false, fNameSeen = false;
    DWORD dwStart = GetTickCount();
    while (!fPartSeen && !fNameSeen && GetTickCount() - dwStart < driver::kWaitMs) {
        fNameSeen = fNameSeen || driver::FileExists(DataPath(kBig));
        for (const auto &part : Parts(parts, kBig))
            fPartSeen = fPartSeen || (part.second > 0 && part.second < kBigBytes);
        if (!fPartSeen)
            Sleep(2);
    }
    driver::Kill(inst);
    ASSERT_FALSE(fNameSeen || driver::FileExists(DataPath(kBig))) << "part of " << kBig << " stood under its name";
    ASSERT_TRUE(fPartSeen) << "the copy of " << kBig << " was not caught under way";
    EXPECT_TRUE(InDataOnly("a.dat"));
    EXPECT_TRUE(IsWholeBig(StartPath(kBig)));
    EXPECT_TRUE(ListKept(list));

    auto left = Parts(parts, kBig);
    ASSERT_EQ(driver::ListFolder(data).size(), 2u);
    ASSERT_EQ(left.size(), 1u);
    const std::string suffix = left[0].first.substr(strlen(kBig));
    driver::WriteFile(parts + "\\a.dat" + suffix, "deel");     // as if a.dat's run was ended too
    driver::WriteFile(parts + "\\ander.dat" + suffix, "niet van deze lijst");

    EXPECT_EQ(InstallTo(data, "Succes"), SuccessTextNaming({"a.dat"}));
    EXPECT_TRUE(IsWholeBig(DataPath(kBig))) << kBig << " is not installed byte for byte";
    EXPECT_FALSE(driver::FileExists(StartPath(kBig)));
    EXPECT_TRUE(InDataOnly("a.dat"));
    std::vector<std::string> want = {"a.dat", kPartFolder, kBig};
    EXPECT_EQ(driver::ListFolder(data), want);
    EXPECT_EQ(driver::ListFolder(parts), std::vector<std::string>{"ander.dat" + suffix});
    EXPECT_TRUE(ListDeleted());
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

    std::string text = InstallTo(data, "Let op");
    EXPECT_NE(text.find("\na.dat\n"), std::string::npos) << text;
    EXPECT_TRUE(driver::HasBytes(DataPath("a.dat"), "vorige versie"));
    EXPECT_TRUE(InDataOnly("b.dat"));
    EXPECT_TRUE(ListKept(list));
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
    ASSERT_TRUE(driver::CopyWithoutDialog(driver::InstallerPath(), exe));

    ASSERT_TRUE(driver::Start(inst, exe, start));
    EXPECT_TRUE(driver::ShowsNothingFor(inst, driver::kWaitMs));
    EXPECT_TRUE(driver::EndsCleanly(inst));
    EXPECT_TRUE(InStartOnly("a.dat"));
    EXPECT_FALSE(driver::FileExists("C:\\a.dat"));
    EXPECT_TRUE(ListKept(list));
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
    EXPECT_TRUE(driver::EndsSilently(inst, hDlg));
    EXPECT_TRUE(InStartOnly("a.dat"));
}

}  // namespace

namespace {

// A big series between two small ones, and a run that takes its time.
class LongRun : public InstallerRun {
protected:
    const std::string list = std::string("a.dat\r\n") + kBig + "\r\nz.dat\r\n";

    // The pack laid out (the big series is the test's own) and "Ok" pressed
    // on the data folder.
    ::testing::AssertionResult OkOnTheDataFolder()
    {
        AddSeries({"a.dat", "z.dat"});
        WriteList(list);
        HWND hDlg = StartDialog();
        if (hDlg == nullptr)
            return ::testing::AssertionFailure() << "no data-folder dialog";
        ::testing::AssertionResult browsed = BrowseTo(hDlg, data);
        if (browsed)
            driver::Press(hDlg, IDOK);
        return browsed;
    }
};

// A second double-click while the first run copies: the second touches
// nothing and says so, and the first installs every series whole.
TEST_F(LongRun, SecondStartOnTheSamePackLeavesTheFirstRunAlone)
{
    WriteBig(StartPath(kBig));
    ASSERT_TRUE(OkOnTheDataFolder());
    const std::string parts = data + "\\" + kPartFolder;
    bool fCopying = false;
    for (DWORD dwStart = GetTickCount(); !fCopying && GetTickCount() - dwStart < driver::kWaitMs; Sleep(2))
        for (const auto &part : Parts(parts, kBig))
            fCopying = fCopying || part.second > 0;
    ASSERT_TRUE(fCopying) << "the first run was not caught copying " << kBig;

    driver::Installer second;
    ASSERT_TRUE(driver::Start(second, driver::InstallerPath(), start));
    HWND hBusy = driver::WaitForDialog(second, "Let op");
    ASSERT_NE(hBusy, nullptr) << "the second run said nothing";
    EXPECT_NE(driver::MessageBoxText(hBusy).find("al bezig"), std::string::npos)
        << driver::MessageBoxText(hBusy);
    driver::Press(hBusy, IDOK);
    DWORD dwExit = 1;
    EXPECT_TRUE(driver::WaitForExit(second, &dwExit));

    EXPECT_EQ(AnswerMessageBox("Succes"), kSuccessText);
    EXPECT_TRUE(driver::EndsCleanly(inst));
    EXPECT_TRUE(InDataOnly("a.dat"));
    EXPECT_TRUE(InDataOnly("z.dat"));
    EXPECT_TRUE(IsWholeBig(DataPath(kBig))) << kBig << " is not installed byte for byte";
    EXPECT_FALSE(driver::FileExists(StartPath(kBig)));
    EXPECT_TRUE(ListDeleted());
    driver::RemoveTree(root);
}

// Every text the window shows, its own and its controls'.
std::wstring TextsOf(HWND hwnd)
{
    std::wstring texts = driver::WindowTextW(hwnd);
    for (HWND hChild = GetWindow(hwnd, GW_CHILD); hChild != NULL; hChild = GetWindow(hChild, GW_HWNDNEXT))
        texts += L"\n" + driver::WindowTextW(hChild);
    return texts;
}

// Stopped in the middle of a long copy: that copy is abandoned, what was
// installed stays, the rest stays in the pack, and the box says so soon.
TEST_F(LongRun, StoppedWhileCopyingKeepsWhatIsInAndLosesNothing)
{
    const LONGLONG cbHuge = 3ll << 30;
    HANDLE hFile = CreateFileA(StartPath(kBig).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    LARGE_INTEGER size;
    size.QuadPart = cbHuge;
    ASSERT_TRUE(SetFilePointerEx(hFile, size, NULL, FILE_BEGIN) && SetEndOfFile(hFile));
    CloseHandle(hFile);
    ASSERT_TRUE(OkOnTheDataFolder());
    HWND hProgress = driver::WaitForProgress(inst);
    ASSERT_NE(hProgress, nullptr) << "no progress window";
    EXPECT_NE(TextsOf(hProgress).find(L"groot.dat"), std::wstring::npos) << driver::Narrow(TextsOf(hProgress), CP_UTF8);
    // The README shows this window: <build>/artifacts/progress-window.bmp.
    CreateDirectoryA((driver::ProgramFolder() + "..\\artifacts").c_str(), NULL);
    driver::SaveWindowBmp(hProgress, driver::ProgramFolder() + "..\\artifacts\\progress-window.bmp");
    driver::Press(hProgress, IDCANCEL);

    HWND hBox = driver::WaitForDialog(inst, "Let op", 5000);
    ASSERT_NE(hBox, nullptr) << "no warning within five seconds of the press";
    EXPECT_FALSE(IsWindow(hProgress) && IsWindowVisible(hProgress)) << "the progress window stayed";
    std::string text = driver::MessageBoxText(hBox);
    driver::Press(hBox, IDOK);
    EXPECT_TRUE(driver::EndsCleanly(inst));
    EXPECT_EQ(NamesShown(text), std::string(kNotMovedStart) + "\n\n" + kBig + "\nz.dat\n");
    EXPECT_NE(text.find("gestopt"), std::string::npos) << text;
    EXPECT_TRUE(InDataOnly("a.dat"));
    EXPECT_TRUE(InStartOnly("z.dat"));
    WIN32_FILE_ATTRIBUTE_DATA fad;
    ASSERT_TRUE(GetFileAttributesExA(StartPath(kBig).c_str(), GetFileExInfoStandard, &fad));
    EXPECT_EQ(((LONGLONG)fad.nFileSizeHigh << 32) | fad.nFileSizeLow, cbHuge);
    EXPECT_EQ(driver::ListFolder(data), std::vector<std::string>{"a.dat"});
    EXPECT_TRUE(ListKept(list));
    driver::RemoveTree(root);
}

}  // namespace
