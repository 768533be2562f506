#pragma once
#include "ui/globals_win.h"

HWND CreateStatusBar(HWND parent);
void UpdateStatusCounts();
void LayoutChildWindows(HWND mainWindow);
// Where the list views begin: under the toolbar and its edge.
int ToolbarBottom(HWND mainWindow);
