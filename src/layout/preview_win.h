#pragma once
#include "app/globals_win.h"

HWND CreatePreviewListView(HWND parent);
int RenderPreviewPages();
void EnterPreviewMode();
void LeavePreviewMode();
void AnswerPageDisplayInfo(NMLVDISPINFOA* request);
