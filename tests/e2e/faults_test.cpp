// The fault matrix: the real installer run into each way a move can fail
// that the rig can stage, every row held to the same four promises.
//  1. Nothing lost: each listed series is, byte for byte, in the start
//     folder or in the data folder afterwards; an installed one is never
//     read-only.
//  2. Nothing outside: files are created or replaced only directly in the
//     data folder and deleted only directly in the start folder; a series
//     that was not installed leaves its name in the data folder as it was
//     (no half copy posing as a series).
//  3. Honest end: "Succes" only when every listed series is installed;
//     a warning names exactly the series not installed; the list stays,
//     byte for byte, unless every series is installed.
//  4. Always ends: exit code 0 once the dialog and the box are answered.
// Driven elsewhere and not repeated here: a data folder removed after
// browsing to it (DataFolderGoneBeforeOkKeepsEverySeries), a folder in the
// way of a series (FailedMoveIsWarnedAboutAndASecondRunFinishes), and the
// start folder being the data folder by the very same name
// (StartedInTheDataFolderItselfShowsNothingAndDeletesTheList).
#include "tests/e2e/installer_fixture.h"
#include <map>
#include <stdio.h>

namespace {

using driver::LongPath;
using driver::NamesIn;
using driver::ReadAll;

const char kListName[] = "teinstal.txt";
const char kRestUnread[] = "(de rest van de lijst teinstal.txt kon niet worden gelezen)";

// Files through the wide functions: some rows use paths past MAX_PATH,
// where the ANSI ones stop.
bool WriteAll(const std::string &path, const std::string &bytes)
{
    return driver::WriteFileW(LongPath(path), bytes);
}

// A fresh, empty folder (its parent must exist).
std::string Fresh(const std::string &path)
{
    driver::RemoveTree(path);
    driver::MakeFolder(path);
    return path;
}

std::string Parent(const std::string &path)
{
    size_t pos = path.find_last_of('\\');
    return pos == std::string::npos || pos < 3 ? "" : path.substr(0, pos);
}

// Every entry of the given folders with its content (subfolders by name
// only), keyed by its path.
typedef std::map<std::string, std::string> Snapshot;

Snapshot Take(const std::vector<std::string> &folders)
{
    Snapshot snap;
    for (const std::string &folder : folders)
        for (const std::string &name : NamesIn(folder))
            snap[folder + "\\" + name] = name.back() == '\\' ? "" : ReadAll(folder + "\\" + name);
    return snap;
}

// ---- the rows

enum class Outcome {
    Installed,   // in the data folder byte for byte afterwards
    Moved,       // installed, and gone from the start folder
    NotMoved,    // still in the start folder, named in the warning
    Either,      // up to the platform; the promises decide
    Unread,      // listed where the list cannot be read: stays, unnamed
};

enum class End { Success, Warning, Silent };

struct Series {
    std::string name;
    Outcome outcome;
    std::string old;        // a version already in the data folder ("" none)
    size_t cb = 0;          // its size when bigger than the usual bytes
    DWORD dwAttr = 0;       // attributes given to the series itself
    DWORD dwOldAttr = 0;    // and to the old version
};

std::string Bytes(const Series &s)
{
    std::string bytes = driver::SeriesBytes(s.name);
    while (bytes.size() < s.cb)
        bytes += bytes.substr(0, s.cb - bytes.size());
    return bytes;
}

// The file a row holds open over the run, as Raadrups or a virus scanner
// would: a.dat of the start folder (the source) or of the data folder.
enum class Held { Nothing, Source, Target };

struct Hold {
    Held file = Held::Nothing;
    DWORD dwAccess = 0, dwShare = 0;
    DWORD msHeld = 0;     // let go this long after "Ok" (0: once the run is over)
    bool retry = false;   // let go while the warning is open, and the user tries again
};

struct Layout {
    std::string start;      // where the installer starts, no backslash at the end
    std::string data;       // the data folder as the test looks at it
    std::string box;        // the folder chosen in the dialog ("": data)
    std::string oldIn;      // where old versions are written ("": data)
    std::vector<Series> series;
    bool listInPlace = false;   // the row brings its own list
    std::string exe;            // "": the installer as built
    bool dialog = true;
    End end = End::Warning;
    Hold hold = {};
    DWORD msBox = driver::kWaitMs;   // the closing box comes within this of "Ok"
    std::string cause;          // words the cause under each series not moved holds
    std::string skip;
};

// A row either arranges a layout of its own (mounts, drives, paths) or has
// start and data folder side by side, holding these series.
struct Row {
    const char *name;
    void (*arrange)(Layout &lay, const std::string &root);   // NULL: side by side
    std::vector<Series> series = {};
    End end = End::Warning;
    const char *cause = "";
    Hold hold = {};
    DWORD msBox = driver::kWaitMs;
};

// Start and data folder side by side in the row's own folder.
void SideBySide(Layout &lay, const std::string &root)
{
    lay.start = root + "\\nieuw";
    lay.data = root + "\\data";
    driver::MakeFolder(lay.start);
    driver::MakeFolder(lay.data);
}

void DataFolderMissing(Layout &lay, const std::string &root)
{
    SideBySide(lay, root);
    driver::RemoveTree(lay.data);
    lay.series = {{"a.dat", Outcome::NotMoved, ""}, {"b.dat", Outcome::NotMoved, ""}};
    lay.cause = "de data-map bestaat niet";
}

// Root passes every permission check, and Windows ignores the read-only
// attribute of a folder: only a read-only mount stops the writes.
void DataFolderReadOnly(Layout &lay, const std::string &root)
{
    SideBySide(lay, root);
    lay.oldIn = Fresh("C:\\rrfaults\\rw\\ReadOnly");
    lay.data = "C:\\rrfaults\\ro\\ReadOnly";
    if (!WriteAll(lay.oldIn + "\\probe", "") || WriteAll(lay.data + "\\probe2", "")
        || ReadAll(lay.data + "\\probe") != "")
        lay.skip = "no read-only mount at C:\\rrfaults\\ro (faults_mount.sh needs root and mount)";
    DeleteFileW(LongPath(lay.oldIn + "\\probe").c_str());
    lay.series = {{"a.dat", Outcome::NotMoved, "vorige versie"}, {"b.dat", Outcome::NotMoved, ""}};
    lay.cause = "schrijven";
}

// A folder where the series goes, told as such rather than as rights.
void FolderInTheWay(Layout &lay, const std::string &root)
{
    SideBySide(lay, root);
    driver::MakeFolder(lay.data + "\\a.dat");
    lay.series = {{"a.dat", Outcome::NotMoved, ""}, {"b.dat", Outcome::Installed, ""}};
    lay.cause = "in de data-map staat een map met deze naam";
}

// The rig maps Y: onto C:\rrtest\alias.
void DataIsStartOnDriveY(Layout &lay, const std::string &)
{
    std::string root = Fresh("C:\\rrtest\\alias\\Faults.DriveY");
    lay.start = lay.data = root + "\\nieuw";
    driver::MakeFolder(lay.start);
    lay.box = "Y:\\Faults.DriveY\\nieuw";
    if (!driver::SameFolder(lay.start, lay.box))
        lay.skip = "the rig maps no Y: drive onto C:\\rrtest\\alias";
    lay.series = {{"a.dat", Outcome::Installed, ""}, {"b.dat", Outcome::Installed, ""}};
    lay.end = End::Silent;
}

// Taken for the start folder itself: nothing to do, the list is done with.
void DataIsStartInOtherCase(Layout &lay, const std::string &root)
{
    lay.start = lay.data = root + "\\nieuw";
    driver::MakeFolder(lay.start);
    lay.box = driver::Upper(lay.start);
    lay.series = {{"a.dat", Outcome::Installed, ""}, {"b.dat", Outcome::Installed, ""}};
    lay.end = End::Silent;
}

void DataIsStartThroughDot(Layout &lay, const std::string &root)
{
    lay.start = lay.data = root + "\\nieuw";
    driver::MakeFolder(lay.start);
    lay.box = lay.start + "\\.";
    lay.series = {{"a.dat", Outcome::Installed, ""}, {"b.dat", Outcome::Installed, ""}};
    lay.end = End::Silent;
}

// A 1 MiB volume as the data folder; whatever an earlier row left on it is
// cleared first, so each row starts with the whole MiB free.
void OnSmallVolume(Layout &lay, const std::string &root, const char *pszRow)
{
    lay.start = root + "\\nieuw";
    driver::MakeFolder(lay.start);
    ULARGE_INTEGER free = {}, total = {};
    if (!GetDiskFreeSpaceExA("C:\\rrfaults\\full\\", &free, &total, NULL) || total.QuadPart > (2u << 20)) {
        lay.skip = "no small tmpfs at C:\\rrfaults\\full (faults_mount.sh needs root and mount)";
        return;
    }
    for (const std::string &name : NamesIn("C:\\rrfaults\\full"))
        driver::RemoveTree("C:\\rrfaults\\full\\" + name.substr(0, name.find('\\')));
    lay.data = Fresh(std::string("C:\\rrfaults\\full\\") + pszRow);
}

// The small series fits, the big one cannot; whether the one after it still
// fits depends on what the failed copy left behind.
void DiskFull(Layout &lay, const std::string &root)
{
    OnSmallVolume(lay, root, "DiskFull");
    lay.series = {{"klein.dat", Outcome::Installed, "", 8192},
                  {"groot.dat", Outcome::NotMoved, "", 2u << 20},
                  {"na.dat", Outcome::Either, "", 8192}};
    lay.cause = "de schijf is vol";
}

// The start folder by another path on a disk too full for a second copy
// of the pack: told before the first copy, so the disk's room never comes
// into it.
void DataIsStartOnFullDisk(Layout &lay, const std::string &root)
{
    OnSmallVolume(lay, root, "DataIsStartOnFullDisk");
    lay.start = lay.data;
    lay.box = lay.start + "\\..\\DataIsStartOnFullDisk";
    lay.series = {{"groot.dat", Outcome::Installed, "", 600u << 10},
                  {"klein.dat", Outcome::Installed, "", 8192}};
    lay.end = End::Silent;
}

// The big series replacing a version already there.
void DiskFullOverOldVersion(Layout &lay, const std::string &root)
{
    OnSmallVolume(lay, root, "DiskFullOverOldVersion");
    lay.series = {{"groot.dat", Outcome::NotMoved, "vorige versie", 2u << 20},
                  {"klein.dat", Outcome::Either, "", 8192}};
    lay.cause = "de schijf is vol";
}

// Series names whose paths in a folder of cchFolder bytes (with its
// backslash) take 259, 260 and 261 bytes: only the first fits MAX_PATH.
std::vector<Series> AtThePathLimit(size_t cchFolder, char ch)
{
    std::vector<Series> series;
    for (size_t cch = MAX_PATH - 1; cch <= MAX_PATH + 1; cch++)
        series.push_back({std::string(cch - cchFolder - 4, ch) + ".dat",
                          cch < MAX_PATH ? Outcome::Installed : Outcome::NotMoved, ""});
    return series;
}

// Start and data folder of equal length: source and target paths alike.
void PathLimitBoth(Layout &lay, const std::string &root)
{
    const size_t cch = 150;
    lay.start = root + "\\" + std::string(cch - root.size() - 1, 's');
    lay.data = root + "\\" + std::string(cch - root.size() - 1, 'd');
    driver::MakeFolder(lay.start);
    driver::MakeFolder(lay.data);
    lay.series = AtThePathLimit(cch + 1, 'p');
}

// Only the target reaches the limit.
void PathLimitTarget(Layout &lay, const std::string &root)
{
    lay.start = root + "\\nieuw";
    lay.data = root + "\\" + std::string(200 - root.size() - 1, 'd');
    driver::MakeFolder(lay.start);
    driver::MakeFolder(lay.data);
    lay.series = AtThePathLimit(200 + 1, 't');
}

// faults_mount.sh puts a list there whose first 4 KiB name a.dat and b.dat
// and whose later blocks cannot be read; c.dat is listed after them.
void ListFailsPartWay(Layout &lay, const std::string &root)
{
    lay.start = "C:\\rrfaults\\unread";
    lay.data = root + "\\data";
    driver::MakeFolder(lay.data);
    lay.listInPlace = true;
    lay.series = {{"a.dat", Outcome::Installed, ""}, {"b.dat", Outcome::Installed, ""},
                  {"c.dat", Outcome::Unread, ""}};
    for (const Series &s : lay.series)
        DeleteFileW(LongPath(lay.start + "\\" + s.name).c_str());
    std::string list = ReadAll(lay.start + "\\" + kListName);
    std::string whole = ReadAll("C:\\rrfaults\\unread-list.txt");
    if (list.size() < 4096 || list.compare(0, 4096, whole, 0, 4096) != 0
        || list.find("(read failed)") == std::string::npos)
        lay.skip = "no list that fails part-way at C:\\rrfaults\\unread (faults_mount.sh needs root, mount and a loop device)";
}

// DialogBoxParam fails: without Raadrups there is no folder to move to.
void DialogCannotBeCreated(Layout &lay, const std::string &root)
{
    SideBySide(lay, root);
    lay.exe = root + "\\instrrse-zonder-dialoog.exe";
    lay.dialog = false;
    lay.end = End::Silent;
    lay.series = {{"a.dat", Outcome::NotMoved, ""}, {"b.dat", Outcome::NotMoved, ""}};
    if (!driver::CopyWithoutDialog(driver::InstallerPath(), lay.exe))
        lay.skip = "the dialog template could not be taken out of a copy of the installer";
}

// Beside the series a row is about, one that nothing stands in the way of.
const Series kPlainB = {"b.dat", Outcome::Installed, ""};
const DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

const Row kRows[] = {
    {"DataFolderMissing", DataFolderMissing},
    {"DataFolderReadOnly", DataFolderReadOnly},
    // A read-only older edition is replaced like any other (Windows refuses
    // to replace a read-only file; Wine run as root does not).
    {"TargetReadOnly", nullptr,
     {{"a.dat", Outcome::Moved, "vorige versie", 0, 0, FILE_ATTRIBUTE_READONLY}, kPlainB}, End::Success},
    // A pack from a CD: the user asked for a move, so the read-only source
    // goes too, and its copy does not keep the attribute.
    {"SourceReadOnly", nullptr,
     {{"a.dat", Outcome::Moved, "", 0, FILE_ATTRIBUTE_READONLY}, kPlainB}, End::Success},
    // The whole run long, as Raadrups holds a series: the brief waits end,
    // and the box comes within seconds.
    {"TargetHeldOpen", nullptr, {{"a.dat", Outcome::NotMoved, "in gebruik"}, kPlainB},
     End::Warning, "in gebruik", {Held::Target, kReadWrite, 0, 0, false}, 10000},
    // For a moment, as a virus scanner holds a fresh file: waited out.
    {"TargetHeldBriefly", nullptr, {{"a.dat", Outcome::Moved, "in gebruik"}, kPlainB},
     End::Success, "in gebruik", {Held::Target, kReadWrite, 0, 500, false}, 10000},
    // Until the user, told, closes the program and tries again in the box.
    {"TargetHeldUntilTriedAgain", nullptr, {{"a.dat", Outcome::Moved, "in gebruik"}, kPlainB},
     End::Success, "in gebruik", {Held::Target, kReadWrite, 0, 0, true}, 10000},
    {"FolderInTheWay", FolderInTheWay},
    {"SourceHeldOpen", nullptr, {{"a.dat", Outcome::NotMoved, ""}, kPlainB},
     End::Warning, "in gebruik", {Held::Source, GENERIC_READ, 0, 0, false}},
    // The copy can read it, the delete cannot: the series ends up in both
    // folders, which counts as installed.
    {"SourceSharedForReading", nullptr, {{"a.dat", Outcome::Installed, ""}, kPlainB},
     End::Success, "", {Held::Source, GENERIC_READ, FILE_SHARE_READ, 0, false}},
    {"DataIsStartOnDriveY", DataIsStartOnDriveY},
    {"DataIsStartInOtherCase", DataIsStartInOtherCase},
    {"DataIsStartThroughDot", DataIsStartThroughDot},
    {"DiskFull", DiskFull},
    {"DiskFullOverOldVersion", DiskFullOverOldVersion},
    {"DataIsStartOnFullDisk", DataIsStartOnFullDisk},
    {"PathLimitBoth", PathLimitBoth},
    {"PathLimitTarget", PathLimitTarget},
    {"ListFailsPartWay", ListFailsPartWay},
    {"DialogCannotBeCreated", DialogCannotBeCreated},
};

// ---- the run and the checker

struct Ending {
    std::string caption;   // "" when no box was shown
    std::string text;
    bool exited = false;
    DWORD dwExit = 1;
};

class FaultRow : public ::testing::TestWithParam<Row> {
protected:
    driver::Installer inst;
    HANDLE hHeld = INVALID_HANDLE_VALUE;

