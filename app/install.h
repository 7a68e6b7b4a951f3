// The installation run, from the start folder to the closing message.
#pragma once
#include <windows.h>

// Runs the whole job inside the host window's creation and ends by
// destroying that window. hwnd owns the dialog and the message boxes.
void RunInstallation(HWND hwnd);
