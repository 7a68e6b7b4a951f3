// The data-folder dialog (template IDD_DATAFOLDER): the user confirms the
// folder the series go to, or browses to another one.
#pragma once
#include <windows.h>

INT_PTR CALLBACK DataFolderDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the folder browser for the dialog's "Blader" button.
void BrowseForDataFolder(HWND hDlg);

// The folder browser's callback: preselects the folder in the path box.
int CALLBACK BrowseCallbackProc(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);
