// Rotating and flipping the selected images: each thumbnail is read back from the image
// list, turned or mirrored by the core and written into the same slot; the entry records
// the command only when its new thumbnail is in place, so picture and state agree.
#include "listview/transform_win.h"

#include "picture/thumbnail.h"
#include "ui/statusbar_win.h"
#include "ui/thumbnail_win.h"
#include "listview/image_listview_win.h"

namespace {

// Redraws one entry's thumbnail turned or mirrored; true when the image list took it.
bool TransformThumbnail(ThumbnailWorkspace& w, HIMAGELIST thumbnails, int slot, TransformMode mode)
{
    return w.Read(thumbnails, slot) && TransformThumbnailPixels(w.pixels.data(), mode, w.side) &&
           w.Write(thumbnails, slot);
}

}  // namespace

void TransformSelectedImages(TransformMode mode)
{
    HIMAGELIST thumbnails = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST,
                                                     LVSIL_NORMAL, 0);
    bool anySelected = SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    ThumbnailWorkspace w(ImageListSide(thumbnails));
    if (anySelected && thumbnails && w.Ready()) {
        int i = -1;
        while ((i = (int)SendMessageA(ImageListView, LVM_GETNEXTITEM, i,
                                      MAKELPARAM(LVNI_SELECTED, 0))) >= 0) {
            if (i >= (int)ImageCollection.size()) break;
            ImageEntry& entry = ImageCollection[i];
            if (TransformThumbnail(w, thumbnails, entry.slot, mode))
                ApplyTransformToEntry(&entry, mode);
        }
    }
    UpdateStatusCounts();
    RefreshItemCount();
}
