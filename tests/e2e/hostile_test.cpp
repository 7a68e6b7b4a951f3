// Hostile series lists through the real program: folder parts, names that
// Windows would open as something else, huge lists, and stray bytes. Every
// run ends by itself once its box is answered; nothing outside the start
// and data folders changes, and the data folder holds exactly what the list
// rightly named.
#include "tests/e2e/installer_fixture.h"
#include <algorithm>
#include <set>
#include <utility>

namespace {

const char kCanaryName[] = "rrcanary.dat";
const char kPorts[][5] = {"com1", "lpt1"};

std::string CanaryBytes(const std::string &where)
{
    return "kanarie in " + where + "\r\n" + driver::SeriesBytes(kCanaryName);
}

std::string WindowsFolder()
{
    char szPath[MAX_PATH] = "";
    UINT cch = GetWindowsDirectoryA(szPath, MAX_PATH);
    return std::string(szPath, cch < MAX_PATH ? cch : 0);
}

std::string Replace(std::string text, const std::string &token, const std::string &value)
{
    for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
    return text;
}

std::string NotMovedText(const std::vector<std::string> &shown, int cMore)
{
    std::string text = std::string(kNotMovedStart) + "\n\n";
    for (const std::string &name : shown)
        text += name + "\n";
    if (cMore > 0)
        text += "en nog " + std::to_string(cMore) + " andere\n";
    return text;
}

// What happens to one list entry: its file reaches the data folder, or the
// entry names no file and is passed over without a word, or it is named in
// the warning as not moved (its file, if any, staying where it was).
enum class Outcome { Moved, Skipped, Named };

struct Row {
    const char *entry;   // %R: the test folder, %V: the data folder's parent, %W: Windows
    const char *file;    // a series file laid out in the start folder for it, or NULL
    Outcome outcome;
    const char *shown;   // Named: the name the warning gives
};

// Where Wine keeps a Windows path on the Unix side.
std::string UnixPath(const std::string &path)
{
    typedef char *(CDECL * UnixNameFn)(LPCWSTR);
    UnixNameFn pfnUnixName = (UnixNameFn)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (pfnUnixName == NULL)
        return "";
    std::wstring wide(path.begin(), path.end());
    char *pszUnix = pfnUnixName(wide.c_str());
    std::string unix = pszUnix != NULL ? pszUnix : "";
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return unix;
}

// Runs a Unix shell script (Wine starts a Unix program given by its Z:
// path) and waits for the mark file it makes last, named by its $1; Wine
// gives no exit code of a Unix process to wait for.
bool RunUnixScript(const std::string &script, const std::string &markFolder,
                   const std::vector<std::string> &args)
{
    std::string mark = markFolder + "\\unix.mark";
    DeleteFileA(mark.c_str());
    std::string cmd = "/bin/sh -c \"" + script + "\" sh \"" + UnixPath(mark) + "\"";
    for (const std::string &arg : args)
        cmd += " \"" + arg + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA("Z:\\bin\\sh", &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    if (pi.hThread != NULL)
        CloseHandle(pi.hThread);
    if (pi.hProcess != NULL)
        CloseHandle(pi.hProcess);
    for (int i = 0; i < 250 && !driver::FileExists(mark); i++)
        Sleep(20);
    return DeleteFileA(mark.c_str()) != FALSE;
}

std::string DosDevices()
{
    const char *pszPrefix = getenv("WINEPREFIX");
    return pszPrefix != NULL ? std::string(pszPrefix) + "/dosdevices" : "";
}

class HostileList : public InstallerRun {
protected:
    std::string dataParent;
    std::vector<std::string> watched;                 // folders holding a canary
    std::vector<std::vector<std::string>> watchedNames;
    std::string winIni;
    std::string trap;                                 // where COM1 and LPT1 lead, while armed

    void SetUp() override
    {
        InstallerRun::SetUp();
        // The data folder gets a parent of its own, apart from the start
        // folder's, so that both can be watched.
        driver::RemoveTree(data);
        dataParent = root + "\\ver";
        data = dataParent + "\\data";
        driver::MakeFolder(dataParent);
        driver::MakeFolder(data);
        watched = {root, dataParent, WindowsFolder()};
        for (const std::string &folder : watched) {
            driver::WriteFile(folder + "\\" + kCanaryName, CanaryBytes(folder));
            watchedNames.push_back(driver::ListFolder(folder));
        }
        driver::ReadFile(WindowsFolder() + "\\win.ini", &winIni);
    }

    void TearDown() override
    {
        InstallerRun::TearDown();
        if (!trap.empty()) {
            EXPECT_TRUE(DisarmPorts()) << "the prefix's COM1 and LPT1 could not be restored";
        }
        DeleteFileA((WindowsFolder() + "\\" + kCanaryName).c_str());
    }

    // A name of its own: "com1.dat" in any folder would be the device.
    std::string TrapPath(const char *port) const { return trap + "\\val-" + port + ".dat"; }

    // Points the prefix's COM1 and LPT1 at regular files, so that a program
    // opening either device reads or writes a file the test can look at.
    // The originals are kept aside under another name, once.
    bool ArmPorts()
    {
        trap = root + ".poorten";   // beside the test folder, which is watched
        driver::RemoveTree(trap);
        driver::MakeFolder(trap);
        for (const char *port : kPorts)
            driver::WriteFile(TrapPath(port), CanaryBytes(port));
        const char *script =
            "cd $2 || exit 1; for p in com1 lpt1; do "
            "if [ -L $p ] && [ ! -L $p.rrkeep ]; then mv $p $p.rrkeep; fi; "
            "ln -sfn $3/val-$p.dat $p || exit 1; done; : > $1";
        return RunUnixScript(script, trap, {DosDevices(), UnixPath(trap)});
    }

    bool DisarmPorts()
    {
        const char *script =
            "cd $2 || exit 1; for p in com1 lpt1; do rm -f $p; "
            "if [ -L $p.rrkeep ]; then mv $p.rrkeep $p; fi; done; : > $1";
        bool fDone = RunUnixScript(script, trap, {DosDevices()});
        trap.clear();
        return fDone;
    }

    ::testing::AssertionResult PortsUntouched()
    {
        for (const char *port : kPorts) {
            ::testing::AssertionResult result = driver::HasBytes(TrapPath(port), CanaryBytes(port));
            if (!result)
                return result;
        }
        if (driver::ListFolder(trap) != std::vector<std::string>{"val-com1.dat", "val-lpt1.dat"})
            return ::testing::AssertionFailure() << "something new in " << trap;
        return ::testing::AssertionSuccess();
    }

    std::string Expand(const std::string &entry) const
    {
        return Replace(Replace(Replace(entry, "%R", root), "%V", dataParent), "%W", WindowsFolder());
    }

    // Runs the installer on the list, into the data folder, and answers the
    // closing box, which must carry this caption; returns its text.
    std::string RunList(const std::string &list, const std::string &caption,
                        std::wstring *pWideText = nullptr, driver::Here here = {})
    {
        WriteList(list);
        return InstallTo(data, caption, pWideText, here);
    }

    ::testing::AssertionResult CanariesUntouched()
    {
        for (size_t i = 0; i < watched.size(); i++) {
            ::testing::AssertionResult result =
                driver::HasBytes(watched[i] + "\\" + kCanaryName, CanaryBytes(watched[i]));
            if (!result)
                return result;
            if (driver::ListFolder(watched[i]) != watchedNames[i])
                return ::testing::AssertionFailure() << "something new in " << watched[i];
        }
        return driver::HasBytes(WindowsFolder() + "\\win.ini", winIni);
    }

    // The folder holds exactly these series files, each byte for byte (the
    // list, when named, as it was written).
    static ::testing::AssertionResult Holds(const std::string &folder, const std::set<std::string> &names,
                                            const std::string &list = "")
    {
        std::vector<std::string> there = driver::ListFolder(folder);
        if (there != std::vector<std::string>(names.begin(), names.end())) {
            ::testing::AssertionResult result = ::testing::AssertionFailure();
            result << folder << " holds";
            for (const std::string &name : there)
                result << " \"" << name << "\"";
            return result;
        }
        for (const std::string &name : names) {
            std::string want = name == "teinstal.txt" ? list : driver::SeriesBytes(name);
            ::testing::AssertionResult result = driver::HasBytes(folder + "\\" + name, want);
            if (!result)
                return result;
        }
        return ::testing::AssertionSuccess();
    }

    // One run over the rows as one list; checks the box, both folders, the
    // list and the canaries.
    void RunRows(const std::vector<Row> &rows, driver::Here here = {})
    {
        std::string list;
        std::vector<std::string> shown;
        std::set<std::string> inStart, inData;
        for (const Row &row : rows) {
            list += Expand(row.entry) + "\r\n";
            if (row.outcome == Outcome::Named)
                shown.push_back(Expand(row.shown));
            if (row.file == nullptr)
                continue;
            AddSeries({row.file});
            (row.outcome == Outcome::Moved ? inData : inStart).insert(row.file);
        }
        ASSERT_LE(shown.size(), 15u) << "a table for one run names at most what the box shows";

        bool fAllMoved = shown.empty();
        std::string text = RunList(list, fAllMoved ? "Succes" : "Let op", nullptr, here);
        driver::Check(here, driver::Says(fAllMoved ? text : NamesShown(text),
                                         fAllMoved ? std::string(kSuccessText) : NotMovedText(shown, 0)));
        if (!fAllMoved)
            inStart.insert("teinstal.txt");
        driver::Check(here, Holds(start, inStart, list));
        driver::Check(here, Holds(data, inData));
        driver::Check(here, CanariesUntouched());
    }
};

// Drives, folders, "." and "..", absolute paths to files elsewhere: the name
// alone counts and is taken from the start folder.
TEST_F(HostileList, FolderPartsAreIgnored)
{
    RunRows({
        {"..", nullptr, Outcome::Skipped, nullptr},
        {".", nullptr, Outcome::Skipped, nullptr},
        {"...", nullptr, Outcome::Skipped, nullptr},
        {"..\\", nullptr, Outcome::Skipped, nullptr},
        {"sub\\..\\", nullptr, Outcome::Skipped, nullptr},
        {"C:..", nullptr, Outcome::Skipped, nullptr},
        {"C:\\", nullptr, Outcome::Skipped, nullptr},
        {"..\\..\\x.dat", "x.dat", Outcome::Moved, nullptr},
        {"..\\rrcanary.dat", "rrcanary.dat", Outcome::Moved, nullptr},
        {"%R\\rrcanary.dat", nullptr, Outcome::Skipped, nullptr},   // moved already
        {"%V\\rrcanary.dat", nullptr, Outcome::Skipped, nullptr},
        {"%W\\rrcanary.dat", nullptr, Outcome::Skipped, nullptr},
        {"%W\\win.ini", "win.ini", Outcome::Moved, nullptr},
        {"C:y.dat", "y.dat", Outcome::Moved, nullptr},
        {"c:/../z.dat", "z.dat", Outcome::Moved, nullptr},
        {"\\\\rrserver\\deel\\u.dat", "u.dat", Outcome::Moved, nullptr},
        {"\\\\?\\C:\\rrtest\\v.dat", "v.dat", Outcome::Moved, nullptr},
        {"%V\\data\\w.dat", "w.dat", Outcome::Moved, nullptr},
        {"%R\\nieuw\\teinstal.txt", nullptr, Outcome::Skipped, nullptr},
        {"Z:\\etc\\passwd", "passwd", Outcome::Moved, nullptr},
    });
}

// Names Windows would open as a device, a stream, another file or a pattern
// are never opened; near misses are ordinary series. COM1 and LPT1 lead to
// files of the test's own while the list runs, so opening them would show.
TEST_F(HostileList, DeviceNamesAreNeverOpened)
{
    ASSERT_TRUE(ArmPorts()) << "the prefix's COM1 and LPT1 could not be redirected";
    // The redirection holds for the device in any folder, with an extension.
    for (const auto &probe : {std::make_pair("\\\\.\\COM1", "com1"), std::make_pair("C:\\rrtest\\lpt1.dat", "lpt1")}) {
        std::string bytes;
        ASSERT_TRUE(driver::ReadFile(probe.first, &bytes) && bytes == CanaryBytes(probe.second)) << probe.first;
    }
    RunRows({
        {"CON", nullptr, Outcome::Named, "CON"},
        {"NUL", nullptr, Outcome::Named, "NUL"},
        {"COM1", nullptr, Outcome::Named, "COM1"},
        {"LPT1", nullptr, Outcome::Named, "LPT1"},
        {"con.dat", nullptr, Outcome::Named, "con.dat"},
        {"nul .dat", nullptr, Outcome::Named, "nul .dat"},
        {"com1.dat", nullptr, Outcome::Named, "com1.dat"},
        {"Lpt1.Dat", nullptr, Outcome::Named, "Lpt1.Dat"},
        {"sub\\lpt1", nullptr, Outcome::Named, "lpt1"},
        {"aux.x.y", nullptr, Outcome::Named, "aux.x.y"},
        {"prn.ini", nullptr, Outcome::Named, "prn.ini"},
        {"conin$", nullptr, Outcome::Named, "conin$"},
        {"CONOUT$.dat", nullptr, Outcome::Named, "CONOUT$.dat"},
        {"com\xB9.dat", nullptr, Outcome::Named, "com\xB9.dat"},
        {"lpt0", nullptr, Outcome::Named, "lpt0"},
        {"com1.txt", nullptr, Outcome::Skipped, nullptr},
        {"com10.dat", "com10.dat", Outcome::Moved, nullptr},
        {"com1a.dat", "com1a.dat", Outcome::Moved, nullptr},
        {"console.dat", "console.dat", Outcome::Moved, nullptr},
        {"nul_.dat", "nul_.dat", Outcome::Moved, nullptr},
        {"lpt.dat", "lpt.dat", Outcome::Moved, nullptr},
        {"conin.dat", "conin.dat", Outcome::Moved, nullptr},
    });
    EXPECT_TRUE(PortsUntouched());
}

// Streams, wildcards, forbidden characters and control bytes: Windows
// would open another file or none; absolute paths to files that are not in
// the start folder name a series that is not there. Trailing dots and
// blanks are dropped, as Windows drops them: the name is the file it opens.
// The installer's own temporary extension is never a series.
TEST_F(HostileList, OddNamesAreRefusedAndNamed)
{
    RunRows({
        {"a.dat.", "a.dat", Outcome::Moved, nullptr},
        {"b.dat ", "b.dat", Outcome::Moved, nullptr},
        {"sub\\bb.dat . ", "bb.dat", Outcome::Moved, nullptr},
        {"Lees mij.txt ", "Lees mij.txt", Outcome::Skipped, nullptr},
        {" . ", nullptr, Outcome::Skipped, nullptr},
        {"CON .", nullptr, Outcome::Named, "CON"},
        {"c.dat:zone", "c.dat", Outcome::Named, "c.dat:zone"},
        {"d.dat::$DATA", "d.dat", Outcome::Named, "d.dat::$DATA"},
        {"e*.dat", "e1.dat", Outcome::Named, "e*.dat"},
        {"f?.dat", "f1.dat", Outcome::Named, "f?.dat"},
        {"<g>.dat", nullptr, Outcome::Named, "<g>.dat"},
        {"h|i.dat", nullptr, Outcome::Named, "h|i.dat"},
        {"j\"k.dat", nullptr, Outcome::Named, "j\"k.dat"},
        {"l\tm.dat", nullptr, Outcome::Named, "l\tm.dat"},
        {"r.dat.Instrrse-Deel", "r.dat.Instrrse-Deel", Outcome::Named, "r.dat.Instrrse-Deel"},
        {"n. .", "n", Outcome::Moved, nullptr},
        {"%R\\rrcanary.dat", nullptr, Outcome::Named, "rrcanary.dat"},
        {"%V\\rrcanary.dat", nullptr, Outcome::Named, "rrcanary.dat"},
        {"%W\\rrcanary.dat", nullptr, Outcome::Named, "rrcanary.dat"},
        {"%W\\win.ini", nullptr, Outcome::Named, "win.ini"},
        {"q.dat", "q.dat", Outcome::Moved, nullptr},
    });
}

// 10,000 entries, almost all naming nothing: every one is tried, the box
// shows the first 15 and counts the rest.
TEST_F(HostileList, TenThousandEntriesAreAllTriedAndCounted)
{
    const int cEntries = 10000;
    std::string list;
    std::set<std::string> present;
    std::vector<std::string> shown;
    for (int i = 0; i < cEntries; i++) {
        char szName[32];
        wsprintfA(szName, "serie%05d.dat", i);
        list += std::string(szName) + "\r\n";
        if (i % 1000 == 0)
            present.insert(szName);
        else if (shown.size() < 15)
            shown.push_back(szName);
    }
    for (const std::string &name : present)
        AddSeries({name});
    std::string text = RunList(list, "Let op");
    EXPECT_EQ(NamesShown(text), NotMovedText(shown, cEntries - (int)present.size() - 15));
    EXPECT_TRUE(Holds(data, present));
    EXPECT_TRUE(Holds(start, {"teinstal.txt"}, list));
    EXPECT_TRUE(CanariesUntouched());
}

// A piece of a long line that is exactly 149 bytes, a name of its own.
std::string Piece(int line, int i)
{
    char szHead[16];
    wsprintfA(szHead, "r%d-%02d-", line, i);
    std::string name = szHead;
    return name + std::string(149 - name.size() - 4, 'x') + ".dat";
}

// Two lines of 10,000 bytes, the last without a line break: each is read in
// pieces of 149 bytes, the tail of 17 a name of its own.
TEST_F(HostileList, LinesOfTenThousandBytesAreReadInPieces)
{
    std::string list;
    std::set<std::string> present;
    std::vector<std::string> missing;
    for (int line = 1; line <= 2; line++) {
        std::string tail = "r" + std::to_string(line) + "-staart-17b.dat";
        for (int i = 0; i < 67; i++) {
            list += Piece(line, i);
            if (i == 0 || i == 1 || i == 33 || i == 66)
                present.insert(Piece(line, i));
            else
                missing.push_back(Piece(line, i));
        }
        list += tail;
        present.insert(tail);
        if (line == 1)
            list += "\r\n";
    }
    ASSERT_EQ(list.size(), 20002u);
    for (const std::string &name : present)
        AddSeries({name});
    std::string text = RunList(list, "Let op");
    std::vector<std::string> shown(missing.begin(), missing.begin() + 15);
    EXPECT_EQ(NamesShown(text), NotMovedText(shown, (int)missing.size() - 15));
    // Each name with its cause below it; the advice for that cause once.
    EXPECT_NE(text.find("\n" + shown[0] + "\n    staat niet in de map van het pakket\n"),
              std::string::npos) << text;
    EXPECT_EQ(text.find("Pak het hele pakket opnieuw uit"), text.rfind("Pak het hele pakket opnieuw uit"));
    EXPECT_NE(text.find("\nWat u kunt doen:\n- Pak het hele pakket opnieuw uit"), std::string::npos) << text;
    EXPECT_TRUE(Holds(data, present));
    EXPECT_TRUE(Holds(start, {"teinstal.txt"}, list));
    EXPECT_TRUE(CanariesUntouched());
}

// A byte-order mark counts only at the very start (later it is a character
// of the name, one Windows-1252 has not); a NUL byte ends its entry's text,
// the rest of that line unused.
TEST_F(HostileList, ByteOrderMarkAndNulBytes)
{
    const std::string bom = "\xEF\xBB\xBF";
    const std::string list = bom + "a.dat\r\n" + std::string("b.dat\0rest.dat\r\n", 16)
        + std::string("\0c.dat\r\n", 8) + std::string("d.d\0at\r\n", 8)
        + std::string("\0\0\0\r\n", 5) + bom + "e.dat\r\n" + std::string("f.dat\0", 6);
    AddSeries({"a.dat", "b.dat", "rest.dat", "c.dat", "d.d", "d.dat", "e.dat", "f.dat"});
    std::wstring text;
    RunList(list, "Let op", &text);
    EXPECT_EQ(NamesShown(text), NotMovedTextW({L"\uFEFFe.dat"}));
    EXPECT_TRUE(Holds(data, {"a.dat", "b.dat", "d.d", "f.dat"}));
    EXPECT_TRUE(Holds(start, {"rest.dat", "c.dat", "d.dat", "e.dat", "teinstal.txt"}, list));
    EXPECT_TRUE(CanariesUntouched());

    // A list of nothing but the mark is an empty list.
    EXPECT_EQ(RunList(bom, "Succes"), kSuccessText);
    EXPECT_TRUE(ListDeleted());
    EXPECT_TRUE(Holds(start, {"rest.dat", "c.dat", "d.dat", "e.dat"}));
    EXPECT_TRUE(CanariesUntouched());
}

}  // namespace
