#pragma once
#include "ui/globals_win.h"

HWND CreateStatusBar(HWND parent);
void UpdateStatusCounts();
void LayoutChildWindows(HWND mainWindow);
