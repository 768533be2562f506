// Shared helpers of the UI tests: the real main window in this process, message
// flushing, modal dialogs driven from inside their own loops, screenshots.
#pragma once
#include <functional>
#include <string>

#include "app/globals_win.h"

// Starts Tolvane's main window as WinMain does (strings, class, InitInstance) and
// returns it. Each test runs in its own process, so the globals start fresh.
HWND StartTolvane(int showCommand = SW_SHOWNORMAL);

// Handles waiting messages until the queue has been quiet, at most maxMs.
void FlushMessages(DWORD maxMs = 200);

// Runs `action` inside the next modal dialog (#32770) that becomes active, from a timer in
// the dialog's own message loop; the program's modeless dialogs (progress, palette) are
// passed over. Several calls queue actions for successive dialogs; each dialog gets one
// action at most, so a dialog active again after a message box it opened has closed is
// passed over too.
// A dialog still open after timeoutMs gets IDCANCEL, and DialogTimedOut() turns true.
void WhenDialogAppears(std::function<void(HWND dialog)> action, DWORD timeoutMs = 5000);
bool DialogTimedOut();
void ForgetDialogActions();

// Text of a window or of a dialog's control, as UTF-8.
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);

// Saves the window (frame included) as screenshots/<name>.png in the build folder.
bool SaveScreenshot(HWND window, const char* name);
// Saves a rectangle of the screen, windows of other owners and popups included.
bool SaveScreenArea(const RECT& area, const char* name);

// A fresh empty folder for a test's files, as a Windows path without trailing backslash.
// Names and paths here are UTF-8, as the program holds them.
std::string MakeTestFolder(const char* name);
// Writes bytes to a file (Windows path); true on success.
bool WriteTestFile(const std::string& path, const void* data, size_t size);

// Sends a key press (down and up) to a window as the keyboard would deliver it.
void SendKey(HWND window, WORD virtualKey);

// Presses and releases a key through the system's input queue (SendInput), with Control
// or Alt held when asked, then lets the main loop's routing handle it.
void PressKey(WORD virtualKey, bool control = false, bool alt = false, bool shift = false);
