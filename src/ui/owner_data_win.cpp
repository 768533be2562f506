#include "ui/owner_data_win.h"

LVITEMA* RequestedItem(NMLVDISPINFOA* request, int itemCount)
{
    LVITEMA* item = &request->item;
    if (item->iItem == -1) {
        OutputDebugStringA("LVOWNER: Request for -1 item?\n");
        return nullptr;
    }
    return item->iItem >= 0 && item->iItem < itemCount ? item : nullptr;
}
