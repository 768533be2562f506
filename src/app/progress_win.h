// The two modeless progress dialogs and the message pump of long operations.
#pragma once
#include "app/globals_win.h"

INT_PTR CALLBACK AddImagesProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MakePdfProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Handles every waiting message and returns; never waits. The quit message cancels the
// running operation and is kept for the main loop (PumpSawQuit).
void PumpPendingMessages();
BOOL PumpSawQuit(int* exitCode);
