// Where the process may load DLLs from.
#pragma once

// Restricts the DLL search of this process to the system folder. Called
// first thing: a program started from a Downloads folder must not load a
// DLL planted there in place of one a system DLL loads on demand
// (uxtheme.dll, version.dll, dwmapi.dll, ...), which Windows would
// otherwise look for in the program's own folder first.
void RestrictDllSearch(void);
