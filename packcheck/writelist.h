// Writing teinstal.txt for a pack: every series file of the current
// directory, in the code page g_uPackCodePage, one per line with CR LF.
#pragma once
#include "packcheck/check.h"
#include <windows.h>

// Writes the list, leaving out (and naming) what the installer would not
// install, then checks the pack with it. An existing list is replaced only
// when fForce is set. CHECK_FAULTS when a file was left out or the check
// found a fault.
CheckStatus WritePackList(BOOL fForce);
