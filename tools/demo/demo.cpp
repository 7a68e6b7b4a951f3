// The demo: lays out a realistic sample in the demo's own Wine prefix (a
// Raadrups installation with a few series, its Start-menu shortcut, and a
// downloaded series pack with Dutch names) and starts the real installer in
// the pack's folder. On the user's own display the user answers the dialog
// and the demo only watches; with --drive it answers as a user would:
// confirms the data folder the dialog offers, saves a screenshot of the
// dialog and of the closing box (--shots folder, as BMP files) and confirms
// the box. Then it prints what moved where.
#include "tests/driver/driver.h"
#include "tests/driver/files.h"
#include "tests/driver/shell.h"
#include "res/resource.h"
#include <shlobj.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// Texts are written here in UTF-8 and turned into the ANSI code page at
// run time: file names on a Dutch Windows are Windows-1252 bytes.
struct Series {
    const char *name;
    const char *question;
    const char *answer;
};

const Series kNewSeries[] = {
    {"Aardrijkskunde België.dat", "Wat is de hoofdstad van Wallonië?", "Namen"},
    {"Café-weetjes.dat", "Uit welk land komt de cappuccino?", "Italië"},
    {"Geschiedenis van Curaçao.dat", "Sinds welk jaar is Curaçao een land binnen het Koninkrijk?", "2010"},
    {"Muziek uit de jaren '80.dat", "Uit welk land kwam de groep a-ha?", "Noorwegen"},
    {"Sport — Elfstedentocht.dat", "Hoeveel steden doet de Elfstedentocht aan?", "elf"},
    {"Taal en spelling (één of twee).dat", "Schrijf je 'één' met of zonder accenten?", "met"},
    {"Crème brûlée & andere desserts.dat", "Waarmee brand je de suiker van een crème brûlée?", "een brander"},
    {"Wiskunde ½ en ¼.dat", "Hoeveel is ½ + ¼?", "¾"},
    {"Geld & economie (€).dat", "In welk jaar kwamen de euromunten in omloop?", "2002"},
    {"Zeeën en oceanen.dat", "Wat is de grootste oceaan?", "de Stille Oceaan"},
    {"Reizen naar Ålesund.dat", "In welk land ligt Ålesund?", "Noorwegen"},
    {"Dieren op de Veluwe.dat", "Welk hoefdier met een gewei leeft op de Veluwe?", "het edelhert"},
};

// Already in the data folder; the older Café-weetjes is replaced.
const Series kInstalledSeries[] = {
    {"Algemene kennis 1.dat", "Hoeveel provincies heeft Nederland?", "twaalf"},
    {"Algemene kennis 2.dat", "Welke rivier stroomt door Nijmegen?", "de Waal"},
    {"Café-weetjes.dat", "Wat is een espresso?", "sterke koffie"},
};

const char kDialogCaption[] = "Raadrups data-map";
const char kPackName[] = "Raadrups series 2026";
const DWORD kUserWaitMs = 30 * 60 * 1000;   // a user at the dialog may take a while

struct Options {
    bool fDrive = false;
    std::string shots;      // a Windows folder for the screenshots; "" for none
};

struct Places {
    std::string install;    // the Raadrups installation
    std::string data;       // its data folder, as tolpen.ini names it
    std::string menu;       // the Start menu folder "Raadrups"
    std::string pack;       // the unpacked series pack: the start folder
};

// What the installer showed, as the demo last saw it.
struct Seen {
    std::string dialogText;
    std::string pathBox;
    std::string boxCaption;
    std::string boxText;
    DWORD dwExitCode = 0;
};

std::string Convert(const std::string &s, UINT cpFrom, UINT cpTo)
{
    if (s.empty())
        return s;
    int cwch = MultiByteToWideChar(cpFrom, 0, s.data(), (int)s.size(), NULL, 0);
    std::wstring wide(cwch, L'\0');
    MultiByteToWideChar(cpFrom, 0, s.data(), (int)s.size(), &wide[0], cwch);
    int cb = WideCharToMultiByte(cpTo, 0, wide.data(), cwch, NULL, 0, NULL, NULL);
    std::string out(cb, '\0');
    WideCharToMultiByte(cpTo, 0, wide.data(), cwch, &out[0], cb, NULL, NULL);
    return out;
}

std::string Ansi(const char *pszUtf8)
{
    return Convert(pszUtf8, CP_UTF8, CP_ACP);
}

