#pragma once
#include "app/globals_win.h"

HWND CreateStatusBar(HWND parent);
void UpdateStatusCounts();
void LayoutChildWindows(HWND mainWindow);
