// The demo: lays out a downloaded series pack in the demo's Wine prefix and
// starts the real installer in it. With --drive (no display of the user's)
// it also answers the dialog as a user would: browses to the data folder,
// presses "Ok" and confirms the closing message. Then it prints where every
// file ended up.
#include "driver.h"
#include "files.h"
#include "res/resource.h"
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const char kPack[] = "C:\\demo\\Nieuwe series";
const char kData[] = "C:\\demo\\Raadrups\\data";

const std::vector<std::string> kSeries = {
    "aardrijkskunde.dat", "geschiedenis.dat", "muziek 1.dat", "sport.dat", "natuur.dat",
};

void LayOut()
{
    driver::RemoveTree("C:\\demo");
    driver::MakeFolder("C:\\demo");
    driver::MakeFolder(kPack);
    driver::MakeFolder("C:\\demo\\Raadrups");
    driver::MakeFolder(kData);
    std::string list;
    for (const std::string &name : kSeries) {
        driver::WriteFile(std::string(kPack) + "\\" + name, driver::SeriesBytes(name));
        list += name + "\r\n";
    }
    driver::WriteFile(std::string(kPack) + "\\Lees mij.txt", "Nieuwe series voor Raadrups.\r\n");
    list += "Lees mij.txt\r\n";
    driver::WriteFile(std::string(kPack) + "\\teinstal.txt", list);
}

void PrintFolder(const char *pszFolder)
{
    printf("  %s\\\n", pszFolder);
    for (const std::string &name : driver::ListFolder(pszFolder))
        printf("    %s\n", name.c_str());
}

bool Drive(driver::Installer &inst)
{
    HWND hDlg = driver::WaitForDialog(inst, "Raadrups data-map");
    if (hDlg == NULL)
        return false;
    printf("dialog:   %s\npath box: %s\n", driver::ItemText(hDlg, IDC_MESSAGE).c_str(),
           driver::ItemText(hDlg, IDC_DATAPATH).c_str());
    HWND hBrowser = driver::OpenBrowser(hDlg);
    if (hBrowser == NULL || !driver::BrowserSelect(inst, hBrowser, kData))
        return false;
    driver::BrowserConfirm(hBrowser);
    driver::WaitGone(hBrowser);
    printf("browsed:  %s\n", driver::ItemText(hDlg, IDC_DATAPATH).c_str());
    driver::Press(hDlg, IDOK);
    for (const char *caption : {"Succes", "Let op"}) {
        HWND hBox = driver::WaitForDialog(inst, caption, 5000);
        if (hBox != NULL) {
            printf("message:  [%s] %s\n", caption, driver::MessageBoxText(hBox).c_str());
            driver::Press(hBox, IDOK);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    bool fDrive = argc > 1 && strcmp(argv[1], "--drive") == 0;
    LayOut();
    printf("before:\n");
    PrintFolder(kPack);
    PrintFolder(kData);

    driver::Installer inst;
    std::string exe = driver::ProgramFolder() + "instrrse.exe";
    if (!driver::Start(inst, exe, kPack)) {
        printf("could not start %s\n", exe.c_str());
        return 1;
    }
    if (fDrive && !Drive(inst)) {
        printf("the dialog did not go as expected\n");
        driver::Kill(inst);
        return 1;
    }
    DWORD dwExit = 0;
    // A user at the dialog may take a while; without one it ends quickly.
    if (!driver::WaitForExit(inst, &dwExit, fDrive ? driver::kWaitMs : INFINITE)) {
        printf("the installer did not end\n");
        return 1;
    }
    printf("installer exit code %lu\nafter:\n", dwExit);
    PrintFolder(kPack);
    PrintFolder(kData);
    return 0;
}
