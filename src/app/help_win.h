// The Help menu and the Help button: the help file, the About box, the web site.
#pragma once
#include <string>

#include "ui/globals_win.h"

// Opens Tolvane.chm at its default topic, unless its window is already open. Without a
// help file found at start-up, says so in a message box every time.
void ShowHelp();
// The modal About box (dialog 103), owned by the main window.
void ShowAboutBox();
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The libraries Tolvane uses, with their versions, licences and web addresses, in lines
// (ending in CR LF) that fit the box's text field, which does not wrap.
std::string AboutAcknowledgement();
void OpenWebSite();
