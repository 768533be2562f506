#include "listview/remove_win.h"

void RemoveSelectedImages()
{
    // Removing images is not built yet.
}
