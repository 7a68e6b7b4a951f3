// Going through the series list "teinstal.txt": each entry's verdict and
// move.
#pragma once
#include <windows.h>
#include <stdio.h>

// Moves every series file the list names from the start folder into the
// data folder. TRUE when all of them are there now and the list was read to
// its end; otherwise the closing warning (warning.h) tells what is missing
// and why.
BOOL MoveSeries(FILE *file);
