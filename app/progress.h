// The progress window of the moves: which series is being installed and
// how far the run has come, in bytes, with a button to stop. It comes only
// once the moves have taken a second, so that a short run shows nothing,
// not even for a blink. The system's own progress dialog, through COM: it
// draws itself on a thread of its own, so it answers while a block is
// being copied.
#pragma once
#include <windows.h>

// The moves of a pass begin. pfnBytesLater tells, when the window is
// about to show, how many bytes the series after the one under way hold.
void BeginProgress(ULONGLONG (*pfnBytesLater)(void));
// The series now being installed, as the user knows its name.
void ProgressOnSeries(const WCHAR *pwszName);
// The copy of that series begins: cb bytes.
void ProgressOnCopy(ULONGLONG cb);
// cb more bytes are copied. FALSE once the user has asked to stop.
BOOL AdvanceProgress(DWORD cb);
// Whether the user has asked to stop.
BOOL IsProgressStopped(void);
// The moves of the pass are done: the window is gone when this returns.
void EndProgress(void);
