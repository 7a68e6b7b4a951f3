// One run at a time: a user who sees nothing happen double-clicks again,
// and two runs on one pack, or into one data folder, would remove each
// other's parts and blame each other's series.
#pragma once
#include <windows.h>

// Claims the pack in g_szCurrentDir for this run. NULL when another run
// holds it; the caller then leaves everything as it is. The claim lasts
// until ReleaseClaim, or until the process ends however it ends.
HANDLE ClaimPack(void);
// Claims the data folder g_szDataDir for this run's moves; NULL when
// another run is moving series into it. Two packs going into two data
// folders run side by side.
HANDLE ClaimDataFolder(void);
void ReleaseClaim(HANDLE hClaim);

// Brings the windows of the run that holds the pack's claim to the front.
void BringPackRunForward(void);
