// Reading the series list "teinstal.txt": one entry per line, bytes as
// stored, a line ending at CR or LF.
#pragma once
#include <stdio.h>

// Passes over a UTF-8 byte-order mark at the start of the list, which an
// editor may put there and which would otherwise become part of the first
// name. Leaves the list at its start when there is none.
void SkipByteOrderMark(FILE *file);

// 1 when an entry (possibly empty) is in g_szListLine, 0 at the end of the
// list or when it cannot be read further.
int ReadListEntry(FILE *file);
