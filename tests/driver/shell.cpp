#include "tests/driver/shell.h"
#include <windows.h>
#include <shlobj.h>

namespace driver {

std::string ShellFolder(int csidl)
{
    char szPath[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(NULL, szPath, csidl, FALSE))
        return "";
    return szPath;
}

// The link file's name goes through the wide API: a test's folder may be
// longer than MAX_PATH.
bool MakeShortcut(const std::string &lnkPath, const std::string &target,
                  const std::string &workingDir)
{
    WCHAR wszLink[1024];
    if (MultiByteToWideChar(CP_ACP, 0, lnkPath.c_str(), -1, wszLink, 1024) == 0)
        return false;
    IShellLinkA *psl = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void **)&psl)))
        return false;
    bool fOk = false;
    IPersistFile *ppf = NULL;
    if (SUCCEEDED(psl->SetPath(target.c_str()))
        && (workingDir.empty() || SUCCEEDED(psl->SetWorkingDirectory(workingDir.c_str())))
        && SUCCEEDED(psl->QueryInterface(IID_IPersistFile, (void **)&ppf))) {
        fOk = SUCCEEDED(ppf->Save(wszLink, TRUE));
        ppf->Release();
    }
    psl->Release();
    return fOk;
}

}  // namespace driver
