// Folders and files of a test, laid out inside the test prefix.
#pragma once
#include <string>
#include <vector>

namespace driver {

// A fresh, empty folder C:\rrtest\<name> (what was there before is removed).
std::string FreshFolder(const std::string &name);

// MakeFolder and RemoveTree take full paths, also past MAX_PATH.
void MakeFolder(const std::string &path);
// False when the file could not be written whole.
bool WriteFile(const std::string &path, const std::string &bytes);
// The file's bytes; false when it cannot be read.
bool ReadFile(const std::string &path, std::string *pBytes);
bool FileExists(const std::string &path);
// The names a pattern matches, in the order the system gives them, without
// "." and "..".
std::vector<std::string> FindNames(const std::string &pattern);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> ListFolder(const std::string &path);
void RemoveTree(const std::string &path);

// Through the wide functions, so also past MAX_PATH, where the ANSI ones
// stop: what can be read of a file ("(missing)" when it cannot be opened;
// a read that fails part-way keeps what came before it and says so), and
// the names in a folder in the order the system gives them, a folder's own
// ending in a backslash.
std::string ReadAll(const std::string &path);
std::vector<std::string> NamesIn(const std::string &folder);
// The same folder under two names: same volume and file index (when either
// cannot be opened, the same path in another letter case).
bool SameFolder(const std::string &a, const std::string &b);

// A-Z and a-z folded, by whole characters of the ANSI code page: a trail
// byte that looks like a letter belongs to its character.
std::string Lower(const std::string &s);
std::string Upper(const std::string &s);

// The same for a name the ANSI code page may not hold.
bool WriteFileW(const std::wstring &path, const std::string &bytes);
bool ReadFileW(const std::wstring &path, std::string *pBytes);
bool FileExistsW(const std::wstring &path);
// The wide long-path form ("\\?\" and the path from the ANSI code page) of
// a full path: the ANSI file functions stop at MAX_PATH even in that form.
std::wstring LongPath(const std::string &path);
// A string in the ANSI code page (CP_ACP) or UTF-8 (CP_UTF8) and back.
std::string Narrow(const std::wstring &wide, unsigned codePage);
std::wstring Widen(const std::string &bytes, unsigned codePage);
// The short (8.3) name the file system gave the file at path, "" for none.
// Wine's are hashed, so a test asks for them and never writes one down.
std::string ShortNameOf(const std::string &path);

// Recognisable contents for a series file: its name and every byte value.
std::string SeriesBytes(const std::string &name);

// Makes path a link, on the Unix side of Wine, to unixTarget: the rig runs
// as root, which passes every permission check, so a source the system
// cannot read is staged as a link it cannot follow. False outside Wine or
// when the link was not made.
bool MakeUnixLink(const std::string &path, const std::string &unixTarget);

// The folder of the test program itself, with a trailing backslash.
std::string ProgramFolder();

// The installer the build made, which it puts beside the test programs.
std::string InstallerPath();

}  // namespace driver
