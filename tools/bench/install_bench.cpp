// What the installer's moves cost against the least any mover must do:
// installs a pack of many small series files and one of a few large ones
// through the real program (found through its Start-menu shortcut, so the
// dialog only needs "Ok"), and moves the same files with a plain loop of
// CopyFileA and DeleteFileA in the same prefix, and with that loop forcing
// each copy to disk before its source is deleted. Every run is checked
// (every file in the data folder with its size, a sample byte for byte)
// before its time counts.
//
// install_bench <instrrse.exe as a Windows path> [repetitions]
#include "tests/driver/driver.h"
#include "tests/driver/files.h"
#include "res/resource.h"
#include "tests/discovery/install_tree.h"
#include "tools/bench/timing.h"
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

const char kRaadrups[] = "C:\\bench\\Raadrups";
const char kData[] = "C:\\bench\\Raadrups\\data";
const char kStart[] = "C:\\bench\\uitgepakt\\series";
const DWORD kDialogWaitMs = 30000;
const DWORD kMovesWaitMs = 600000;   // 400 MiB on a slow, shared disk
const DWORD kPollMs = 2;
const DWORD kSettleMs = 1000;

struct Pack {
    const char *label;
    int cFiles;
    DWORD cbFile;
    int sampleEvery;   // every n-th file is compared byte for byte
};

const Pack kPacks[] = {
    {"2000 x 64 KiB", 2000, 64 * 1024, 97},
    {"20 x 20 MiB", 20, 20 * 1024 * 1024, 7},
};

struct RunTimes {
    double moves = 0;   // from "Ok" until the closing box is shown
    double whole = 0;   // from the start of the process until it ended
};

// Contents no two files share: the name, then a pseudo-random stream that
// starts at a place of its own for each file.
std::string SeriesContent(int i, DWORD cb)
{
    static std::vector<unsigned char> noise;
    if (noise.empty()) {
        noise.resize(1 << 20);
        unsigned x = 2463534242u;
        for (unsigned char &b : noise) {
            x ^= x << 13; x ^= x >> 17; x ^= x << 5;
            b = (unsigned char)x;
        }
    }
    std::string bytes = "Raadrups serie " + SeriesName(i) + "\r\n";
    bytes.reserve(cb);
    size_t pos = ((size_t)i * 7919) % noise.size();
    while (bytes.size() < cb) {
        size_t n = std::min<size_t>(cb - bytes.size(), noise.size() - pos);
        bytes.append(reinterpret_cast<const char *>(&noise[pos]), n);
        pos = 0;
    }
    bytes.resize(cb);
    return bytes;
}

// Fresh series files and their list in the start folder, an empty data
// folder.
bool LayOutPack(const Pack &pack)
{
    driver::RemoveTree(kStart);
    driver::RemoveTree(kData);
    driver::MakeFolder("C:\\bench\\uitgepakt");
    driver::MakeFolder(kStart);
    driver::MakeFolder(kData);
    std::string list;
    for (int i = 0; i < pack.cFiles; i++) {
        if (!driver::WriteFile(std::string(kStart) + "\\" + SeriesName(i), SeriesContent(i, pack.cbFile)))
            return false;
        list += SeriesName(i) + "\r\n";
    }
    if (!driver::WriteFile(std::string(kStart) + "\\teinstal.txt", list))
        return false;
    // The same pause before either mover starts: the system is still busy
    // with the pack just written, and the installer's start alone would
    // otherwise give it more time for that than the loop gets.
    Sleep(kSettleMs);
    return true;
}

std::map<std::string, ULONGLONG> FileSizes(const std::string &folder)
{
    std::map<std::string, ULONGLONG> sizes;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return sizes;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            sizes[fd.cFileName] = ((ULONGLONG)fd.nFileSizeHigh << 32) | fd.nFileSizeLow;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return sizes;
}

// Every series file in the data folder with its size and nothing else
// there, nothing left in the start folder, a sample byte for byte.
bool CheckInstalled(const Pack &pack, const char *who)
{
    std::map<std::string, ULONGLONG> sizes = FileSizes(kData);
    bool ok = sizes.size() == (size_t)pack.cFiles;
    for (int i = 0; ok && i < pack.cFiles; i++) {
        auto it = sizes.find(SeriesName(i));
        ok = it != sizes.end() && it->second == pack.cbFile;
    }
    if (!ok) {
        fprintf(stderr, "bench: %s: the data folder holds %zu files, not the %d series of %lu bytes\n",
                who, sizes.size(), pack.cFiles, (unsigned long)pack.cbFile);
        return false;
    }
    if (!driver::ListFolder(kStart).empty()) {
        fprintf(stderr, "bench: %s: the start folder is not empty afterwards\n", who);
        return false;
    }
    for (int i = 0; i < pack.cFiles; i += pack.sampleEvery) {
        std::string bytes;
        if (!driver::ReadFile(std::string(kData) + "\\" + SeriesName(i), &bytes)
            || bytes != SeriesContent(i, pack.cbFile)) {
            fprintf(stderr, "bench: %s: %s differs from what was laid out\n", who, SeriesName(i).c_str());
            return false;
        }
    }
    return true;
}