// Prints one line formatted in ANSI bytes, as UTF-8 for the terminal.
void Say(const char *pszFormat, ...)
{
    char szLine[4096];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szLine, sizeof(szLine), pszFormat, args);
    va_end(args);
    std::string out = Convert(szLine, CP_ACP, CP_UTF8) + "\n";
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
}

std::string SeriesBytes(const Series &series, const char *pszEdition)
{
    std::string title = Ansi(series.name);
    title.erase(title.size() - strlen(".dat"));
    return "Raadrups-serie: " + title + "\r\nUitgave " + pszEdition + "\r\n\r\nVraag 1: " +
           Ansi(series.question) + "\r\nAntwoord: " + Ansi(series.answer) + "\r\n";
}

// Writes a file and reads it back: the demo must not start from a sample
// that is not what it claims.
bool Put(const std::string &path, const std::string &bytes)
{
    std::string got;
    if (driver::WriteFile(path, bytes) && driver::ReadFile(path, &got) && got == bytes)
        return true;
    Say("could not write %s", path.c_str());
    return false;
}

long long FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA fad;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &fad))
        return -1;
    return ((long long)fad.nFileSizeHigh << 32) | fad.nFileSizeLow;
}

bool FindPlaces(Places *pPlaces)
{
    std::string programFiles = driver::ShellFolder(CSIDL_PROGRAM_FILES);
    std::string programs = driver::ShellFolder(CSIDL_COMMON_PROGRAMS);
    std::string profile = driver::ShellFolder(CSIDL_PROFILE);
    if (programFiles.empty() || programs.empty() || profile.empty()) {
        Say("the prefix has no Program Files, Start menu or user profile folder");
        return false;
    }
    pPlaces->install = programFiles + "\\Raadrups";
    pPlaces->data = pPlaces->install + "\\data";
    pPlaces->menu = programs + "\\Raadrups";
    pPlaces->pack = profile + "\\Downloads\\" + kPackName;
    return true;
}

// A second run starts from the same sample as the first.
void ClearEarlierRun(const Places &places)
{
    driver::RemoveTree(places.install);
    driver::RemoveTree(places.menu);
    driver::RemoveTree(places.pack);
}

bool LayOutInstallation(const Places &places)
{
    driver::MakeFolder(places.install);
    driver::MakeFolder(places.data);
    bool fOk = Put(places.install + "\\wimbelok.exe", "MZ (stands in for the Raadrups quiz program)\r\n")
        && Put(places.install + "\\tolpen.ini",
               "[Algemeen]\r\nTaal=NL\r\nGeluid=Aan\r\n\r\n[Tolpen]\r\nData=.\\data\r\n");
    for (const Series &series : kInstalledSeries)
        fOk = fOk && Put(places.data + "\\" + Ansi(series.name), SeriesBytes(series, "2019"));
    return fOk;
}

bool LayOutStartMenu(const Places &places)
{
    driver::MakeFolder(places.menu);
    if (driver::MakeShortcut(places.menu + "\\Raadrups.lnk", places.install + "\\wimbelok.exe", places.install))
        return true;
    Say("could not make the Start-menu shortcut");
    return false;
}

std::string SeriesList()
{
    std::string list = "Lees mij.txt\r\n";
    for (const Series &series : kNewSeries)
        list += Ansi(series.name) + "\r\n";
    return list;
}

bool LayOutPack(const Places &places)
{
    driver::MakeFolder(places.pack.substr(0, places.pack.find_last_of('\\')));
    driver::MakeFolder(places.pack);
    bool fOk = true;
    for (const Series &series : kNewSeries)
        fOk = fOk && Put(places.pack + "\\" + Ansi(series.name), SeriesBytes(series, "2026"));
    fOk = fOk
        && Put(places.pack + "\\Lees mij.txt",
               Ansi("Nieuwe series voor Raadrups, uitgave 2026.\r\n\r\n"
                    "Dubbelklik op instrrse.exe: het zoekt Raadrups zelf op en zet de series\r\n"
                    "in de data-map. Daarna kun je deze map weggooien.\r\n"))
        && Put(places.pack + "\\teinstal.txt", SeriesList());
    // The installer travels with the pack and is started from it.
    if (fOk && !CopyFileA(driver::InstallerPath().c_str(),
                          (places.pack + "\\instrrse.exe").c_str(), FALSE)) {
        Say("could not copy instrrse.exe into the pack");
        fOk = false;
    }
    return fOk;
}

bool LayOutSample(const Places &places)
{
    ClearEarlierRun(places);
    return LayOutInstallation(places) && LayOutStartMenu(places) && LayOutPack(places);
}

