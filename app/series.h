// The series list "teinstal.txt" and the moves of the files it names.
#pragma once
#include <windows.h>
#include <stdio.h>

// Moves every series file the list names from the start folder into the
// data folder. TRUE when all of them are there now and the list was read to
// its end; otherwise FormatNotMoved tells what is missing.
BOOL MoveSeries(FILE *file);

// The warning for a MoveSeries that returned FALSE: the series not moved,
// one a line, as the publisher wrote them, and what the user should do.
void FormatNotMoved(WCHAR *pwszText, size_t cchText);