// A visible dialog of the installer with this caption. By class and
// caption first: one request to the window server for each poll, so that
// polling during the moves takes next to nothing from them.
HWND FindBox(DWORD pid, const char *caption)
{
    HWND hwnd = NULL;
    while ((hwnd = FindWindowExA(NULL, hwnd, "#32770", caption)) != NULL) {
        DWORD pidOwner = 0;
        GetWindowThreadProcessId(hwnd, &pidOwner);
        if (pidOwner == pid && IsWindowVisible(hwnd))
            return hwnd;
    }
    return NULL;
}

// The driver polls every 20 ms, too coarse for a run of a second; a finer
// poll of its own, which ends early when the installer has ended.
// A second caption is watched for as well (*pfOther tells which was
// found): a warning instead of success must end the wait at once.
HWND WaitForBox(const driver::Installer &inst, const char *caption, DWORD ms,
                const char *otherCaption = NULL, bool *pfOther = NULL)
{
    DWORD dwStart = GetTickCount();
    for (;;) {
        HWND hwnd = FindBox(inst.pi.dwProcessId, caption);
        if (hwnd == NULL && otherCaption != NULL) {
            hwnd = FindBox(inst.pi.dwProcessId, otherCaption);
            *pfOther = hwnd != NULL;
        }
        if (hwnd != NULL)
            return hwnd;
        if (GetTickCount() - dwStart > ms
            || WaitForSingleObject(inst.pi.hProcess, kPollMs) == WAIT_OBJECT_0)
            return NULL;
    }
}

bool RunInstaller(const std::string &exe, const Pack &pack, RunTimes *pTimes)
{
    if (!LayOutPack(pack)) {
        fprintf(stderr, "bench: could not lay out the pack\n");
        return false;
    }
    driver::Installer inst;
    const double tStart = Seconds();
    if (!driver::Start(inst, exe, kStart)) {
        fprintf(stderr, "bench: could not start %s\n", exe.c_str());
        return false;
    }
    HWND hDlg = WaitForBox(inst, "Raadrups data-map", kDialogWaitMs);
    std::string shown = hDlg != NULL ? driver::ItemText(hDlg, IDC_DATAPATH) : "";
    if (shown != std::string(kData) + "\\") {
        fprintf(stderr, "bench: the dialog %s, not the data folder\n",
                hDlg == NULL ? "did not appear" : ("offers '" + shown + "'").c_str());
        driver::Kill(inst);
        return false;
    }
    const double tOk = Seconds();
    driver::Press(hDlg, IDOK);
    bool fWarning = false;
    HWND hBox = WaitForBox(inst, "Succes", kMovesWaitMs, "Let op", &fWarning);
    const double tBox = Seconds();
    if (hBox == NULL || fWarning) {
        // The box may be found before its text is in place.
        std::string text;
        for (int i = 0; hBox != NULL && text.empty() && i < 50; i++, Sleep(20))
            text = driver::MessageBoxText(hBox);
        fprintf(stderr, "bench: no \"Succes\"%s%s\n", hBox ? ", but: " : "", text.c_str());
        driver::Kill(inst);
        return false;
    }
    driver::Press(hBox, IDOK);
    DWORD dwExit = 1;
    if (!driver::WaitForExit(inst, &dwExit) || dwExit != 0) {
        fprintf(stderr, "bench: the installer did not end cleanly\n");
        return false;
    }
    pTimes->moves = tBox - tOk;
    pTimes->whole = Seconds() - tStart;
    return CheckInstalled(pack, "installer");
}

// The least a mover must do for the same files: copy, then delete. The
// baseline copies as the program did before its moves made each copy
// durable, overwriting a target; the loop that refuses to overwrite is
// timed too, since under Wine it costs less (the data folder is empty, so
// both do the same here); and the loop that forces each copy to disk
// before its source is deleted, the least a mover must do that loses
// nothing on a power cut.
enum BaselineLoop { LOOP_RAW, LOOP_NOT_OVERWRITING, LOOP_FLUSHING };

bool FlushCopy(const std::string &path)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    bool ok = FlushFileBuffers(hFile) != FALSE;
    CloseHandle(hFile);
    return ok;
}

bool RunBaseline(const Pack &pack, BaselineLoop loop, double *pSeconds)
{
    if (!LayOutPack(pack) || !DeleteFileA((std::string(kStart) + "\\teinstal.txt").c_str())) {
        fprintf(stderr, "bench: could not lay out the pack\n");
        return false;
    }
    std::vector<std::string> sources, targets;
    for (int i = 0; i < pack.cFiles; i++) {
        sources.push_back(std::string(kStart) + "\\" + SeriesName(i));
        targets.push_back(std::string(kData) + "\\" + SeriesName(i));
    }
    const double t0 = Seconds();
    for (int i = 0; i < pack.cFiles; i++) {
        if (!CopyFileA(sources[i].c_str(), targets[i].c_str(), loop == LOOP_NOT_OVERWRITING)
            || (loop == LOOP_FLUSHING && !FlushCopy(targets[i]))
            || !DeleteFileA(sources[i].c_str())) {
            fprintf(stderr, "bench: baseline: %s not moved (error %lu)\n", sources[i].c_str(), GetLastError());
            return false;
        }
    }
    *pSeconds = Seconds() - t0;
    return CheckInstalled(pack, "baseline");
}