void SayFolder(const char *pszLabel, const std::string &folder)
{
    Say("%s %s", pszLabel, folder.c_str());
    for (const std::string &name : driver::ListFolder(folder))
        Say("      %-40s %6lld bytes", name.c_str(), FileSize(folder + "\\" + name));
}

void DescribeSample(const Places &places)
{
    Say("The sample, in the demo's Wine prefix:");
    Say("  Raadrups installed in %s (wimbelok.exe; tolpen.ini: [Tolpen] Data=.\\data)", places.install.c_str());
    Say("  Start-menu shortcut   %s\\Raadrups.lnk -> wimbelok.exe", places.menu.c_str());
    SayFolder("  data folder          ", places.data);
    SayFolder("  downloaded pack      ", places.pack);
    Say("");
}

bool Start(driver::Installer &inst, const Places &places)
{
    // The pointer stays off the dialog, so its link is drawn as it is
    // before the user comes near it.
    SetCursorPos(0, 0);
    std::string exe = places.pack + "\\instrrse.exe";
    Say("Starting %s", exe.c_str());
    if (driver::Start(inst, exe, places.pack))
        return true;
    Say("could not start %s", exe.c_str());
    return false;
}

void ReadDialog(HWND hDlg, Seen *pSeen)
{
    pSeen->dialogText = driver::ItemText(hDlg, IDC_MESSAGE);
    pSeen->pathBox = driver::ItemText(hDlg, IDC_DATAPATH);
}

// The closing box, "Succes" or "Let op"; NULL when none comes in time.
HWND FindClosingBox(const driver::Installer &inst, DWORD ms, Seen *pSeen)
{
    DWORD dwStart = GetTickCount();
    do {
        for (const char *pszCaption : {"Succes", "Let op"}) {
            HWND hBox = driver::WaitForDialog(inst, pszCaption, 0);
            if (hBox != NULL) {
                pSeen->boxCaption = pszCaption;
                pSeen->boxText = driver::MessageBoxText(hBox);
                return hBox;
            }
        }
    } while (WaitForSingleObject(inst.pi.hProcess, 50) == WAIT_TIMEOUT && GetTickCount() - dwStart < ms);
    return NULL;
}

bool SaveShot(HWND hwnd, const Options &opt, const char *pszName)
{
    std::string path = opt.shots + "\\" + pszName;
    if (opt.shots.empty() || driver::SaveWindowBmp(hwnd, path))
        return true;
    Say("could not save a screenshot to %s", path.c_str());
    return false;
}

// Answers as a user who agrees with the folder the dialog offers.
bool Drive(driver::Installer &inst, const Places &places, const Options &opt, Seen *pSeen)
{
    HWND hDlg = driver::WaitForDialog(inst, kDialogCaption);
    if (hDlg == NULL) {
        Say("no dialog \"%s\" appeared", kDialogCaption);
        return false;
    }
    ReadDialog(hDlg, pSeen);
    if (pSeen->pathBox != places.data + "\\") {
        Say("the path box shows \"%s\", not the data folder", pSeen->pathBox.c_str());
        return false;
    }
    if (!SaveShot(hDlg, opt, "demo-dialog.bmp"))
        return false;
    driver::Press(hDlg, IDOK);
    HWND hBox = FindClosingBox(inst, driver::kWaitMs, pSeen);
    if (hBox == NULL) {
        Say("no closing message box appeared");
        return false;
    }
    if (!SaveShot(hBox, opt, "demo-box.bmp"))
        return false;
    driver::Press(hBox, IDOK);
    return driver::WaitForExit(inst, &pSeen->dwExitCode);
}

// The user answers; the demo notes the folder the dialog holds when it
// closes and the closing box's text.
bool Watch(driver::Installer &inst, Seen *pSeen)
{
    Say("The dialog is open on your display: answer it as a user would.");
    DWORD dwStart = GetTickCount();
    while (WaitForSingleObject(inst.pi.hProcess, 100) == WAIT_TIMEOUT) {
        if (GetTickCount() - dwStart > kUserWaitMs) {
            Say("no answer in %lu minutes; the installer is ended", kUserWaitMs / 60000);
            driver::Kill(inst);
            return false;
        }
        HWND hDlg = driver::WaitForDialog(inst, kDialogCaption, 0);
        if (hDlg != NULL)
            ReadDialog(hDlg, pSeen);
        FindClosingBox(inst, 0, pSeen);
    }
    return driver::WaitForExit(inst, &pSeen->dwExitCode, 0);
}

