// What packcheck prints. Its texts are Dutch, like the installer's: the
// publishers who read them are Dutch.
#pragma once
#include "app/entry.h"
#include <windows.h>
#include <string>

// One line on standard output or standard error, with CR LF. On a console
// the text goes through WriteConsoleW, so every character of a name shows
// as it is; redirected to a file or a pipe it is written as UTF-8 without
// a byte-order mark, which keeps every character too and which Notepad
// and the tests read as it stands.
void PrintLine(const std::wstring &wszLine);
void PrintErrorLine(const std::wstring &wszLine);

// "\"name\"", or "(leeg)" for an empty name.
// The text as UTF-8 bytes.
std::string Utf8Of(const std::wstring &wszText);

std::wstring QuotedName(const std::wstring &wszName);
std::wstring Number(unsigned long n);
// "codetabel 1252 kan deze naam niet bevatten".
std::wstring UnmappableReason(UINT uCodePage);
// The command line, for --help and after a usage error.
void PrintUsage(BOOL fError);
