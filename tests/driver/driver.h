// Drives the real instrrse.exe from another process: starts it in a given
// folder, finds its dialog, folder browser and message box, reads their
// texts and presses their buttons. Every wait is bounded; a program that
// does not end in time is terminated and reported.
#pragma once
#include <windows.h>
#include <string>

namespace driver {

const DWORD kWaitMs = 15000;

struct Installer {
    PROCESS_INFORMATION pi = {};
    bool started = false;
};

// Starts the installer (a Windows path) with the given current directory,
// also one the ANSI code page cannot name.
bool Start(Installer &inst, const std::string &exe, const std::string &cwd);
bool Start(Installer &inst, const std::string &exe, const std::wstring &cwd);

// Waits for the process to end; on timeout terminates it and returns false.
bool WaitForExit(Installer &inst, DWORD *pdwExitCode, DWORD ms = kWaitMs);

// Ends a program still running and closes its handles.
void Kill(Installer &inst);

// A visible top-level dialog (class "#32770") of the process with this
// caption; NULL after the bound. Never the progress window.
HWND WaitForDialog(const Installer &inst, const std::string &caption, DWORD ms = kWaitMs);

// Whether the window holds a progress bar: the progress window of the
// moves, told so from the closing boxes and the data-folder dialog.
bool HasProgressBar(HWND hwnd);
// The progress window of the moves; NULL after the bound. Its button to
// stop is IDCANCEL (Press).
HWND WaitForProgress(const Installer &inst, DWORD ms = kWaitMs);

// True when the process shows no visible top-level window for the whole
// period: used to prove that nothing was shown.
bool ShowsNothingFor(const Installer &inst, DWORD ms);

std::string WindowText(HWND hwnd);
std::wstring WindowTextW(HWND hwnd);
std::string ItemText(HWND hDlg, int id);

// Button presses as the dialog manager delivers them.
void Press(HWND hDlg, int id);
void PressEscape(HWND hDlg);
void PressCloseButton(HWND hDlg);

// The message box's text (its static text control), read as Unicode: as
// it stands, and converted to the ANSI code page.
std::wstring MessageBoxTextW(HWND hBox);
std::string MessageBoxText(HWND hBox);
// True when the box shows the given standard icon (IDI_WARNING, ...).
bool MessageBoxHasIcon(HWND hBox, LPCSTR pszIcon);

// The pixels of the rectangle of a window's device context (NULL: the
// screen's, where windows of any process are read as drawn), as the bytes
// of a 24-bit BMP file; "" when they cannot be read.
std::string CaptureBmp(HWND hwnd, const RECT &rc);

// The whole window, frame included, read off the screen where its own
// process drew it, saved as a 24-bit BMP file.
bool SaveWindowBmp(HWND hwnd, const std::string &path);

// The folder browser opened by "Blader".
HWND OpenBrowser(HWND hDlg, DWORD ms = kWaitMs);
// Selects a file-system folder in the browser's tree, through My Computer
// and the drive; false when a step of the path is not in the tree.
bool BrowserSelect(const Installer &inst, HWND hBrowser, const std::string &folder);
// The text of the tree item selected now ("" when none).
std::string BrowserSelectionText(const Installer &inst, HWND hBrowser);
void BrowserConfirm(HWND hBrowser);
void BrowserCancel(HWND hBrowser);
// Waits until the window is gone.
bool WaitGone(HWND hwnd, DWORD ms = kWaitMs);

// Writes a copy of the installer without its dialog template, in which the
// dialog cannot be shown; false when the copy cannot be made so.
bool CopyWithoutDialog(const std::string &installer, const std::string &copy);

}  // namespace driver
