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
    CreateDirectoryW(LongPath(path).c_str(), NULL);
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

std::string ShortNameOf(const std::string &path)
{
    WCHAR wszShort[MAX_PATH];
    DWORD cch = GetShortPathNameW(Widen(path, CP_ACP).c_str(), wszShort, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH)
        return "";
    std::string shortPath = Narrow(wszShort, CP_ACP);
    return shortPath.substr(shortPath.find_last_of('\\') + 1);
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

// Names in the long-path form, as the system gives them.
static std::vector<std::wstring> NamesInW(const std::wstring &folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            name += L"\\";
        names.push_back(name);
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
    return names;
}

static void RemoveTreeW(const std::wstring &path)
{
    DWORD dwAttr = GetFileAttributesW(path.c_str());
    if (dwAttr == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(dwAttr & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    for (std::wstring name : NamesInW(path)) {
        if (name.back() == L'\\')
            name.pop_back();
        RemoveTreeW(path + L"\\" + name);
    }
    RemoveDirectoryW(path.c_str());
}

void RemoveTree(const std::string &path)
{
    RemoveTreeW(LongPath(path));
}

std::string ReadAll(const std::string &path)
{
    HANDLE hFile = CreateFileW(LongPath(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string bytes;
    bool ok = ReadBytes(hFile, &bytes);
    return ok ? bytes : bytes + "(read failed)";
}

std::vector<std::string> NamesIn(const std::string &folder)
{
    std::vector<std::string> names;
    for (const std::wstring &name : NamesInW(LongPath(folder)))
        names.push_back(Narrow(name, CP_ACP));
    return names;
}

bool SameFolder(const std::string &a, const std::string &b)
{
    BY_HANDLE_FILE_INFORMATION info[2] = {};
    const std::string *paths[2] = {&a, &b};
    for (int i = 0; i < 2; i++) {
        HANDLE h = CreateFileW(LongPath(*paths[i]).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
        if (h == INVALID_HANDLE_VALUE)
            return Lower(a) == Lower(b);
        GetFileInformationByHandle(h, &info[i]);
        CloseHandle(h);
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber
        && info[0].nFileIndexHigh == info[1].nFileIndexHigh
        && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

static std::string Fold(const std::string &s, char chFrom, char chTo)
{
    std::string folded;
    for (const char *pch = s.c_str(), *pchNext; *pch != '\0'; pch = pchNext) {
        pchNext = CharNextA(pch);
        if (pchNext - pch == 1 && *pch >= chFrom && *pch < chFrom + 26)
            folded += (char)(*pch - chFrom + chTo);
        else
            folded.append(pch, pchNext - pch);
    }
    return folded;
}

std::string Lower(const std::string &s)
{
    return Fold(s, 'A', 'a');
}

std::string Upper(const std::string &s)
{
    return Fold(s, 'a', 'A');
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
