// Waiting out a brief hold. Virus scanners, search indexers, sync clients
// and Raadrups itself open a file for a moment just after it is written or
// while it is read; a step refused for that succeeds a moment later.
#pragma once
#include <windows.h>

// How long one series may still wait, and how long its next wait is.
struct Patience {
    DWORD msLeft;
    DWORD msNext;
};

// A new run: every series may wait again.
void ResetPatience(void);

// The waits of one series. Once a few series have waited in vain, the
// rest get one try each, so that a run in which every older edition is
// held still ends within seconds.
void BeginPatience(Patience *pPatience);

// Whether a step that failed with dwError is worth trying again: the error
// is one a brief hold gives (a sharing or lock violation, and access denied
// where fDeniedMayBeHold says a hold can cause it) and the series has
// patience left. If so, it has waited the next, longer while.
BOOL WaitOutHold(Patience *pPatience, DWORD dwError, BOOL fDeniedMayBeHold);
