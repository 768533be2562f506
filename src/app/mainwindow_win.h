// The main window: child windows, layout and the routing of every command.
#pragma once
#include "ui/globals_win.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void TogglePreview();
