// The closing warning: which listed series were not installed, why not,
// and what the user can do about each cause, in plain Dutch.
#pragma once
#include "app/entry.h"
#include "app/globals.h"
#include <windows.h>

// A name as the warning shows it: one entry, at most 149 characters, each
// one or two UTF-16 units.
const int c_cchNotMovedName = 2 * c_cbListEntry + 1;

// Forgets what an earlier run noted.
void ClearNotMoved(void);

// Notes a series that was not installed: its name as the publisher wrote
// it, the verdict on its entry and, for a move that failed, the system's
// error (0 otherwise).
void NoteNotMoved(const WCHAR *pwszName, EntryVerdict verdict, DWORD dwError);

// Notes that the list could not be read to its end.
void NoteListUnread(void);

// Whether anything was noted since ClearNotMoved.
BOOL AnyNotMoved(void);

// The warning's text: each series shown (at most 15) with its cause on
// the line below it, then one piece of advice for each cause that
// occurred. c_cchNotMovedText characters always hold it whole.
const size_t c_cchNotMovedText = 16384;
void FormatNotMoved(WCHAR *pwszText, size_t cchText);
