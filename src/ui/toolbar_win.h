#pragma once
#include "ui/globals_win.h"

HWND CreateMainToolbar(HWND parent);
UINT ToolbarBitmapId();  // 171 (32-bit alpha) or 189 (8-bit), by the version rule
void AnswerToolbarTooltip(NMTTDISPINFOA* request);
