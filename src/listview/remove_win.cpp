// Removing the selected images. Their thumbnails stay in the image list and their slots
// wait in the free-slot queue for later imports; removing everything empties all three.
#include "listview/remove_win.h"

#include <vector>

#include "listview/image_listview_win.h"

static void SetViewItemCount(int count)
{
    SendMessageA(ImageListView, LVM_SETITEMCOUNT, count, 0);
}

static void DeselectAll()
{
    LVITEMA state;
    ZeroMemory(&state, sizeof state);
    state.stateMask = LVIS_SELECTED;
    state.state = 0;
    SendMessageA(ImageListView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
}

void RemoveSelectedImages()
{
    int selected = (int)SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0);
    if (selected <= 0) return;
    HIMAGELIST thumbnails = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST,
                                                     LVSIL_NORMAL, 0);
    if (selected == (int)ImageCollection.size()) {
        if (thumbnails) ImageList_Remove(thumbnails, -1);
        SetViewItemCount(0);
        ClearCollection(ImageCollection, FreeSlotQueue);  // the next import gets slot 0
        return;
    }

    std::vector<int> positions;
    int i = -1;
    while ((i = (int)SendMessageA(ImageListView, LVM_GETNEXTITEM, i,
                                  MAKELPARAM(LVNI_SELECTED, 0))) >= 0) {
        positions.push_back(i);
        if ((int)positions.size() > selected) break;  // the view disagrees with itself
    }
    // A selection the view cannot account for, or positions outside the collection,
    // remove nothing.
    if ((int)positions.size() != selected) return;
    if (!RemoveEntriesAt(ImageCollection, FreeSlotQueue, positions.data(), selected)) return;
    SetViewItemCount((int)ImageCollection.size());
    DeselectAll();
}
