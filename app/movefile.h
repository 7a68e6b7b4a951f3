// Moving one series file from the start folder into the data folder.
#pragma once
#include <windows.h>

// The extension of the temporary name a series is copied to before it takes
// its own name in the data folder: "<series name>.instrrse-deel". A listed
// name with this extension is never moved.
const char c_szPartSuffix[] = ".instrrse-deel";
// The copies are made in a folder of the data folder named this, with that
// extension ("delen.instrrse-deel"), and renamed into the data folder.
const char c_szPartFolderBase[] = "delen";

// Moves the file pszName (a plain file name, no folder) from g_szCurrentDir
// into g_szDataDir. TRUE when the file is in the data folder afterwards. The
// copy takes the series' name only once whole, and the source is deleted
// only after that, so neither a failed nor an interrupted copy loses or
// half-installs anything. The installed file is never read-only, and a
// read-only source is deleted like any other. FALSE leaves the cause as
// the thread's last error: the failed step's own (ERROR_FILE_NOT_FOUND for
// a source that is not there, ERROR_PATH_NOT_FOUND for a start or data
// folder gone, ...), ERROR_CANNOT_MAKE when a file stands where the folder
// of parts must be, and for a target the program cannot tell from the
// source the error that kept it from telling (else ERROR_INVALID_FUNCTION).
BOOL MoveSeriesFile(const char *pszName);

// Removes the folder of parts from the data folder when the run left it
// empty; a part an interrupted copy left there stays for the next run.
void RemovePartFolder(void);
