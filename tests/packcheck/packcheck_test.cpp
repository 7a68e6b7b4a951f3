// packcheck.exe on prepared packs, started as a console program with its
// output read through a pipe (UTF-8 there); and the real installer on a
// list that packcheck wrote.
#include "tests/e2e/installer_fixture.h"

namespace {

struct Console {
    bool ended = false;
    DWORD exitCode = 99;
    std::string out;   // standard output and standard error, as written
};

// Reads what the program writes while it runs, so a full pipe never
// stalls it; a program still running after the bound is ended.
Console RunPackcheck(const std::string &args, const std::string &cwd)
{
    Console result;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), NULL, TRUE};
    HANDLE hRead = NULL, hWrite = NULL;
    if (!CreatePipe(&hRead, &hWrite, &sa, 0))
        return result;
    SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = NULL;
    si.hStdOutput = hWrite;
    si.hStdError = hWrite;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + driver::ProgramFolder() + "packcheck.exe\" " + args;
    BOOL fStarted = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL,
                                   cwd.c_str(), &si, &pi);
    CloseHandle(hWrite);
    if (!fStarted) {
        CloseHandle(hRead);
        return result;
    }
    DWORD dwStart = GetTickCount();
    for (;;) {
        DWORD cbAvail = 0;
        char buf[4096];
        DWORD cbRead = 0;
        if (PeekNamedPipe(hRead, NULL, 0, NULL, &cbAvail, NULL) && cbAvail > 0
            && ReadFile(hRead, buf, sizeof(buf), &cbRead, NULL)) {
            result.out.append(buf, cbRead);
            continue;
        }
        if (!PeekNamedPipe(hRead, NULL, 0, NULL, &cbAvail, NULL)) {   // closed: all read
            result.ended = WaitForSingleObject(pi.hProcess, driver::kWaitMs) == WAIT_OBJECT_0;
            break;
        }
        if (GetTickCount() - dwStart > driver::kWaitMs)
            break;
        Sleep(10);
    }
    if (result.ended)
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(hRead);
    return result;
}

// A name the ANSI code page of the test machine (1252) cannot hold.
const WCHAR kLodz[] = L"\u0141\u00F3d\u017A.dat";

class PackCheck : public InstallerRun {
protected:
    Console Run(const std::string &args = "", driver::Here here = {})
    {
        Console run = RunPackcheck(args, start);
        if (!run.ended)
            ADD_FAILURE_AT(here.file, here.line) << "packcheck did not end; terminated";
        return run;
    }

    // Runs packcheck and expects this exit code, showing its output when not.
    Console RunExpecting(const std::string &args, DWORD dwExitCode, driver::Here here = {})
    {
        Console run = Run(args, here);
        if (run.ended && run.exitCode != dwExitCode)
            ADD_FAILURE_AT(here.file, here.line) << "packcheck " << args << " ended with " << run.exitCode
                                                 << " instead of " << dwExitCode << "\n" << run.out;
        return run;
    }

    // A file whose name this machine's ANSI code page need not hold.
    void AddWide(const std::wstring &name, driver::Here here = {})
    {
        std::wstring path = std::wstring(start.begin(), start.end()) + L"\\" + name;
        if (!driver::WriteFileW(path, ""))
            ADD_FAILURE_AT(here.file, here.line) << "cannot make " << driver::Narrow(path, CP_UTF8);
    }
    void AddLodz(driver::Here here = {}) { AddWide(kLodz, here); }

    // The short name the file system gave a file of the start folder.
    std::string ShortName(const std::string &name, driver::Here here = {})
    {
        std::string shortName = driver::ShortNameOf(StartPath(name));
        if (shortName.empty())
            ADD_FAILURE_AT(here.file, here.line) << name << " has no short name";
        return shortName;
    }

