#pragma once
#include "app/globals_win.h"

void RegisterImageDropTarget(HWND window);
void RevokeImageDropTarget(HWND window);
