#include "listview/reorder_win.h"

// Reordering by dragging is not built yet.
void BeginReorderDrag(int, int, int)
{
}

void TrackReorderDrag(WPARAM, LPARAM)
{
}

void EndReorderDrag(int)
{
}
