// The closing boxes: which listed series were not installed, why not, and
// what the user can do about each cause, in plain Dutch; and the success
// box, with the series it could only leave as they were.
#pragma once
#include "app/entry.h"
#include "app/globals.h"
#include <windows.h>

// A name as the warning shows it: one entry, at most 149 characters, each
// one or two UTF-16 units.
const int c_cchNotMovedName = 2 * c_cbListEntry + 1;

// Forgets what an earlier pass noted.
void ClearNotMoved(void);

// Notes a series that was not installed: its name as the publisher wrote
// it, the verdict on its entry and, for a move that failed, its cause (the
// error MoveSeriesFile returned, 0 otherwise), with the long name it
// reports for a short name (or "").
void NoteNotMoved(const WCHAR *pwszName, EntryVerdict verdict, DWORD dwError,
                  const WCHAR *pwszLongName);

// Notes that the list could not be read to its end.
void NoteListUnread(void);

// Whether anything was noted since ClearNotMoved.
BOOL AnyNotMoved(void);

// Whether a cause noted is one the user can cure while the warning is
// open (close a program, free space, lift a protection, ...), so that the
// warning offers to try again.
BOOL CanRetryInPlace(void);

// The warning's text: each series shown (at most 15) with its cause on
// the line below it, then one piece of advice for each cause that
// occurred, worded for a box that offers to try again (fRetry) or not.
const size_t c_cchNotMovedText = 16384;
void FormatNotMoved(WCHAR *pwszText, size_t cchText, BOOL fRetry);

// A series the pack lacks whose edition in the data folder stays: the run
// counts it as installed, and the success box names it. Kept over the
// passes of a run until ClearWasThere.
void ClearWasThere(void);
void NoteWasThere(const WCHAR *pwszName);

// The success box's text, naming those series (at most 15).
const size_t c_cchSuccessText = 8192;
void FormatSuccess(WCHAR *pwszText, size_t cchText);

// A "Let op" box about a folder, named as Windows shows it between two
// texts. Every box comes to the front: the user may have gone to another
// window meanwhile, and the host window is never shown. Not shown at all
// should the text not fit: a folder cut short would name another.
void ShowFolderWarning(HWND hwnd, const WCHAR *pwszBefore, const WCHAR *pwszFolder,
                       const WCHAR *pwszAfter);
