#include "tests/discovery/install_tree.h"
#include "tests/driver/files.h"
#include <shlobj.h>
#include <fstream>
#include <sstream>

namespace tree {

std::string ReadFileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> ListShortcuts(const std::string &folder)
{
    return driver::FindNames(folder + "\\*.lnk");
}

std::string FirstShortcut(const std::string &folder)
{
    std::vector<std::string> names = ListShortcuts(folder);
    return names.empty() ? "" : names.front();
}

bool TreeBuilder::Folder(const std::string &path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES)
        return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t cut = path.find_last_of('\\');
    if (cut != std::string::npos && cut > 2 && !Folder(path.substr(0, cut)))
        return false;
    if (!CreateDirectoryA(path.c_str(), NULL))
        return false;
    made_.push_back({path, true});
    return true;
}

bool TreeBuilder::File(const std::string &path, const std::string &content)
{
    size_t cut = path.find_last_of('\\');
    if (cut != std::string::npos && !Folder(path.substr(0, cut)))
        return false;
    bool existed = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    if (!existed)
        made_.push_back({path, false});
    DWORD cb = 0;
    BOOL ok = WriteFile(h, content.data(), (DWORD)content.size(), &cb, NULL);
    CloseHandle(h);
    return ok && cb == content.size();
}

bool TreeBuilder::Shortcut(const std::string &lnkPath, const std::string &target)
{
    size_t cut = lnkPath.find_last_of('\\');
    if (cut != std::string::npos && !Folder(lnkPath.substr(0, cut)))
        return false;
    bool existed = GetFileAttributesA(lnkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!driver::MakeShortcut(lnkPath, target))
        return false;
    if (!existed)
        made_.push_back({lnkPath, false});
    return true;
}

bool TreeBuilder::Installation(const std::string &folder, const std::string &dataValue,
                               const std::string &programName)
{
    return File(folder + "\\" + programName, "MZ raadrups")
        && File(folder + "\\tolpen.ini",
                "[Algemeen]\r\nTaal=NL\r\n[Tolpen]\r\nData=" + dataValue + "\r\n");
}

// Wide calls: a recorded name may be longer than MAX_PATH.
static bool RemoveOne(const std::string &path, bool folder)
{
    WCHAR wsz[1024];
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wsz, 1024) == 0)
        return false;
    return folder ? RemoveDirectoryW(wsz) != 0 : DeleteFileW(wsz) != 0;
}

bool TreeBuilder::Remove()
{
    bool ok = true;
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
        ok = RemoveOne(it->first, it->second) && ok;
    made_.clear();
    return ok;
}

std::string IniData(const std::string &iniPath)
{
    char sz[MAX_PATH] = "";
    GetPrivateProfileStringA("Tolpen", "Data", "<none>", sz, sizeof(sz), iniPath.c_str());
    return sz;
}

}  // namespace tree
