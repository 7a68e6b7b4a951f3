#include "discovery/discovery.h"
#include "app/globals.h"
#include "app/paths.h"
#include <shlwapi.h>

// A value such as .\data or ..\series names a folder relative to the INI
// file's own folder. When the combined path cannot be formed whole, the
// data folder counts as not set, so that the user chooses it; a partly
// combined path would send the series somewhere else.
static void ResolveAgainstIniFolder(void)
{
    char szDrive[3], szDir[MAX_PATH], szIniFolder[MAX_PATH], szCombined[MAX_PATH];
    if (!SplitPath(g_szIniPath, szDrive, sizeof(szDrive), szDir, sizeof(szDir), NULL, 0, NULL, 0)
        || !MakeFolderPath(szIniFolder, sizeof(szIniFolder), szDrive, szDir)
        || PathCombineA(szCombined, szIniFolder, g_szDataDir) == NULL) {
        g_szDataDir[0] = '\0';
        return;
    }
    CopyPath(g_szDataDir, MAX_PATH, szCombined);
}

void LoadDataFolder(void)
{
    // A value that fills the whole buffer may have been cut short by the
    // reader, and a cut path names another folder: such a value counts as
    // not set, so that the user chooses the folder.
    DWORD cch = GetPrivateProfileStringA("Tolpen", "Data", "", g_szDataDir, MAX_PATH, g_szIniPath);
    if (cch >= MAX_PATH - 1)
        g_szDataDir[0] = '\0';
    EnsureTrailingBackslash(g_szDataDir);
    if (g_szDataDir[0] == '.')
        ResolveAgainstIniFolder();
}
