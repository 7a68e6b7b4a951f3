#include "files.h"
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
    ::WriteFile(hFile, bytes.data(), (DWORD)bytes.size(), &cbWritten, NULL);
    CloseHandle(hFile);
    return cbWritten == bytes.size();
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

void WriteFile(const std::string &path, const std::string &bytes)
{
    WriteBytes(CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL), bytes);
}

void WriteFileW(const std::wstring &path, const std::string &bytes)
{
    WriteBytes(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
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

std::vector<std::string> ListFolder(const std::string &path)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
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

std::string ProgramFolder()
{
    char szPath[MAX_PATH] = "";
    DWORD cch = GetModuleFileNameA(NULL, szPath, MAX_PATH);
    std::string path(szPath, cch < MAX_PATH ? cch : 0);
    return path.substr(0, path.find_last_of('\\') + 1);
}

}  // namespace driver