    void TearDown() override
    {
        Release();
        driver::Kill(inst);
    }
    void Release()
    {
        if (hHeld != INVALID_HANDLE_VALUE)
            CloseHandle(hHeld);
        hHeld = INVALID_HANDLE_VALUE;
    }
    Ending Run(const Layout &lay);
    void Check(const Layout &lay, const Snapshot &before, const Ending &end);
};

// Drives the dialog (the chosen folder goes straight into the path box:
// browsing is proven elsewhere), answers the box and waits for the end.
Ending FaultRow::Run(const Layout &lay)
{
    Ending end;
    std::string exe = lay.exe.empty() ? driver::InstallerPath() : lay.exe;
    if (!driver::Start(inst, exe, lay.start)) {
        ADD_FAILURE() << "cannot start " << exe;
        return end;
    }
    if (lay.dialog) {
        HWND hDlg = driver::WaitForDialog(inst, "Raadrups data-map");
        if (hDlg == NULL) {
            ADD_FAILURE() << "no data-folder dialog";
            driver::Kill(inst);
            return end;
        }
        std::string box = lay.box.empty() ? lay.data : lay.box;
        DWORD_PTR dwResult = 0;
        SendMessageTimeoutA(GetDlgItem(hDlg, IDC_DATAPATH), WM_SETTEXT, 0, (LPARAM)box.c_str(),
                            SMTO_ABORTIFHUNG, 5000, &dwResult);
        EXPECT_EQ(driver::ItemText(hDlg, IDC_DATAPATH), box);
        driver::Press(hDlg, IDOK);
    }
    DWORD dwOk = GetTickCount();
    for (int cBoxes = 0; cBoxes < 2; cBoxes++) {
        HWND hBox = NULL;
        while (hBox == NULL && WaitForSingleObject(inst.pi.hProcess, 20) == WAIT_TIMEOUT
               && GetTickCount() - dwOk < lay.msBox) {
            if (lay.hold.msHeld != 0 && GetTickCount() - dwOk >= lay.hold.msHeld)
                Release();
            for (const char *caption : {"Succes", "Let op"})
                if (hBox == NULL && (hBox = driver::WaitForDialog(inst, caption, 0)) != NULL)
                    end.caption = caption;
        }
        if (hBox == NULL)
            break;
        end.text = driver::MessageBoxText(hBox);
        if (!lay.hold.retry || end.caption != "Let op") {
            driver::Press(hBox, IDOK);
            break;
        }
        EXPECT_NE(end.text.find("klik daarna op Opnieuw"), std::string::npos) << end.text;
        Release();
        driver::Press(hBox, IDRETRY);
        end.caption.clear();
        dwOk = GetTickCount();
    }
    end.exited = driver::WaitForExit(inst, &end.dwExit);
    return end;
}

bool Named(const std::string &text, const std::string &name)
{
    return text.find("\n" + name + "\n") != std::string::npos;
}

// The line under a series' name: its cause.
std::string CauseOf(const std::string &text, const std::string &name)
{
    size_t at = text.find("\n" + name + "\n");
    if (at == std::string::npos)
        return "";
    at += name.size() + 2;
    return text.substr(at, text.find('\n', at) - at);
}

void FaultRow::Check(const Layout &lay, const Snapshot &before, const Ending &end)
{
    // 4. Always ends.
    EXPECT_TRUE(end.exited) << "the installer did not end by itself; terminated";
    EXPECT_EQ(end.dwExit, 0u);

    // 1. Nothing lost, and no half copy.
    bool fAllInstalled = true, fAnyUnread = false;
    for (const Series &s : lay.series) {
        std::string target = lay.data + "\\" + s.name;
        bool fInData = ReadAll(target) == Bytes(s);
        bool fInStart = ReadAll(lay.start + "\\" + s.name) == Bytes(s);
        EXPECT_TRUE(fInData || fInStart) << s.name << " is lost";
        fAllInstalled = fAllInstalled && fInData;
        fAnyUnread = fAnyUnread || s.outcome == Outcome::Unread;
        if (!fInData) {
            auto it = before.find(target);
            std::string was = it == before.end() ? "(missing)" : it->second;
            std::string is = ReadAll(target);
            EXPECT_TRUE(is == was) << s.name << " was not installed, yet the data folder holds "
                                   << (is == "(missing)" ? "none" : std::to_string(is.size()) + " bytes")
                                   << " of that name where it held "
                                   << (was == "(missing)" ? "none" : std::to_string(was.size()) + " bytes")
                                   << " (the series has " << Bytes(s).size() << ")";
        }
        if (fInData) {
            DWORD dwAttr = GetFileAttributesW(LongPath(target).c_str());
            EXPECT_FALSE(dwAttr & FILE_ATTRIBUTE_READONLY) << s.name << " was installed read-only";
        }
        if (s.outcome == Outcome::Installed || s.outcome == Outcome::Moved) {
            EXPECT_TRUE(fInData) << s.name << " is not installed";
        }
        if (s.outcome == Outcome::Moved) {
            EXPECT_EQ(ReadAll(lay.start + "\\" + s.name), "(missing)") << s.name << " is still in the start folder";
        }
        if (s.outcome == Outcome::NotMoved || s.outcome == Outcome::Unread) {
            EXPECT_TRUE(!fInData && fInStart) << s.name << " was expected to stay in the start folder only";
        }
    }

    // 2. Nothing outside: every change is a series or the list, created or
    // replaced in the data folder, or deleted from the start folder.
    std::vector<std::string> folders = {lay.start, lay.data, Parent(lay.start), Parent(lay.data)};
    Snapshot after = Take(folders);
    bool fSame = driver::SameFolder(lay.start, lay.data);
    auto listed = [&](const std::string &name, bool fListToo) {
        for (const Series &s : lay.series)
            if (driver::Lower(s.name) == driver::Lower(name))
                return true;
        return fListToo && driver::Lower(name) == kListName;
    };
    for (const auto &entry : after) {
        auto it = before.find(entry.first);
        if (it != before.end() && it->second == entry.second)
            continue;
        std::string folder = Parent(entry.first), name = entry.first.substr(folder.size() + 1);
        bool fInData = folder == lay.data || (fSame && folder == lay.start);
        EXPECT_TRUE(fInData && listed(name, false))
            << entry.first << (it == before.end() ? " was created" : " was changed");
    }
    for (const auto &entry : before) {
        if (after.count(entry.first))
            continue;
        std::string folder = Parent(entry.first), name = entry.first.substr(folder.size() + 1);
        bool fInStart = folder == lay.start || (fSame && folder == lay.data);
        EXPECT_TRUE(fInStart && listed(name, true)) << entry.first << " was deleted";
    }

    // 3. Honest end.
    std::string listPath = lay.start + "\\" + kListName;
    auto listBefore = before.find(listPath);
    std::string listNow = ReadAll(listPath);
    bool fListKept = listBefore != before.end() && listNow == listBefore->second;
    if (end.caption == "Succes") {
        EXPECT_EQ(end.text, kSuccessText);
        EXPECT_TRUE(fAllInstalled && !fAnyUnread) << "success claimed, yet not every series is installed";
    } else if (end.caption == "Let op") {
        EXPECT_EQ(end.text.find(kNotMovedStart), 0u) << end.text;
        EXPECT_NE(end.text.find("\nWat u kunt doen:\n- "), std::string::npos) << end.text;
        EXPECT_EQ(end.text.find(kRestUnread) != std::string::npos, fAnyUnread) << end.text;
        for (const Series &s : lay.series) {
            bool fInData = ReadAll(lay.data + "\\" + s.name) == Bytes(s);
            bool fShouldBeNamed = !fInData && s.outcome != Outcome::Unread;
            EXPECT_EQ(Named(end.text, s.name), fShouldBeNamed) << s.name << " in: " << end.text;
            if (fShouldBeNamed && !lay.cause.empty()) {
                EXPECT_TRUE(CauseOf(end.text, s.name).find(lay.cause) != std::string::npos)
                    << s.name << "'s cause does not say \"" << lay.cause << "\": " << end.text;
            }
        }
    }
    if (!(fAllInstalled && !fAnyUnread) || end.caption != "Succes") {
        EXPECT_TRUE(fListKept || (end.caption == "" && fAllInstalled))
            << "the list was not kept as it was: " << listNow.size() << " bytes";
    }
    const char *want = lay.end == End::Success ? "Succes" : lay.end == End::Warning ? "Let op" : "";
    EXPECT_EQ(end.caption, want) << end.text;
}

TEST_P(FaultRow, KeepsThePromises)
{
    const Row &row = GetParam();
    std::string root = driver::FreshFolder(std::string("Faults.") + row.name);
    Layout lay;
    if (row.arrange != nullptr) {
        row.arrange(lay, root);
    } else {
        SideBySide(lay, root);
        lay.series = row.series;
        lay.end = row.end;
        lay.cause = row.cause;
        lay.hold = row.hold;
        lay.msBox = row.msBox;
    }
    if (!lay.skip.empty())
        GTEST_SKIP() << lay.skip;
    std::string oldIn = lay.oldIn.empty() ? lay.data : lay.oldIn;
    std::string list;
    for (const Series &s : lay.series) {
        ASSERT_TRUE(WriteAll(lay.start + "\\" + s.name, Bytes(s))) << s.name;
        if (s.dwAttr != 0)
            SetFileAttributesW(LongPath(lay.start + "\\" + s.name).c_str(), s.dwAttr);
        if (!s.old.empty()) {
            ASSERT_TRUE(WriteAll(oldIn + "\\" + s.name, s.old)) << s.name;
        }
        if (s.dwOldAttr != 0)
            SetFileAttributesW(LongPath(oldIn + "\\" + s.name).c_str(), s.dwOldAttr);
        list += s.name + "\r\n";
    }
    if (!lay.listInPlace) {
        ASSERT_TRUE(WriteAll(lay.start + "\\" + kListName, list));
    }

    Snapshot before = Take({lay.start, lay.data, Parent(lay.start), Parent(lay.data)});
    if (lay.hold.file != Held::Nothing) {
        std::string path = (lay.hold.file == Held::Target ? lay.data : lay.start) + "\\a.dat";
        hHeld = CreateFileW(LongPath(path).c_str(), lay.hold.dwAccess, lay.hold.dwShare, NULL,
                            OPEN_EXISTING, 0, NULL);
        ASSERT_NE(hHeld, INVALID_HANDLE_VALUE) << "the test cannot hold " << path << " open";
    }
    Ending end = Run(lay);
    Release();
    Check(lay, before, end);
    // What the platform decided and what the user was told, for the record.
    if (!end.caption.empty())
        printf("[ box      ] %s:\n%s\n", end.caption.c_str(), end.text.c_str());
    for (const Series &s : lay.series) {
        bool fInData = ReadAll(lay.data + "\\" + s.name) == Bytes(s);
        bool fInStart = ReadAll(lay.start + "\\" + s.name) == Bytes(s);
        if (s.outcome == Outcome::Either || (fInData && fInStart && !driver::SameFolder(lay.start, lay.data)))
            printf("[ outcome  ] %s: %s%s\n", s.name.c_str(), fInData ? "installed" : "not moved",
                   fInData && fInStart ? ", and still in the start folder" : "");
    }
}

void PrintTo(const Row &row, std::ostream *os)
{
    *os << row.name;
}

std::string RowName(const ::testing::TestParamInfo<Row> &info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultRow, ::testing::ValuesIn(kRows), RowName);

}  // namespace
