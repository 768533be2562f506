// The layout palette under the toolbar's layout button.
#include "layout/palette_win.h"

HWND CreateLayoutPalette(HWND)
{
    return NULL;  // the palette is not built yet
}

void ShowLayoutPalette(NMTOOLBARA*)
{
}
