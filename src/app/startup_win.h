// Start-up, defaults and the main message loop.
#pragma once
#include "ui/globals_win.h"

int RunTolvane(HINSTANCE instance, int showCommand);  // WinMain's body; the exit code
ATOM RegisterMainWindowClass(HINSTANCE instance);
BOOL InitInstance(HINSTANCE instance, int showCommand);
DWORD GetCommonControlsVersion(const char* libraryName);
int GetOsVersionClass();
void FindHelpFile();
// The search itself, from the program's file name and the current directory (either
// may be null when it could not be read).
void FindHelpFileFrom(const char* programFile, const char* currentDirectory);
BOOL HelpFileAttributesPresent(DWORD attributes);
