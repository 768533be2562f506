#pragma once
#include "ui/globals_win.h"

HWND CreateMainToolbar(HWND parent);
// Gives a toolbar (the main one, or the layout palette's) the pictures at the main
// window's DPI, and sizes it to them.
void ShowToolbarArt(HWND toolbar);
// Makes the pictures again at a new DPI, for both toolbars.
void RemakeToolbarArt();
void AnswerToolbarTooltip(NMTTDISPINFOA* request);
