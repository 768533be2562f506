// The program's one message loop, and the pump that long operations run between their
// items and while they wait. Both offer every message to the modeless dialogs that have
// registered themselves, and translate the shortcuts of the accelerator table.
#pragma once
#include "platform/win32.h"

// The main window, whose shortcuts the main loop translates while it is enabled, and the
// table of shortcuts. Set once the window exists.
void SetLoopShortcuts(HWND mainWindow, HACCEL accelerators);

// A modeless dialog registers when it is created and leaves when it is destroyed.
void RegisterModelessDialog(HWND dialog);
void UnregisterModelessDialog(HWND dialog);

// The main loop, until the quit message; returns its exit code.
int RunMessageLoop();
// One message of the main loop: shortcuts, then the modeless dialogs, then dispatch.
void HandleLoopMessage(MSG* msg);

// Handles every waiting message and returns; never waits. Shortcuts are translated
// against the message's own window: while the main window is disabled its shortcuts stay
// out of reach. The quit message ends the pump and is kept for the main loop.
void PumpPendingMessages();
// TRUE once the pump has taken the quit message: every wait and operation then ends.
BOOL QuitRequested();
