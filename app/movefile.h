// Moving one series file from the start folder into the data folder.
#pragma once
#include <windows.h>

// The extension of the temporary name a series is copied to, in the data
// folder, before it takes its own name: "<series name>.instrrse-deel". A
// listed name with this extension is never moved.
const char c_szPartSuffix[] = ".instrrse-deel";

// Moves the file pszName (a plain file name, no folder) from g_szCurrentDir
// into g_szDataDir. TRUE when the file is in the data folder afterwards. The
// copy takes the series' name only once whole, and the source is deleted
// only after that, so neither a failed nor an interrupted copy loses or
// half-installs anything.
BOOL MoveSeriesFile(const char *pszName);
