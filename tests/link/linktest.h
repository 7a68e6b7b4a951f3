// Helpers shared by the download link tests: the dialog opened from this
// test program's own copy of the resources, the link's images as they are
// stored, and the pixels a window shows.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/link.h"
#include "tests/driver/files.h"

const int c_xLink = LINK_X;
const int c_yLink = LINK_Y;
const int c_cxLink = LINK_CX;
const int c_cyLink = LINK_CY;
const COLORREF c_crText = RGB(LINK_TEXT_R, LINK_TEXT_G, LINK_TEXT_B);
const COLORREF c_crBack = RGB(DIALOG_GREY, DIALOG_GREY, DIALOG_GREY);

struct Pixels {
    int cx = 0;
    int cy = 0;
    std::vector<COLORREF> cr;  // top-down rows
    COLORREF At(int x, int y) const { return cr[(size_t)y * cx + x]; }
};

// A bitmap resource as stored in hmod (a BITMAPINFOHEADER and the bits);
// fails unless it is an uncompressed 24-bit DIB without colour table.
bool ReadStoredBitmap(HMODULE hmod, int idb, BITMAPINFOHEADER &bih, Pixels &px, std::string &err);

// Pixels of a window's client area, read back from its device context.
Pixels ReadClientPixels(HWND hwnd, int x, int y, int cx, int cy);

// Which pixels of that part of the client area a child window covers.
std::vector<bool> CoveredByChildren(HWND hwnd, int x, int y, int cx, int cy);

// Writes the window's client area as a 24-bit BMP file.
bool SaveClientBmp(HWND hwnd, const std::string &path);
// Writes the whole window, frame and caption included, as the screen shows
// it after activating it, as a 24-bit BMP file.
bool SaveWindowBmp(HWND hwnd, const std::string &path);

// The data-folder dialog, modeless, painted, and shown without activation
// unless fShow is false. (Under a display without window manager Wine
// waits two seconds when a shown dialog is destroyed, so tests that open
// many keep them hidden.)
HWND OpenDataFolderDialog(bool fShow = true);
void CloseDataFolderDialog(HWND hDlg);

// Dispatches what is queued for this thread, mouse input left out so the
// real pointer cannot play into a test.
void PumpPending();
