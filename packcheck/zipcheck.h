// The check of a pack shipped as a zip: the folder in it that holds
// teinstal.txt, judged as Windows Explorer unpacks it on the users'
// machines (ANSI code page g_uPackCodePage, OEM code page
// g_uPackOemCodePage).
#pragma once
#include "packcheck/check.h"
#include <windows.h>

// Prints the report on the zip and returns its status: CHECK_NOT_RUN for a
// file that is no zip, a zip without teinstal.txt, or one with several
// folders that hold one.
CheckStatus CheckPackZip(const WCHAR *pwszZip);
