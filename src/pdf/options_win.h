// The modal Options dialog: paper, password, after-creation actions, image quality.
#pragma once
#include "ui/globals_win.h"

INT_PTR ShowPdfOptions();  // 1 after OK (settings updated), 2 after Cancel (unchanged)
INT_PTR CALLBACK PdfOptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
