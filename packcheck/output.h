// What packcheck prints. Its texts are Dutch, like the installer's: the
// publishers who read them are Dutch.
#pragma once
#include "app/entry.h"
#include <windows.h>
#include <string>
#include <vector>

// One line on standard output or standard error, with CR LF. On a console
// the text goes through WriteConsoleW, so every character of a name shows
// as it is; redirected to a file or a pipe it is written as UTF-8 without
// a byte-order mark, which keeps every character too and which Notepad
// and the tests read as it stands.
void PrintLine(const std::wstring &wstrLine);
void PrintErrorLine(const std::wstring &wstrLine);

// The text as UTF-8 bytes.
std::string Utf8Of(const std::wstring &wstrText);

// "\"name\"", or "(leeg)" for an empty name. Control characters show as
// "<U+001B>"; a name in decomposed form is marked, so that it shows apart
// from its composed twin: "\"Café.rrs\" [ontlede vorm: e + U+0301]".
std::wstring QuotedName(const std::wstring &wstrName);
// The names quoted, in words: "\"a\", \"b\" en \"c\"".
std::wstring NamesInWords(const std::vector<std::wstring> &awstrNames);
std::wstring Number(unsigned long n);
// "codetabel 1252 kan deze naam niet bevatten".
std::wstring UnmappableReason(UINT uCodePage);
// The command line, for --help and after a usage error.
void PrintUsage(BOOL fError);
