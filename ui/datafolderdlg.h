// The data-folder dialog (template IDD_DATAFOLDER): the user confirms the
// folder the series go to, or browses to another one.
#pragma once
#include <windows.h>

INT_PTR CALLBACK DataFolderDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The folder as a path string the moves can use, through its short form
// where the ANSI code page cannot hold the folder's name: never a
// look-alike. FALSE, with the user told why, when there is none.
BOOL FolderForMoves(HWND hDlg, const WCHAR *pwszFolder, char *pszFolder);

// Runs the folder browser for the dialog's "Blader" button.
void BrowseForDataFolder(HWND hDlg);

// The folder browser's callback: preselects the folder in the path box.
int CALLBACK BrowseCallbackProc(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);
