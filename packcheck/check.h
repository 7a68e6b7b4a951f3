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

// A listed series, as the last CheckPack found it.
struct ListedSeries {
    std::wstring wstrName;    // the name the list gives, on the users' machines
    std::wstring wstrFound;   // the file the installer moves; empty when none
    BOOL fOtherForm;         // found under a name a zip tool gave it
    BOOL fMissing;           // no file of that name or of any such form
};
const std::vector<ListedSeries> &CheckedSeries();

// What the check of a pack in a zip adds to that of a folder.
struct ZipView {
    std::wstring wstrShownAs;   // the pack, as the report names it
    // Why Windows Explorer does not unpack this file of the pack ("" when
    // it does): it is then no file the installer can move.
    std::wstring (*pfnNotUnpacked)(const std::wstring &wstrFile);
    // Prints the zip's own warnings before the verdict; TRUE when one of
    // them is a FOUT.
    BOOL (*pfnWarnings)();
};

// Prints the report on the pack in the current directory and returns its
// status; pZip for a pack unpacked from a zip.
CheckStatus CheckPack(const ZipView *pZip = NULL);
