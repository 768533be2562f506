// Thumbnails as the thumbnail image list holds them: one CreateDIBitmap turns the
// decoder's pixels into a bitmap.
#include "ui/thumbnail_win.h"

#include "picture/area_scale.h"
#include "picture/thumbnail.h"

namespace {

// A side x side 32-bit bitmap with rows bottom-up, as the core gives them.
BITMAPINFO ThumbnailBits(int side)
{
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = side;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

ScopedBitmap ThumbnailBitmap(HWND window, ThumbnailPixels* pixels)
{
    // The fourth byte of a 32-bit BI_RGB pixel is reserved and must be 0. Left at 255 it
    // stays in the bitmap, and the image list (under Wine) then no longer finds pure red
    // for its mask.
    for (size_t i = 3; i < pixels->bgra.size(); i += 4) pixels->bgra[i] = 0;
    const BITMAPINFO info = ThumbnailBits(pixels->side);
    WindowDC dc(window);
    if (!dc.Get() || pixels->bgra.size() != (size_t)pixels->side * pixels->side * 4)
        return ScopedBitmap();
    return ScopedBitmap(CreateDIBitmap(dc.Get(), &info.bmiHeader, CBM_INIT, pixels->bgra.data(),
                                       &info, DIB_RGB_COLORS));
}

int ImageListSide(HIMAGELIST list)
{
    int width = 0, height = 0;
    return list && ImageList_GetIconSize(list, &width, &height) ? width : 0;
}

PictureRect RectOnSide(const PictureRect& r, int from, int to)
{
    auto at = [&](int v) { return (int)((2LL * v * to + from) / (2LL * from)); };  // rounded
    return PictureRect{at(r.left), at(r.top), at(r.right), at(r.bottom)};
}

void FitThumbnail(ThumbnailPixels* pixels, int side)
{
    if (pixels->side == side || side <= 0) return;
    std::vector<uint8_t> scaled((size_t)side * side * 4);
    ScaleByArea(pixels->bgra.data(), pixels->side, pixels->side, scaled.data(), side, side);
    pixels->pictureRect = RectOnSide(pixels->pictureRect, pixels->side, side);
    pixels->bgra.swap(scaled);
    pixels->side = side;
}

BOOL ReplaceThumbnail(HIMAGELIST list, int slot, HBITMAP bitmap)
{
    const int side = ImageListSide(list);
    MemoryDC colourDC(NULL), maskDC(NULL);
    ScopedBitmap mask(CreateBitmap(side, side, 1, 1, NULL));
    if (!colourDC.Get() || !maskDC.Get() || !mask.Get()) return FALSE;
    {
        // Both bitmaps are put back out of the DCs before the image list takes them.
        Selection colour(colourDC.Get(), bitmap), monochrome(maskDC.Get(), mask.Get());
        // Colour to monochrome: pixels of the background colour become 1 (transparent).
        SetBkColor(colourDC.Get(), ThumbnailMaskColour);
        BitBlt(maskDC.Get(), 0, 0, side, side, colourDC.Get(), 0, 0, SRCCOPY);
        // Monochrome to colour maps 1 to the background colour: white, so that
        // "destination and not source" turns the transparent pixels black.
        SetBkColor(colourDC.Get(), RGB(255, 255, 255));
        SetTextColor(colourDC.Get(), RGB(0, 0, 0));
        BitBlt(colourDC.Get(), 0, 0, side, side, maskDC.Get(), 0, 0, 0x00220326);
    }
    return ImageList_Replace(list, slot, bitmap, mask.Get());
}

// The mask is 1 bit a pixel in rows of whole words, all clear: nothing see-through.
ThumbnailWorkspace::ThumbnailWorkspace(int side)
    : side(side), pixels((size_t)side * side * 4), window_(MainWindow), memory_(window_.Get()),
      bitmap_(CreateCompatibleBitmap(window_.Get(), side, side)),
      opaqueMask_(CreateBitmap(side, side, 1, 1,
                               std::vector<WORD>((size_t)(side + 15) / 16 * side).data())),
      info_(ThumbnailBits(side))
{
}

bool ThumbnailWorkspace::Ready() const
{
    return window_.Get() && memory_.Get() && bitmap_.Get() && opaqueMask_.Get();
}

bool ThumbnailWorkspace::Read(HIMAGELIST list, int slot)
{
    {
        // Pixels masked out by the list (pure red) are drawn as the view shows them,
        // white, rather than as whatever the memory bitmap held.
        Selection drawing(memory_.Get(), bitmap_.Get());
        if (!drawing.Made() || !PatBlt(memory_.Get(), 0, 0, side, side, WHITENESS) ||
            !ImageList_Draw(list, slot, memory_.Get(), 0, 0, ILD_NORMAL))
            return false;
    }  // the bitmap leaves the memory context for reading, writing and the image list
    if (GetDIBits(window_.Get(), bitmap_.Get(), 0, side, pixels.data(), &info_, DIB_RGB_COLORS) != side)
        return false;
    // Opaque everywhere, as a new thumbnail is: a list of 32-bit colour would take stray
    // alpha bytes left by the drawing as transparency.
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    return true;
}

bool ThumbnailWorkspace::Write(HIMAGELIST list, int slot)
{
    if (SetDIBits(window_.Get(), bitmap_.Get(), 0, side, pixels.data(), &info_, DIB_RGB_COLORS) != side)
        return false;
    return slot < 0 ? ImageList_Add(list, bitmap_.Get(), opaqueMask_.Get()) >= 0
                    : ImageList_Replace(list, slot, bitmap_.Get(), opaqueMask_.Get()) != FALSE;
}
