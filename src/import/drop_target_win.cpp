#include "import/drop_target_win.h"

void RegisterImageDropTarget(HWND)
{
    // Dropping files is not built yet.
}

void RevokeImageDropTarget(HWND)
{
}
