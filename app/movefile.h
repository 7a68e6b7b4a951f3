// Moving one series file from the start folder into the data folder.
#pragma once
#include <windows.h>

// Moves the file pszName (a plain file name, no folder) from g_szCurrentDir
// into g_szDataDir. TRUE when the file is in the data folder afterwards. The
// source is only deleted once its copy is there, so a failed copy loses
// nothing.
BOOL MoveSeriesFile(const char *pszName);
