#include "app/patience.h"

// Growing waits of about two seconds in all for one series: a scanner's
// look at a fresh file takes a fraction of a second.
static const DWORD c_msFirstWait = 50;
static const DWORD c_msSeriesPatience = 2000;
// After this many series have waited in vain, the others do not wait.
static const int c_cSeriesThatMayWaitInVain = 3;

static int s_cWaitedInVain;

void ResetPatience(void)
{
    s_cWaitedInVain = 0;
}

void BeginPatience(Patience *pPatience)
{
    pPatience->msLeft = s_cWaitedInVain < c_cSeriesThatMayWaitInVain ? c_msSeriesPatience : 0;
    pPatience->msNext = c_msFirstWait;
}

static BOOL IsHoldError(DWORD dwError, BOOL fDeniedMayBeHold)
{
    return dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION
        || (dwError == ERROR_ACCESS_DENIED && fDeniedMayBeHold);
}

BOOL WaitOutHold(Patience *pPatience, DWORD dwError, BOOL fDeniedMayBeHold)
{
    if (!IsHoldError(dwError, fDeniedMayBeHold) || pPatience->msLeft == 0)
        return FALSE;
    DWORD ms = pPatience->msNext < pPatience->msLeft ? pPatience->msNext : pPatience->msLeft;
    Sleep(ms);
    pPatience->msLeft -= ms;
    pPatience->msNext *= 2;
    if (pPatience->msLeft == 0)
        s_cWaitedInVain++;
    return TRUE;
}
