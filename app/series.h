// Going through the series list "teinstal.txt": each entry's verdict and
// move.
#pragma once
#include <windows.h>
#include <stdio.h>

// Opens the list and moves every series file it names from the start
// folder into the data folder. TRUE when all of them are there now and the
// list was read to its end; otherwise the closing warning (warning.h)
// tells what is missing and why. EndSeriesMoves ends what this began,
// whatever it returned.
BOOL BeginSeriesMoves(FILE *file);
// Tries again, with every promise of a move, the series that the last
// pass did not move; the others stay as they are. TRUE as above.
BOOL RetrySeriesMoves(void);
void EndSeriesMoves(void);

// One pass: BeginSeriesMoves, then EndSeriesMoves.
BOOL MoveSeries(FILE *file);
