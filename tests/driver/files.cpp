#include "tests/driver/files.h"
#include <windows.h>
#include <algorithm>

namespace driver {

std::string FreshFolder(const std::string &name)
{
    MakeFolder("C:\\rrtest");
    std::string path = "C:\\rrtest\\" + name;
    RemoveTree(path);
    MakeFolder(path);
    return path;
}

void MakeFolder(const std::string &path)
{
    CreateDirectoryA(path.c_str(), NULL);
}

static bool WriteBytes(HANDLE hFile, const std::string &bytes)
{
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD cbWritten = 0;
    BOOL fOk = ::WriteFile(hFile, bytes.data(), (DWORD)bytes.size(), &cbWritten, NULL);
    return CloseHandle(hFile) && fOk && cbWritten == bytes.size();
}

static bool ReadBytes(HANDLE hFile, std::string *pBytes)
{
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    pBytes->clear();
    char buf[65536];
    DWORD cbRead = 0;
    bool ok = true;
    while ((ok = ::ReadFile(hFile, buf, sizeof(buf), &cbRead, NULL) != FALSE) && cbRead > 0)
        pBytes->append(buf, cbRead);
    CloseHandle(hFile);
    return ok;
}

bool WriteFile(const std::string &path, const std::string &bytes)
{
    return WriteBytes(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL), bytes);
}

bool WriteFileW(const std::wstring &path, const std::string &bytes)
{
    return WriteBytes(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL), bytes);
}

bool ReadFile(const std::string &path, std::string *pBytes)
{
    return ReadBytes(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 NULL, OPEN_EXISTING, 0, NULL), pBytes);
}

bool ReadFileW(const std::wstring &path, std::string *pBytes)
{
    return ReadBytes(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 NULL, OPEN_EXISTING, 0, NULL), pBytes);
}

bool FileExists(const std::string &path)
{
    DWORD dwAttr = GetFileAttributesA(path.c_str());
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExistsW(const std::wstring &path)
{
    DWORD dwAttr = GetFileAttributesW(path.c_str());
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Narrow(const std::wstring &wide, unsigned codePage)
{
    if (wide.empty())
        return "";
    std::string bytes(wide.size() * 4, '\0');
    int cb = WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), &bytes[0],
                                 (int)bytes.size(), NULL, NULL);
    bytes.resize(cb > 0 ? (size_t)cb : 0);
    return bytes;
}

std::wstring Widen(const std::string &bytes, unsigned codePage)
{
    if (bytes.empty())
        return L"";
    std::wstring wide(bytes.size(), L'\0');
    int cch = MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), &wide[0],
                                  (int)wide.size());
    wide.resize(cch > 0 ? (size_t)cch : 0);
    return wide;
}

std::vector<std::string> FindNames(const std::string &pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(pattern.c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
    return names;
}

std::vector<std::string> ListFolder(const std::string &path)
{
    std::vector<std::string> names = FindNames(path + "\\*");
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string &path)
{
    DWORD dwAttr = GetFileAttributesA(path.c_str());
    if (dwAttr == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(dwAttr & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    for (const std::string &name : ListFolder(path))
        RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
}

std::string SeriesBytes(const std::string &name)
{
    std::string bytes = "Raadrups serie " + name + "\r\n";
    for (int i = 0; i < 256; i++)
        bytes += (char)i;
    return bytes;
}

bool MakeUnixLink(const std::string &path, const std::string &unixTarget)
{
    typedef char *(CDECL *UnixNameFn)(LPCWSTR);
    UnixNameFn pfnUnixName = (UnixNameFn)(void (*)(void))GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (pfnUnixName == NULL)
        return false;
    std::wstring wpath(path.begin(), path.end());   // the tests' folders are ASCII
    char *pszUnix = pfnUnixName(wpath.c_str());
    if (pszUnix == NULL)
        return false;
    // Wine starts a Unix program named by its Z: path.
    std::string cmd = "Z:\\bin\\ln -sfn \"" + unixTarget + "\" \"" + pszUnix + "\"";
    HeapFree(GetProcessHeap(), 0, pszUnix);
    std::vector<char> cmdBuf(cmd.begin(), cmd.end());
    cmdBuf.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(NULL, cmdBuf.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    // The handle of a Unix program tells neither its end nor its exit code:
    // the link is made once its name no longer counts as not found (a link
    // to nowhere, or one that cannot be followed, shows in no listing).
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int i = 0; i < 500; i++) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES
            || GetLastError() != ERROR_FILE_NOT_FOUND)
            return true;
        Sleep(20);
    }
    return false;
}

std::string ProgramFolder()
{
    char szPath[MAX_PATH] = "";
    DWORD cch = GetModuleFileNameA(NULL, szPath, MAX_PATH);
    std::string path(szPath, cch < MAX_PATH ? cch : 0);
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::wstring LongPath(const std::string &path)
{
    return L"\\\\?\\" + Widen(path, CP_ACP);
}

std::string InstallerPath()
{
    return ProgramFolder() + INSTRRSE_EXE;
}

}  // namespace driver
