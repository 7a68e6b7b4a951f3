// Real Raadrups installations and shortcuts inside the test prefix, for
// the discovery tests and the benchmark. Everything made through a
// TreeBuilder is removed again by its Remove(), newest first.
#pragma once
#include "tests/driver/shell.h"
#include <windows.h>
#include <string>
#include <vector>

namespace tree {

using driver::ShellFolder;

std::string ReadFileBytes(const std::string &path);
std::vector<std::string> ListShortcuts(const std::string &folder);  // "*.lnk", in FindFirstFileA order
std::string FirstShortcut(const std::string &folder);

class TreeBuilder {
public:
    ~TreeBuilder() { Remove(); }

    // Creates the folder and any missing parents; records those it made.
    bool Folder(const std::string &path);
    bool File(const std::string &path, const std::string &content);
    // A shortcut made by the shell itself: IShellLinkA::SetPath + Save.
    bool Shortcut(const std::string &lnkPath, const std::string &target);
    // A Raadrups installation: wimbelok.exe and a tolpen.ini whose Data
    // value is dataValue, so a test can tell installations apart.
    bool Installation(const std::string &folder, const std::string &dataValue,
                      const std::string &programName = "wimbelok.exe");

    // Deletes what was made, newest first. FALSE when something stayed.
    bool Remove();

private:
    std::vector<std::pair<std::string, bool>> made_;   // path, is folder
};

// The Data value of a tolpen.ini, read as the platform's INI reader reads it.
std::string IniData(const std::string &iniPath);

}  // namespace tree
