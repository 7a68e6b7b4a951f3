// The check of a pack: reads teinstal.txt in the current directory with the
// installer's own reader and name rules, and prints what the installer will
// do with every line on a machine with the code page g_uPackCodePage.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The ANSI and the OEM code page of the users' machines.
extern UINT g_uPackCodePage;
extern UINT g_uPackOemCodePage;
// Unless told otherwise: Dutch and Western European Windows.
const UINT c_uDefaultPackCodePage = 1252;
const UINT c_uDefaultPackOemCodePage = 850;

enum CheckStatus {
    CHECK_SOUND = 0,       // every listed series will be installed
    CHECK_FAULTS = 1,      // not every one; the report says why
    CHECK_NOT_RUN = 2,     // a usage error, or no folder or list to check
};

// A listed series the installer moves, as the last CheckPack found it.
struct ListedSeries {
    std::wstring wszName;    // the name the list gives, on the users' machines
    std::wstring wszFound;   // the file in the pack; empty when there is none
    BOOL fOtherForm;         // found under a name a zip tool gave it
};
const std::vector<ListedSeries> &CheckedSeries();

// Prints the report and returns its status. pwszShownAs names the pack in
// the report (the current directory when NULL); pfnWarnings prints more
// warnings before the verdict.
CheckStatus CheckPack(const WCHAR *pwszShownAs = NULL, void (*pfnWarnings)() = NULL);
