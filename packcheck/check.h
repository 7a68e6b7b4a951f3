// The check of a pack: reads teinstal.txt in the current directory with the
// installer's own reader and name rules, and prints what the installer will
// do with every line on a machine with the code page g_uPackCodePage.
#pragma once
#include <windows.h>

// The ANSI code page of the users' machines.
extern UINT g_uPackCodePage;

enum CheckStatus {
    CHECK_SOUND = 0,       // every listed series will be installed
    CHECK_FAULTS = 1,      // not every one; the report says why
    CHECK_NOT_RUN = 2,     // a usage error, or no folder or list to check
};

// Prints the report and returns its status.
CheckStatus CheckPack();
