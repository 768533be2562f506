#pragma once
#include "app/globals_win.h"

void BeginReorderDrag(int item, int x, int y);
void TrackReorderDrag(WPARAM wParam, LPARAM lParam);
void EndReorderDrag(int cancel);
