// Moving one series file from the start folder into the data folder.
#pragma once
#include <windows.h>

// The program's own causes of a series not moved, beside the system's
// errors; bit 29 marks an error code as an application's own.
const DWORD c_dwErrShortNameInPack = 0x20000001;   // the name is another file's short name in the start folder
const DWORD c_dwErrShortNameInData = 0x20000002;   // ... in the data folder
const DWORD c_dwErrSeveralForms = 0x20000003;      // zip tools left more than one form of the name
const DWORD c_dwErrFolderInTheWay = 0x20000004;    // a folder of the series' name in the data folder

// What a move found out beside its error.
struct MoveResult {
    // Not in the pack, but its edition stands in the data folder: an
    // earlier run moved it, or the pack lacks it and the older one stays.
    BOOL fWasThere;
    // For c_dwErrShortNameIn...: the long name of the file the listed name
    // reaches through its short name.
    WCHAR wszLongName[MAX_PATH];
};

// Moves the file pszName (a plain file name, no folder) from g_szCurrentDir
// into g_szDataDir. ERROR_SUCCESS when the file is in the data folder
// afterwards; otherwise the cause, from the step that failed:
// ERROR_FILE_NOT_FOUND only for a source that is not there,
// ERROR_PATH_NOT_FOUND for a start or data folder gone, ERROR_CANNOT_MAKE
// when a file stands where the folder of parts must be, ERROR_CANCELLED
// when the user stopped the copy, one of the c_dwErr... codes, and for a
// target the program cannot tell from the source the error that kept it
// from telling. The copy takes the series' name only once whole and on
// disk, and the source is deleted only after that, so neither a failed
// nor an interrupted copy loses or half-installs anything. The installed
// file is never read-only, and a read-only source is deleted like any
// other. A step refused by a brief hold is tried again (patience.h).
DWORD MoveSeriesFile(const char *pszName, MoveResult *pResult);

enum FolderIdentity { FOLDERS_DIFFER, FOLDERS_SAME, FOLDERS_UNKNOWN };

// Whether the data folder is the start folder by another path (a short
// name, a mapped drive, a share, "." in the path), asked once before the
// first copy. The moves go by a known answer until ForgetFolderIdentity;
// while it is FOLDERS_UNKNOWN each series whose name stands in the data
// folder asks again.
FolderIdentity CompareDataWithStart(void);
void ForgetFolderIdentity(void);
