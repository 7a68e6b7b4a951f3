// Going through the series list "teinstal.txt": each entry's verdict and
// move, and the closing warning that names what was not moved.
#pragma once
#include <windows.h>
#include <stdio.h>

// Moves every series file the list names from the start folder into the
// data folder. TRUE when all of them are there now and the list was read to
// its end; otherwise FormatNotMoved tells what is missing.
BOOL MoveSeries(FILE *file);

// The warning for a MoveSeries that returned FALSE: the series not moved,
// one a line, as the publisher wrote them, and what the user should do.
// c_cchNotMovedText characters always hold it whole.
const size_t c_cchNotMovedText = 8192;
void FormatNotMoved(WCHAR *pwszText, size_t cchText);
