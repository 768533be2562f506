#pragma once
#include "app/globals_win.h"

HWND CreateLayoutPalette(HWND owner);
void ShowLayoutPalette(NMTOOLBARA* dropDown);
