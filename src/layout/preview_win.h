// Preview mode: one picture per PDF page, drawn from the thumbnails, in a second list
// view that takes the image list's place.
#pragma once
#include <deque>

#include "ui/globals_win.h"

extern std::deque<int> PreviewSlotList;  // page k's picture in the preview's image list

HWND CreatePreviewListView(HWND parent);
// 1 when at least one page picture was made and nothing failed, else 0.
int RenderPreviewPages();
void EnterPreviewMode();
void LeavePreviewMode();
void AnswerPageDisplayInfo(NMLVDISPINFOA* request);
