// What one shortcut on a desktop costs the program search. Times the
// search over 1,000 shortcuts that do not count and one last that does,
// against the search over empty shell folders in the same run.
#include "tests/discovery/install_tree.h"
#include "app/globals.h"
#include "discovery/discovery.h"
#include "tools/bench/timing.h"
#include <shlobj.h>
#include <stdio.h>
#include <string.h>
#include <vector>

static const int c_cShortcuts = 1000;

// The median of cRuns timed searches, in seconds.
static double TimeSearch(HWND hwnd, int cRuns)
{
    std::vector<double> times;
    for (int i = 0; i < cRuns; i++) {
        double t0 = Seconds();
        FindTargetProgram(hwnd);
        times.push_back(Seconds() - t0);
    }
    return Median(times);
}

static bool MakeDesktop(tree::TreeBuilder &made, const std::string &desktop,
                        const std::string &lastLink)
{
    if (!made.Installation("C:\\dbench\\Raadrups", "bench")
        || !made.File("C:\\dbench\\gereedschap\\kladblok.exe", "MZ")
        || !made.Shortcut("C:\\dbench\\kladblok.lnk", "C:\\dbench\\gereedschap\\kladblok.exe"))
        return false;
    // Copies of one shortcut made by the shell, so that building the
    // desktop does not dominate the run.
    const std::string bytes = tree::ReadFileBytes("C:\\dbench\\kladblok.lnk");
    for (int i = 0; i < c_cShortcuts; i++) {
        char szName[32];
        snprintf(szName, sizeof(szName), "\\Kladblok %04d.lnk", i);
        if (!made.File(desktop + szName, bytes))
            return false;
    }
    return made.Shortcut(lastLink, "C:\\dbench\\Raadrups\\wimbelok.exe");
}

int main(void)
{
    CoInitialize(NULL);
    HWND hwnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10,
                                NULL, NULL, GetModuleHandleA(NULL), NULL);
    const std::string desktop = tree::ShellFolder(CSIDL_DESKTOPDIRECTORY);
    if (hwnd == NULL || desktop.empty()
        || !tree::ListShortcuts(desktop).empty()
        || !tree::ListShortcuts(tree::ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY)).empty()) {
        fprintf(stderr, "bench: no window, or the desktops already hold shortcuts\n");
        return 1;
    }
    strcpy(g_szCurrentDir, "C:\\dbench\\uitgepakt\\series");

    FindTargetProgram(hwnd);   // warm: COM class, shell folders
    const double tBase = TimeSearch(hwnd, 51);

    tree::TreeBuilder made;
    const std::string lastLink = desktop + "\\Zz Raadrups.lnk";
    int rc = 0;
    if (!MakeDesktop(made, desktop, lastLink)) {
        fprintf(stderr, "bench: could not build the desktop\n");
        rc = 1;
    } else if (tree::ListShortcuts(desktop).back() != "Zz Raadrups.lnk") {
        fprintf(stderr, "bench: the matching shortcut is not enumerated last\n");
        rc = 1;
    } else {
        FindTargetProgram(hwnd);
        const double tFull = TimeSearch(hwnd, 7);
        if (strcmp(g_szIniPath, "C:\\dbench\\Raadrups\\tolpen.ini") != 0
            || lastLink != g_szLinkPath) {
            fprintf(stderr, "bench: the search ended at %s with '%s'\n", g_szLinkPath, g_szIniPath);
            rc = 1;
        }
        const double tPer = (tFull - tBase) / (c_cShortcuts + 1);
        printf("baseline, empty shell folders:    %9.3f ms per search\n", tBase * 1e3);
        printf("%d shortcuts + 1 matching last: %9.3f ms per search (%.0f x baseline)\n",
               c_cShortcuts, tFull * 1e3, tFull / tBase);
        printf("per shortcut examined:            %9.3f ms = %.3f x baseline search\n",
               tPer * 1e3, tPer / tBase);
    }
    if (!made.Remove()) {
        fprintf(stderr, "bench: could not remove everything it made\n");
        rc = 1;
    }
    DestroyWindow(hwnd);
    CoUninitialize();
    return rc;
}