// Says a long text in lines of at most about 76 characters.
void SayWrapped(const std::string &text)
{
    std::string line;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos)
            end = text.size();
        std::string word = text.substr(at, end - at);
        if (!line.empty() && line.size() + 1 + word.size() > 74) {
            Say("  %s", line.c_str());
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        at = end + 1;
    }
    Say("  %s", line.c_str());
}

void SayWhatWasShown(const Seen &seen)
{
    Say("");
    Say("The dialog \"%s\" said:", kDialogCaption);
    SayWrapped(seen.dialogText);
    Say("  path box: %s", seen.pathBox.c_str());
    if (seen.boxCaption.empty()) {
        Say("No closing message box was shown.");
    } else {
        Say("The closing message box, caption \"%s\", said:", seen.boxCaption.c_str());
        std::string text = seen.boxText;
        for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 3)
            text.replace(at, 1, "\n  ");
        Say("  %s", text.c_str());
    }
    Say("The installer ended with exit code %lu.", seen.dwExitCode);
}

std::string WithoutTrailingBackslash(std::string path)
{
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

bool WasInstalled(const char *pszName)
{
    for (const Series &series : kInstalledSeries)
        if (strcmp(series.name, pszName) == 0)
            return true;
    return false;
}

// Each new series: where it went, its size, whether it arrived whole.
// True when every one is in the target folder with its own contents.
bool SayWhatMovedWhere(const Places &places, const Seen &seen)
{
    std::string target = WithoutTrailingBackslash(seen.pathBox.empty() ? places.data : seen.pathBox);
    Say("");
    Say("What moved where:");
    Say("  from  %s", places.pack.c_str());
    Say("  to    %s", target.c_str());
    bool fAll = true;
    for (const Series &series : kNewSeries) {
        std::string name = Ansi(series.name);
        std::string bytes = SeriesBytes(series, "2026");
        std::string inTarget, inPack;
        bool fMoved = driver::ReadFile(target + "\\" + name, &inTarget) && inTarget == bytes
            && !driver::FileExists(places.pack + "\\" + name);
        bool fStayed = driver::ReadFile(places.pack + "\\" + name, &inPack) && inPack == bytes;
        const char *pszWhat = !fMoved ? (fStayed ? "NOT moved, still in the pack" : "LOST or changed")
                              : WasInstalled(series.name) ? "moved, contents intact, replaced the 2019 edition"
                                                          : "moved, contents intact";
        Say("  %-40s %4zu bytes  %s", name.c_str(), bytes.size(), pszWhat);
        fAll = fAll && fMoved;
    }
    Say("The list teinstal.txt was %s.",
        driver::FileExists(places.pack + "\\teinstal.txt") ? "kept" : "deleted by the installer");
    std::string left;
    for (const std::string &name : driver::ListFolder(places.pack))
        left += (left.empty() ? "" : ", ") + name;
    Say("Left in the pack folder: %s", left.empty() ? "nothing" : left.c_str());
    SayFolder("The data folder now:", places.data);
    return fAll;
}

bool ParseOptions(int argc, char **argv, Options *pOpt)
{
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--drive") == 0)
            pOpt->fDrive = true;
        else if (strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
            pOpt->shots = argv[++i];
        else
            return false;
    }
    return true;
}

bool RunInstaller(const Places &places, const Options &opt, Seen *pSeen)
{
    driver::Installer inst;
    bool fOk = Start(inst, places) && (opt.fDrive ? Drive(inst, places, opt, pSeen) : Watch(inst, pSeen));
    driver::Kill(inst);
    return fOk;
}

}  // namespace

int main(int argc, char **argv)
{
    Options opt;
    if (!ParseOptions(argc, argv, &opt)) {
        fprintf(stderr, "usage: demo [--drive [--shots windows-folder]]\n");
        return 2;
    }
    SetConsoleOutputCP(CP_UTF8);
    if (GetACP() != 1252) {
        Say("the prefix runs with ANSI code page %u, not 1252; start Wine under a UTF-8 locale such as C.UTF-8", GetACP());
        return 2;
    }
    CoInitialize(NULL);
    Places places;
    Seen seen;
    bool fOk = FindPlaces(&places) && LayOutSample(places);
    if (fOk) {
        DescribeSample(places);
        fOk = RunInstaller(places, opt, &seen);
    }
    if (fOk) {
        SayWhatWasShown(seen);
        // A user may cancel or pick another folder; only the driven run must
        // end with everything in the data folder.
        fOk = SayWhatMovedWhere(places, seen) || !opt.fDrive;
    }
    CoUninitialize();
    return fOk ? 0 : 1;
}
