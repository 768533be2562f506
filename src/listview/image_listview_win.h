// The owner-data list of thumbnails and caption editing.
#pragma once
#include "ui/globals_win.h"

enum CaptionEditMode { ByF2 = 1, AtRightClick = 2, ByTypedKey = 3 };

HWND CreateImageListView(HWND parent);
// Makes the thumbnails side x side (the window's DPI changed): each one scaled from what
// the list holds, the entries' picture rectangles with them.
void ResizeThumbnails(int side);
void RestoreImageListViewProc();
void AnswerImageDisplayInfo(NMLVDISPINFOA* request);
void BeginCaptionEdit(CaptionEditMode mode, int key);
void OnBeginCaptionEdit(NMLVDISPINFOA* request);
void OnEndCaptionEdit(NMLVDISPINFOA* request);
void ShowImageContextMenu(NMITEMACTIVATE* click);
void SelectAllImages();
void RefreshItemCount();
