// The DPI the main window is drawn at, and the fonts of its controls at that DPI. The
// program declares itself aware of each monitor's DPI: Windows then leaves the drawing
// to it instead of stretching the window as a bitmap, and tells the window when it moves
// to a monitor of another DPI (WM_DPICHANGED).
#pragma once
#include "ui/dpi.h"
#include "ui/globals_win.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

extern int WindowDpi;  // the main window's DPI: 96 at 100 %

// The window's DPI: its monitor's on Windows 10 (1607 and later), the system's before.
int DpiOfWindow(HWND window);

// pixels at 96 DPI as many at the main window's DPI.
inline int Scaled(int pixels) { return ScaleToDpi(pixels, WindowDpi); }

// Gives the thumbnail lists and the status bar the system's fonts made for WindowDpi, once
// that is not the system's DPI (the controls' own fonts are made for that one).
void FitFontsToDpi();
