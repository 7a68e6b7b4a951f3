#include "ui/datafolderdlg.h"
#include "app/globals.h"
#include "app/systempath.h"
#include "res/resource.h"
#include <shlobj.h>

// Shown preselected when the path box is empty.
static const WCHAR c_wszDefaultFolder[] = L"c:\\tolpen\\data";

// The folder the user confirmed, as Windows names it ("" for none, or for
// one without a path in the file system).
static void ChooseFolder(HWND hDlg, WCHAR *pwszChosen)
{
    IMalloc *pMalloc = NULL;
    if (FAILED(SHGetMalloc(&pMalloc)))
        return;

    BROWSEINFOW bi = {};
    bi.hwndOwner = hDlg;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = BrowseCallbackProc;
    LPITEMIDLIST pidl = SHBrowseForFolderW(&bi);
    if (pidl != NULL) {
        if (!SHGetPathFromIDListW(pidl, pwszChosen))
            pwszChosen[0] = L'\0';
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
    WCHAR wszChosen[MAX_PATH] = L"";
    ChooseFolder(hDlg, wszChosen);
    // A folder the program could only reach under a look-alike name is
    // refused at once, while the user still knows which one it was.
    char szChosen[MAX_PATH];
    if (wszChosen[0] != L'\0' && !FolderForMoves(hDlg, wszChosen, szChosen))
        wszChosen[0] = L'\0';

    WCHAR wszBox[MAX_PATH] = L"";
    GetDlgItemTextW(hDlg, IDC_DATAPATH, wszBox, MAX_PATH);
    if (wszChosen[0] != L'\0') {
        SetDlgItemTextW(hDlg, IDC_DATAPATH, wszChosen);
        EnableOk(hDlg, TRUE);
    } else {
        EnableOk(hDlg, wszBox[0] != L'\0');
    }
}

int CALLBACK BrowseCallbackProc(HWND hwnd, UINT uMsg, LPARAM, LPARAM)
{
    if (uMsg != BFFM_INITIALIZED)
        return 0;
    WCHAR wszBox[MAX_PATH] = L"";
    GetDlgItemTextW(g_hDlg, IDC_DATAPATH, wszBox, MAX_PATH);
    const WCHAR *pwszSelect = wszBox[0] != L'\0' ? wszBox : c_wszDefaultFolder;
    SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, (LPARAM)pwszSelect);
    return 0;
}
