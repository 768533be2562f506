// Rotating and flipping the selected images: each thumbnail is read back from the image
// list, turned or mirrored by the core and written into the same slot; the entry records
// the command only when its new thumbnail is in place, so picture and state agree.
#include "listview/transform_win.h"

#include <vector>

#include "platform/owners_win.h"
#include "ui/statusbar_win.h"
#include "listview/image_listview_win.h"

namespace {

const int Side = ThumbnailSize;

// The thumbnail as the core's pixel operations want it: 32 bits, rows bottom-up.
void DescribeThumbnailBits(BITMAPINFO* info)
{
    ZeroMemory(info, sizeof *info);
    info->bmiHeader.biSize = sizeof info->bmiHeader;
    info->bmiHeader.biWidth = Side;
    info->bmiHeader.biHeight = Side;  // positive: bottom-up
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 32;
    info->bmiHeader.biCompression = BI_RGB;
}

// Everything one command needs, made once for all the selected items.
struct Workspace {
    WindowDC window{MainWindow};
    MemoryDC memory{window.Get()};
    ScopedBitmap bitmap{CreateCompatibleBitmap(window.Get(), Side, Side)};
    // Without a mask of its own the list keeps the slot's old mask, whose see-through
    // pixels would no longer match the turned picture. The redrawn thumbnail already
    // shows those pixels as the view does (white), so it is opaque everywhere: 1 bit a
    // pixel, rows of whole words, all clear.
    ScopedBitmap opaqueMask{CreateBitmap(Side, Side, 1, 1, std::vector<WORD>(Side * Side / 16).data())};
    std::vector<uint8_t> pixels = std::vector<uint8_t>(Side * Side * 4);
    bool Ready() const { return window.Get() && memory.Get() && bitmap.Get() && opaqueMask.Get(); }
};

// Redraws one entry's thumbnail turned or mirrored; true when the image list took it.
bool TransformThumbnail(Workspace& w, HIMAGELIST thumbnails, int slot, TransformMode mode)
{
    {
        // Pixels masked out by the list (pure red) are drawn as the view shows them,
        // white, rather than as whatever the memory bitmap held.
        Selection drawing(w.memory.Get(), w.bitmap.Get());
        if (!drawing.Made() || !PatBlt(w.memory.Get(), 0, 0, Side, Side, WHITENESS) ||
            !ImageList_Draw(thumbnails, slot, w.memory.Get(), 0, 0, ILD_NORMAL))
            return false;
    }  // the bitmap leaves the memory context for reading, writing and the image list
    BITMAPINFO info;
    DescribeThumbnailBits(&info);
    int rows = GetDIBits(w.window.Get(), w.bitmap.Get(), 0, Side, w.pixels.data(), &info,
                         DIB_RGB_COLORS);
    // Opaque everywhere, as a new thumbnail is: a list of 32-bit colour would take stray
    // alpha bytes left by the drawing as transparency.
    for (size_t i = 3; i < w.pixels.size(); i += 4) w.pixels[i] = 255;
    return rows == Side && TransformThumbnailPixels(w.pixels.data(), mode) &&
           SetDIBits(w.window.Get(), w.bitmap.Get(), 0, Side, w.pixels.data(), &info,
                     DIB_RGB_COLORS) == Side &&
           ImageList_Replace(thumbnails, slot, w.bitmap.Get(), w.opaqueMask.Get());
}

}  // namespace

void TransformSelectedImages(TransformMode mode)
{
    HIMAGELIST thumbnails = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST,
                                                     LVSIL_NORMAL, 0);
    bool anySelected = SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    Workspace w;
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
