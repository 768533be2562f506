// Rotating and flipping the selected images: each thumbnail is read back from the image
// list, turned or mirrored by the core and written into the same slot; the entry records
// the command only when its new thumbnail is in place, so picture and state agree.
#include "listview/transform_win.h"

#include <vector>

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
    HDC windowDC = NULL;
    HDC memoryDC = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ firstBitmap = NULL;  // the memory context's own bitmap, put back at the end
    HBITMAP opaqueMask = NULL;
    BITMAPINFO info;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(Side * Side * 4);
};

bool OpenWorkspace(Workspace* w)
{
    w->windowDC = GetDC(MainWindow);
    if (!w->windowDC) return false;
    w->memoryDC = CreateCompatibleDC(w->windowDC);
    w->bitmap = CreateCompatibleBitmap(w->windowDC, Side, Side);
    if (!w->memoryDC || !w->bitmap) return false;
    w->firstBitmap = SelectObject(w->memoryDC, w->bitmap);
    DescribeThumbnailBits(&w->info);
    // Without a mask of its own the list keeps the slot's old mask, whose see-through
    // pixels would no longer match the turned picture. The redrawn thumbnail already
    // shows those pixels as the view does (white), so it is opaque everywhere.
    static const WORD clear[Side * Side / 16] = {0};  // 1 bit a pixel, rows of whole words
    w->opaqueMask = CreateBitmap(Side, Side, 1, 1, clear);
    return w->firstBitmap != NULL && w->opaqueMask != NULL;
}

void CloseWorkspace(Workspace* w)
{
    if (w->windowDC) ReleaseDC(MainWindow, w->windowDC);
    if (w->memoryDC) {
        if (w->firstBitmap) SelectObject(w->memoryDC, w->firstBitmap);
        DeleteDC(w->memoryDC);
    }
    if (w->bitmap) DeleteObject(w->bitmap);
    if (w->opaqueMask) DeleteObject(w->opaqueMask);
}

// Redraws one entry's thumbnail turned or mirrored; true when the image list took it.
bool TransformThumbnail(Workspace* w, HIMAGELIST thumbnails, int slot, TransformMode mode)
{
    // Pixels masked out by the list (pure red) are drawn as the view shows them, white,
    // rather than as whatever the memory bitmap held.
    if (!PatBlt(w->memoryDC, 0, 0, Side, Side, WHITENESS)) return false;
    if (!ImageList_Draw(thumbnails, slot, w->memoryDC, 0, 0, ILD_NORMAL)) return false;
    // The bitmap leaves the memory context for reading, writing and the image list.
    SelectObject(w->memoryDC, w->firstBitmap);
    bool replaced = false;
    int rows = GetDIBits(w->windowDC, w->bitmap, 0, Side, w->pixels.data(), &w->info,
                         DIB_RGB_COLORS);
    // Opaque everywhere, as a new thumbnail is: a list of 32-bit colour would take stray
    // alpha bytes left by the drawing as transparency.
    for (size_t i = 3; i < w->pixels.size(); i += 4) w->pixels[i] = 255;
    if (rows == Side && TransformThumbnailPixels(w->pixels.data(), mode) &&
        SetDIBits(w->windowDC, w->bitmap, 0, Side, w->pixels.data(), &w->info,
                  DIB_RGB_COLORS) == Side)
        replaced = ImageList_Replace(thumbnails, slot, w->bitmap, w->opaqueMask) != FALSE;
    SelectObject(w->memoryDC, w->bitmap);
    return replaced;
}

}  // namespace

void TransformSelectedImages(TransformMode mode)
{
    Workspace w;
    HIMAGELIST thumbnails = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST,
                                                     LVSIL_NORMAL, 0);
    bool anySelected = SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    if (anySelected && thumbnails && OpenWorkspace(&w)) {
        int i = -1;
        while ((i = (int)SendMessageA(ImageListView, LVM_GETNEXTITEM, i,
                                      MAKELPARAM(LVNI_SELECTED, 0))) >= 0) {
            if (i >= (int)ImageCollection.size()) break;
            ImageEntry& entry = ImageCollection[i];
            if (TransformThumbnail(&w, thumbnails, entry.slot, mode))
                ApplyTransformToEntry(&entry, mode);
        }
    }
    UpdateStatusCounts();
    CloseWorkspace(&w);
    RefreshItemCount();
}
