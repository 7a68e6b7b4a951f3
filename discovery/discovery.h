// Finding the Raadrups installation and the data folder its INI file names.
#pragma once
#include <windows.h>

// Fills g_szIniPath with the full path of an existing "tolpen.ini", or
// leaves it empty. hwnd owns any window the shell shows meanwhile.
void FindTargetProgram(HWND hwnd);

// Reads the data folder named by g_szIniPath into g_szDataDir.
void LoadDataFolder(void);
