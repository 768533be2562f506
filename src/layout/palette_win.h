// The layout palette: a small popup column of three buttons under the toolbar's layout
// button, choosing one, two or four pictures per page.
#pragma once
#include "ui/globals_win.h"

HWND CreateLayoutPalette(HWND owner);
// Sizes the palette to its buttons (again, once they change size with the DPI).
void FitLayoutPalette();
void ShowLayoutPalette(NMTOOLBARA* dropDown);
INT_PTR CALLBACK LayoutPaletteProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The toolbar image of a layout: 7, 8 or 9.
int LayoutImage(LayoutMode layout);
