#include "ui/datafolderdlg.h"
#include "app/globals.h"
#include "res/resource.h"
#include <shlobj.h>

// Shown preselected when the path box is empty.
static const char c_szDefaultFolder[] = "c:\\tolpen\\data";

static void ChooseFolder(HWND hDlg, char *pszChosen)
{
    IMalloc *pMalloc = NULL;
    if (FAILED(SHGetMalloc(&pMalloc)))
        return;

    BROWSEINFOA bi = {};
    bi.hwndOwner = hDlg;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = BrowseCallbackProc;
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (pidl != NULL) {
        if (!SHGetPathFromIDListA(pidl, pszChosen))
            pszChosen[0] = '\0';
        pMalloc->Free(pidl);
    }
    pMalloc->Release();
}

static void EnableOk(HWND hDlg, BOOL fEnable)
{
    HWND hwndOk = GetDlgItem(hDlg, IDOK);
    BOOL fEnabled = IsWindowEnabled(hwndOk) ? TRUE : FALSE;
    if (fEnabled != fEnable)
        EnableWindow(hwndOk, fEnable);
}

void BrowseForDataFolder(HWND hDlg)
{
    char szChosen[MAX_PATH] = "";
    ChooseFolder(hDlg, szChosen);

    char szBox[MAX_PATH] = "";
    GetDlgItemTextA(hDlg, IDC_DATAPATH, szBox, MAX_PATH);
    if (szChosen[0] != '\0') {
        SetDlgItemTextA(hDlg, IDC_DATAPATH, szChosen);
        EnableOk(hDlg, TRUE);
    } else {
        EnableOk(hDlg, szBox[0] != '\0');
    }
}

int CALLBACK BrowseCallbackProc(HWND hwnd, UINT uMsg, LPARAM, LPARAM)
{
    if (uMsg != BFFM_INITIALIZED)
        return 0;
    char szBox[MAX_PATH] = "";
    GetDlgItemTextA(g_hDlg, IDC_DATAPATH, szBox, MAX_PATH);
    const char *pszSelect = szBox[0] != '\0' ? szBox : c_szDefaultFolder;
    SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, (LPARAM)pszSelect);
    return 0;
}
