// Making the zip a publisher ships: the pack's folder, checked first, in
// one folder of the zip, with names that every unzip program writes as
// they stand.
#pragma once
#include "packcheck/check.h"
#include <windows.h>

// Checks the pack in the current directory and, when it is sound, writes
// pwszZip (a full path): every listed series, teinstal.txt, instrrse.exe
// and the pack's .txt files. An existing zip is replaced only when fForce
// is set. CHECK_FAULTS, with nothing written, when the check fails.
CheckStatus WritePackZip(const WCHAR *pwszZip, BOOL fForce);