    bool LodzInStart()
    {
        std::wstring path = std::wstring(start.begin(), start.end()) + L"\\" + kLodz;
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

#define EXPECT_PRINTS(run, text) \
    EXPECT_NE((run).out.find(text), std::string::npos) << "missing: " << (text) << "\n" << (run).out

TEST_F(PackCheck, SoundPackInUtf8ExitsZero)
{
    AddSeries({"a.dat", "Caf\xE9-weetjes.dat", "Lees mij.txt", "instrrse.exe"});
    // What Notepad saves by default: UTF-8 without a byte-order mark.
    WriteList("a.dat\r\nCafé-weetjes.dat\r\nLees mij.txt\r\n");
    Console run = RunExpecting("", 0);
    EXPECT_PRINTS(run, "  \"a.dat\": wordt verplaatst\r\n");
    EXPECT_PRINTS(run, "  \"Café-weetjes.dat\": wordt verplaatst\r\n");
    EXPECT_PRINTS(run, "  \"Lees mij.txt\": overgeslagen (.txt)");
    EXPECT_PRINTS(run, "De lijst noemt elk bestand van het pakket.\r\n");
    EXPECT_PRINTS(run, "Codering van teinstal.txt: UTF-8\r\n");
    EXPECT_PRINTS(run, "instrrse.exe staat in het pakket.\r\n");
    EXPECT_EQ(run.out.find("FOUT"), std::string::npos) << run.out;
}

TEST_F(PackCheck, FaultyPackNamesEveryFaultAndExitsOne)
{
    AddSeries({"a.dat", "extra.dat", "Caf\xE9.dat", "Sport 2024.dat", ".DS_Store"});
    AddLodz();
    // Two forms zip tools give "Café-twee.dat", with OEM 850: its UTF-8
    // bytes, and the decomposed form.
    AddWide(L"Caf\u251C\u00AE-twee.dat");
    AddWide(L"Cafe\u0301-twee.dat");
    const std::string longName(160, 'x');
    const std::string list =
        "a.dat\r\nontbreekt.dat\r\nCafe.dat\r\nCON.dat\r\n" + longName + "\r\nŁódź.dat\r\n"
        + ShortName("Sport 2024.dat") + "\r\nCafé-twee.dat\r\nab\x1B[31mc.dat\r\n"
        + std::string("Sport\0 2025.dat\r\n", 17);
    WriteList(list);
    Console run = RunExpecting("--codepage 1252 .", 1);
    EXPECT_PRINTS(run, "  \"a.dat\": wordt verplaatst\r\n");
    EXPECT_PRINTS(run, "  \"ontbreekt.dat\": FOUT: staat niet in het pakket\r\n");
    EXPECT_PRINTS(run, "  \"Cafe.dat\": FOUT: staat niet in het pakket; bedoelt u \"Café.dat\"?\r\n");
    EXPECT_PRINTS(run, "  \"CON.dat\": FOUT: geweigerd, een apparaatnaam");
    EXPECT_PRINTS(run, "  \"" + longName + "\": FOUT: de regel is langer dan 149 bytes;"
                       " de installer leest hem als 2 namen:\r\n"
                       "      \"" + longName.substr(0, 149) + "\": FOUT: staat niet in het pakket\r\n"
                       "      \"" + longName.substr(149) + "\": FOUT: staat niet in het pakket\r\n");
    EXPECT_PRINTS(run, "  \"Łódź.dat\": FOUT: codetabel 1252 kan deze naam niet bevatten");
    EXPECT_PRINTS(run, "  \"" + ShortName("Sport 2024.dat") + "\": FOUT: is de korte naam van"
                       " \"Sport 2024.dat\"; de installer installeert een serie alleen onder haar"
                       " eigen naam\r\n");
    EXPECT_PRINTS(run, "  \"Café-twee.dat\": FOUT: staat in het pakket in meer dan één vorm"
                       " (\"Caf├®-twee.dat\" en \"Cafe\xCC\x81-twee.dat\" [ontlede vorm: e + U+0301]);"
                       " de installer weet niet welke bedoeld is\r\n");
    EXPECT_PRINTS(run, "  \"ab<U+001B>[31mc.dat\": FOUT: geweigerd, bevat een stuurteken");
    EXPECT_PRINTS(run, "  \"Sport<U+0000> 2025.dat\": FOUT: staat niet in het pakket (het bestand"
                       " \"Sport\"); de installer leest de naam maar tot het teken U+0000\r\n");
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos) << "a control character printed raw";
    EXPECT_PRINTS(run, "(de installer laat ze staan):\r\n");
    for (const char *pszUnnamed : {"Café.dat", "extra.dat", "Sport 2024.dat"})
        EXPECT_PRINTS(run, "  \"" + std::string(pszUnnamed) + "\"\r\n");
    EXPECT_EQ(run.out.find(".DS_Store"), std::string::npos) << "a Mac's leftover taken for a series";
    EXPECT_PRINTS(run, "Waarschuwing: instrrse.exe staat niet in het pakket");
    EXPECT_PRINTS(run, "Niet in orde: 9 regels met een FOUT");
    EXPECT_TRUE(ListKept(list));
}

// Checked here, on a Western machine, for users whose code page is 932:
// "表" has the trail byte of a backslash.
TEST_F(PackCheck, Utf16ListCheckedForAnotherCodePage)
{
    AddWide(L"\u8868\u793A.dat");
    AddWide(L"\u30A2\u30A4.dat");
    const std::wstring text = L"\uFEFF\u8868\u793A.dat\r\n\u30A2\u30A4.dat\r\n";
    WriteList(std::string(reinterpret_cast<const char *>(text.data()), text.size() * 2));
    Console run = RunExpecting("--codepage 932", 0);
    EXPECT_PRINTS(run, "  \"表示.dat\": wordt verplaatst\r\n");
    EXPECT_PRINTS(run, "Codering van teinstal.txt: UTF-16 LE\r\n");
    run = RunExpecting("", 1);
    EXPECT_PRINTS(run, "  \"表示.dat\": FOUT: codetabel 1252 kan deze naam niet bevatten");
}

TEST_F(PackCheck, UsageErrorsAndMissingListExitTwo)
{
    EXPECT_EQ(Run("--codepage 1").exitCode, 2u);
    EXPECT_EQ(Run("--force").exitCode, 2u);
    EXPECT_EQ(Run("C:\\rrtest\\bestaat-niet").exitCode, 2u);
    Console run = RunExpecting("", 2);
    EXPECT_PRINTS(run, "Er staat geen teinstal.txt in");
}

TEST_F(PackCheck, WrittenListInstallsEverySeriesThroughTheInstaller)
{
    const std::vector<std::string> series = {"b.dat", "Caf\xE9-weetjes.dat", "serie7"};
    AddSeries(series);
    // What a Mac leaves is no series, whatever its attributes: Wine calls
    // dot-files hidden, Windows does not.
    AddSeries({"Lees mij.txt", "instrrse.exe", "desktop.ini", ".DS_Store", "._b.dat"});
    SetFileAttributesA(StartPath("desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA(StartPath(".DS_Store").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(StartPath("._b.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    AddLodz();
    Console run = RunExpecting("--write", 1);
    EXPECT_PRINTS(run, "FOUT: weggelaten uit teinstal.txt, \"Łódź.dat\": codetabel 1252 kan deze"
                       " naam niet bevatten\r\n");
    EXPECT_PRINTS(run, "In orde: op een computer met codetabel 1252 installeert instrrse.exe elke"
                       " serie uit de lijst (3).\r\n");
    EXPECT_EQ(run.out.find("desktop.ini"), std::string::npos) << run.out;
    const std::string list = "b.dat\r\nCaf\xE9-weetjes.dat\r\nserie7\r\n";
    EXPECT_TRUE(ListKept(list));

    EXPECT_EQ(Run("--write").exitCode, 2u) << "replaced a list without --force";
    WriteList("oud\r\n");
    EXPECT_EQ(Run("--write --force").exitCode, 1u);
    EXPECT_TRUE(ListKept(list));

    EXPECT_EQ(InstallTo(data, "Succes"), kSuccessText);
    for (const std::string &name : series)
        EXPECT_TRUE(InDataOnly(name));
    EXPECT_TRUE(InStartOnly("Lees mij.txt"));
    EXPECT_TRUE(InStartOnly("desktop.ini"));
    EXPECT_TRUE(InStartOnly(".DS_Store"));
    EXPECT_TRUE(InStartOnly("._b.dat"));
    EXPECT_TRUE(LodzInStart());
    EXPECT_TRUE(ListDeleted());
}

// A command of the build machine's shell, with Debian's Info-ZIP tools:
// Wine starts a program of the machine itself when given its path, but
// gives no handle to wait on, so the command leaves its exit code in a
// file of cwd once it has ended. These runs take a Dutch machine's code
// pages (ANSI 1252, OEM 850) and a UTF-8 locale for the tools:
// LC_ALL=nl_NL.UTF-8.
int RunShell(const std::string &command, const std::string &cwd)
{
    const std::string rcPath = cwd + "\\shell.rc";
    DeleteFileA(rcPath.c_str());
    std::string line = "sh -c \"" + command + "; echo $? >shell.tmp && mv shell.tmp shell.rc\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA("Z:\\bin\\sh", &line[0], NULL, NULL, FALSE, 0, NULL, cwd.c_str(), &si, &pi))
        return -1;
    if (pi.hThread != NULL)
        CloseHandle(pi.hThread);
    if (pi.hProcess != NULL)
        CloseHandle(pi.hProcess);
    std::string rc;
    for (DWORD dwStart = GetTickCount(); GetTickCount() - dwStart < driver::kWaitMs; Sleep(50))
        if (driver::ReadFile(rcPath, &rc) && !rc.empty())
            break;
    DeleteFileA(rcPath.c_str());
    return rc.empty() ? -1 : atoi(rc.c_str());
}

class ZipPack : public PackCheck {
protected:
    const std::vector<std::string> series = {"Caf\xE9-weetjes.rrs", "b.dat", "serie7"};

    void SetUp() override
    {
        PackCheck::SetUp();
        ASSERT_EQ(GetOEMCP(), 850u) << "run with LC_ALL=nl_NL.UTF-8";
        AddSeries(series);
        AddSeries({"Lees mij.txt", "instrrse.exe"});
        WriteList("Café-weetjes.rrs\r\nb.dat\r\nserie7\r\nLees mij.txt\r\n");
    }

    size_t TempLeftOvers()
    {
        char szTemp[MAX_PATH];
        GetTempPathA(MAX_PATH, szTemp);
        return driver::FindNames(std::string(szTemp) + "pck*").size();
    }
};

// Info-ZIP's zip stores the UTF-8 bytes of the file system without saying
// so: Explorer writes "Caf├®-weetjes.rrs", which the installer still finds.
TEST_F(ZipPack, ZipFromInfoZipIsJudgedAsExplorerUnpacksIt)
{
    ASSERT_EQ(RunShell("zip -qr pack.zip nieuw", root), 0);
    size_t cLeftOvers = TempLeftOvers();
    Console run = RunExpecting("..\\pack.zip", 0);
    EXPECT_PRINTS(run, "\\pack.zip, map \"nieuw\", uitgepakt zoals Windows Verkenner dat doet met"
                       " OEM-codetabel 850\r\n");
    EXPECT_PRINTS(run, "  \"Café-weetjes.rrs\": wordt verplaatst (het bestand \"Caf├®-weetjes.rrs\","
                       " zoals een zip-programma het noemde)\r\n");
    EXPECT_PRINTS(run, "  \"Café-weetjes.rrs\" wordt \"Caf├®-weetjes.rrs\"; instrrse.exe vindt de"
                       " serie toch en installeert hem als \"Café-weetjes.rrs\"\r\n");
    EXPECT_PRINTS(run, "installeert instrrse.exe elke serie uit de lijst (3).\r\n");
    EXPECT_EQ(TempLeftOvers(), cLeftOvers) << "the unpacked names must go again";
    EXPECT_EQ(Run("teinstal.txt").exitCode, 2u) << "not a zip";
}

// Zips as other tools write them, each judged as Explorer unpacks it.
struct ToolZip {
    const char *label;
    const char *folder;    // the pack's folder: "nieuw" renamed to this
    const char *command;   // makes ..\pack.zip in the folder above it
    DWORD dwExitCode;
    const char *text;      // what packcheck prints
};

// Python's zipfile, from Debian's python3, compresses the series with
// BZip2, which Explorer does not unpack, and the rest with deflate.
const char kBzip2Script[] =
    "import os, sys, zipfile\n"
    "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
    "    for name in sorted(os.listdir('nieuw')):\n"
    "        series = not name.endswith(('.txt', '.exe'))\n"
    "        z.write('nieuw/' + name, compress_type=zipfile.ZIP_BZIP2 if series\n"
    "                else zipfile.ZIP_DEFLATED)\n";

const ToolZip kToolZips[] = {
    {"Zip64FromInfoZip", "nieuw", "zip -qr -fz pack.zip nieuw", 0,
     "  \"Café-weetjes.rrs\": wordt verplaatst (het bestand \"Caf├®-weetjes.rrs\", zoals een"
     " zip-programma het noemde)\r\n"},
    {"Bzip2FromPython", "nieuw", "/usr/bin/python3 mkzip.py pack.zip", 1,
     "  \"b.dat\": FOUT: Windows Verkenner pakt dit bestand niet uit: methode BZip2\r\n"},
    // Explorer's folder name is one the ANSI code page cannot hold.
    {"AccentedFolderFromInfoZip", "Raadrups s\xE9ries 2026", "zip -qr pack.zip Raadrups*", 1,
     "Waarschuwing: Windows Verkenner noemt een map van het pakket anders dan de maker van de"
     " zip:\r\n  \"Raadrups séries 2026\" wordt \"Raadrups s├®ries 2026\"\r\n\r\n"
     "FOUT: codetabel 1252 kan de naam van deze map niet bevatten: \"Raadrups s├®ries 2026\".\r\n"},
};

TEST_F(ZipPack, ZipsOfOtherToolsAreJudgedAsExplorerUnpacksThem)
{
    ASSERT_TRUE(driver::WriteFile(root + "\\mkzip.py", kBzip2Script));
    const std::string packed = start;
    for (const ToolZip &row : kToolZips) {
        SCOPED_TRACE(row.label);
        start = root + "\\" + row.folder;
        ASSERT_TRUE(start == packed || MoveFileA(packed.c_str(), start.c_str()));
        DeleteFileA((root + "\\pack.zip").c_str());
        ASSERT_EQ(RunShell(row.command, root), 0);
        Console run = RunExpecting("..\\pack.zip", row.dwExitCode);
        EXPECT_PRINTS(run, row.text);
        if (start != packed) {
            // The zip packcheck makes names the folder as it is written.
            EXPECT_EQ(Run("--zip ..\\pack.zip --force").exitCode, 0u);
            run = RunExpecting("..\\pack.zip", 0);
            EXPECT_PRINTS(run, ", map \"Raadrups séries 2026\", uitgepakt");
            EXPECT_EQ(run.out.find("noemt een map"), std::string::npos) << run.out;
            ASSERT_TRUE(MoveFileA(start.c_str(), packed.c_str()));
            start = packed;
        }
    }
}

// The zip packcheck makes unpacks under the listed names, and the real
// installer installs every series from it.
TEST_F(ZipPack, MadeZipUnpacksAsWrittenAndInstalls)
{
    AddSeries({"niet genoemd.dat"});
    const std::string list = "Café-weetjes.rrs\r\nb.dat\r\nserie7\r\nLees mij.txt\r\n";
    WriteList(list + "ontbreekt.dat\r\n");
    EXPECT_EQ(Run("--zip ..\\pack.zip").exitCode, 1u);
    EXPECT_FALSE(driver::FileExists(root + "\\pack.zip")) << "a zip of a faulty pack";
    WriteList(list);
    Console run = RunExpecting("--zip ..\\pack.zip", 0);
    EXPECT_PRINTS(run, "\\pack.zip (6 bestanden in de map \"nieuw\").\r\n");
    EXPECT_EQ(Run("--zip ..\\pack.zip").exitCode, 2u) << "replaced a zip without --force";
    EXPECT_EQ(Run("--zip ..\\pack.zip --force").exitCode, 0u);
    EXPECT_FALSE(driver::FileExists(root + "\\pack.zip.packcheck-deel"));
    EXPECT_EQ(Run("..\\pack.zip").exitCode, 0u) << "its own zip, deflated, checked";

    driver::MakeFolder(root + "\\uitgepakt");
    ASSERT_EQ(RunShell("unzip -q ../pack.zip", root + "\\uitgepakt"), 0);
    start = root + "\\uitgepakt\\nieuw";
    EXPECT_EQ(driver::ListFolder(start),
              std::vector<std::string>({"Caf\xE9-weetjes.rrs", "Lees mij.txt", "b.dat",
                                        "instrrse.exe", "serie7", "teinstal.txt"}));
    EXPECT_EQ(InstallTo(data, "Succes"), kSuccessText);
    for (const std::string &name : series)
        EXPECT_TRUE(InDataOnly(name));
    EXPECT_TRUE(InStartOnly("Lees mij.txt"));
    EXPECT_TRUE(ListDeleted());
}

}  // namespace
