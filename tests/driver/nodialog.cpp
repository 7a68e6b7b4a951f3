// A copy of the installer whose dialog cannot be shown: DialogBoxParam
// fails (-1) in it, as it would for a template the system cannot load.
#include "tests/driver/driver.h"
#include "res/resource.h"
#include <string>
#include <vector>

namespace driver {

namespace {

// The installer's resources, for a copy without its dialog template.
struct Resource {
    std::string type, name;   // "#n" for a numbered one
    WORD wLang;
    std::string bytes;
};

std::string ResourceKey(LPCSTR psz)
{
    return IS_INTRESOURCE(psz) ? "#" + std::to_string((ULONG_PTR)psz) : psz;
}

BOOL CALLBACK AddResource(HMODULE hMod, LPCSTR pszType, LPCSTR pszName, WORD wLang, LONG_PTR lParam)
{
    HRSRC hRes = FindResourceExA(hMod, pszType, pszName, wLang);
    const char *pb = static_cast<const char *>(LockResource(LoadResource(hMod, hRes)));
    reinterpret_cast<std::vector<Resource> *>(lParam)->push_back(
        {ResourceKey(pszType), ResourceKey(pszName), wLang, std::string(pb, SizeofResource(hMod, hRes))});
    return TRUE;
}

BOOL CALLBACK AddNames(HMODULE hMod, LPCSTR pszType, LPSTR pszName, LONG_PTR lParam)
{
    return EnumResourceLanguagesA(hMod, pszType, pszName, AddResource, lParam);
}

BOOL CALLBACK AddTypes(HMODULE hMod, LPSTR pszType, LONG_PTR lParam)
{
    return EnumResourceNamesA(hMod, pszType, AddNames, lParam);
}

}  // namespace

// A copy of the installer with every resource but the dialog template. It is
// rebuilt from the others: Wine's UpdateResource without data leaves the
// template in place.
bool CopyWithoutDialog(const std::string &installer, const std::string &exe)
{
    std::vector<Resource> res;
    HMODULE hMod = LoadLibraryExA(installer.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (hMod == NULL)
        return false;
    EnumResourceTypesA(hMod, AddTypes, (LONG_PTR)&res);
    FreeLibrary(hMod);
    HANDLE hUpdate = CopyFileA(installer.c_str(), exe.c_str(), FALSE) ? BeginUpdateResourceA(exe.c_str(), TRUE) : NULL;
    if (hUpdate == NULL)
        return false;
    const std::string dialog = ResourceKey(MAKEINTRESOURCEA(IDD_DATAFOLDER));
    bool fOk = true;
    for (Resource &r : res) {
        if (r.type == ResourceKey((LPCSTR)RT_DIALOG) && r.name == dialog)
            continue;
        fOk = fOk && UpdateResourceA(hUpdate, r.type.c_str(), r.name.c_str(), r.wLang, &r.bytes[0], (DWORD)r.bytes.size());
    }
    if (!EndUpdateResourceA(hUpdate, !fOk) || !fOk)
        return false;
    hMod = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    fOk = hMod != NULL && FindResourceA(hMod, MAKEINTRESOURCEA(IDD_DATAFOLDER), (LPCSTR)RT_DIALOG) == NULL
       && FindResourceA(hMod, MAKEINTRESOURCEA(IDB_LINK), (LPCSTR)RT_BITMAP) != NULL;
    if (hMod != NULL)
        FreeLibrary(hMod);
    return fOk;
}

}  // namespace driver