bool EnoughDisk(const Pack &pack)
{
    const ULONGLONG cbNeeded = 2ull * pack.cFiles * pack.cbFile + (256ull << 20);
    ULARGE_INTEGER free = {};
    if (!GetDiskFreeSpaceExA("C:\\", &free, NULL, NULL) || free.QuadPart < cbNeeded) {
        fprintf(stderr, "bench: C: has %llu MiB free, the pack needs %llu MiB\n",
                free.QuadPart >> 20, cbNeeded >> 20);
        return false;
    }
    return true;
}

bool BenchPack(const std::string &exe, const Pack &pack, int cReps)
{
    if (!EnoughDisk(pack))
        return false;
    std::vector<double> base, lean, flushed, moves, whole, ratios, flushRatios;
    for (int rep = 0; rep < cReps; rep++) {
        RunTimes t;
        double tBase = 0, tLean = 0, tFlushed = 0;
        if (!RunInstaller(exe, pack, &t) || !RunBaseline(pack, LOOP_RAW, &tBase)
            || !RunBaseline(pack, LOOP_NOT_OVERWRITING, &tLean)
            || !RunBaseline(pack, LOOP_FLUSHING, &tFlushed))
            return false;
        printf("  %-14s run %d: baseline %7.3f s (not overwriting %7.3f s, flushing %7.3f s),"
               " moves %7.3f s (%.3f x baseline, %.3f x flushing), whole run %7.3f s (%.3f x)\n",
               pack.label, rep + 1, tBase, tLean, tFlushed, t.moves, t.moves / tBase,
               t.moves / tFlushed, t.whole, t.whole / tBase);
        fflush(stdout);
        base.push_back(tBase);
        lean.push_back(tLean);
        flushed.push_back(tFlushed);
        moves.push_back(t.moves);
        whole.push_back(t.whole);
        ratios.push_back(t.moves / tBase);
        flushRatios.push_back(t.moves / tFlushed);
    }
    const double tBase = Median(base), tLean = Median(lean), tFlushed = Median(flushed);
    const double tMoves = Median(moves), tWhole = Median(whole);
    const double mib = (double)pack.cFiles * pack.cbFile / (1 << 20);
    printf("%-14s median: baseline %.3f s (%.0f MiB/s, %.3f ms a file)\n", pack.label, tBase,
           mib / tBase, tBase * 1e3 / pack.cFiles);
    printf("%-14s         moves     %.3f s = %.3f x baseline\n", "", tMoves, tMoves / tBase);
    printf("%-14s         moves, median of each run's own ratio: %.3f x baseline\n", "", Median(ratios));
    printf("%-14s         flushing loop %.3f s = %.3f x baseline; moves = %.3f x that loop"
           " (median of each run's own ratio: %.3f x)\n",
           "", tFlushed, tFlushed / tBase, tMoves / tFlushed, Median(flushRatios));
    printf("%-14s         whole run %.3f s = %.3f x baseline\n", "", tWhole, tWhole / tBase);
    printf("%-14s         not-overwriting loop %.3f s = %.3f x baseline; moves = %.3f x that loop\n",
           "", tLean, tLean / tBase, tMoves / tLean);
    fflush(stdout);
    return true;
}

// The Raadrups installation and the Start-menu shortcut to it: the
// parent-folder check fails for the start folder, so the run takes the
// shortcut road to the data folder.
bool LayOutRaadrups(tree::TreeBuilder &made)
{
    const std::string programs = tree::ShellFolder(CSIDL_COMMON_PROGRAMS);
    return !programs.empty()
        && made.Installation(kRaadrups, ".\\data")
        && made.Shortcut(programs + "\\Raadrups\\Raadrups.lnk", std::string(kRaadrups) + "\\wimbelok.exe");
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: install_bench <instrrse.exe> [repetitions]\n");
        return 2;
    }
    const std::string exe = argv[1];
    const int cReps = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    CoInitialize(NULL);
    driver::RemoveTree("C:\\bench");
    driver::MakeFolder("C:\\bench");
    tree::TreeBuilder made;
    int rc = 0;
    if (!LayOutRaadrups(made)) {
        fprintf(stderr, "bench: could not lay out Raadrups and its shortcut\n");
        rc = 1;
    }
    printf("installer: %s\n", exe.c_str());
    for (const Pack &pack : kPacks)
        if (rc == 0 && !BenchPack(exe, pack, cReps))
            rc = 1;
    driver::RemoveTree(kStart);
    driver::RemoveTree(kData);
    made.Remove();
    driver::RemoveTree("C:\\bench");
    CoUninitialize();
    return rc;
}
