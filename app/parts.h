// The parts: every series is copied to "<its name>.instrrse-deel" in the
// folder of parts "delen.instrrse-deel" of the data folder, and takes its
// own name only once whole. However the run ends, no part of a file stands
// under a series' name. A part's name is the same for a series in every
// run, so the next run finds what an interrupted one left and removes
// exactly that.
#pragma once
#include "app/partnames.h"
#include "app/patience.h"
#include <windows.h>

// Room for a full path made of a relative ANSI folder, the current
// directory and the suffix, with the long-path prefix.
const DWORD c_cchLongPath = 3 * MAX_PATH;

// The full path in the "\\?\" form, which reaches past MAX_PATH: a
// series' path fits, its longer part's need not. ERROR_SUCCESS, or
// ERROR_FILENAME_EXCED_RANGE.
DWORD ComposeLongPath(const char *pszPath, WCHAR *pwszLong);
// The name with the suffix in the folder of parts of pszFolder (ending in
// a backslash), in the long form.
DWORD ComposeInPartFolder(const char *pszFolder, const char *pszName, WCHAR *pwszPath);

// Makes the data folder's folder of parts if it is not there. A file of
// its name is not ours to remove: ERROR_CANNOT_MAKE.
DWORD MakePartFolder(void);
// Removes the data folder's folder of parts when the run left it empty; a
// part an interrupted copy left there stays for the next run.
void RemovePartFolder(void);

// Makes the new part pwszPart for the source (pInfo: what the system says
// of it), open for writing and for its rename, shared with nobody: another
// run on the same data folder can neither remove nor replace it meanwhile.
// A part an earlier run left there is removed first; the folder of parts
// is made when missing. The part is never read-only. The caller closes it.
DWORD CreatePart(const WCHAR *pwszPart, const BY_HANDLE_FILE_INFORMATION *pInfo, HANDLE *phPart,
                 Patience *pPatience);
// Copies the open source to the part in blocks, with the source's time of
// last change, and forces it to disk: the source is deleted once the part
// has taken the series' name, and after a power cut the disk must hold
// what was copied. Each block counts on the progress window; stopped
// there, the copy ends with ERROR_CANCELLED. Returns the error of the step
// that failed; the caller removes the part then.
DWORD FillPart(HANDLE hSource, const BY_HANDLE_FILE_INFORMATION *pInfo, HANDLE hPart);
// Gives the open part the full path pwszTarget (shorter than MAX_PATH),
// over a file standing there only when fReplace is set. Returns the
// system's error: ERROR_ALREADY_EXISTS when a file or folder has the name.
DWORD RenamePart(HANDLE hPart, const WCHAR *pwszTarget, BOOL fReplace);

// Removes a part (also one that took a read-only attribute), waiting out
// a brief hold on it.
void RemovePart(const WCHAR *pwszPart, Patience *pPatience);
