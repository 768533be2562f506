// Thumbnails as the thumbnail image list holds them: one CreateDIBitmap turns the
// decoder's pixels into a bitmap.
#include "ui/thumbnail_win.h"

#include "picture/thumbnail.h"

ScopedBitmap ThumbnailBitmap(HWND window, ThumbnailPixels* pixels)
{
    // The fourth byte of a 32-bit BI_RGB pixel is reserved and must be 0. Left at 255 it
    // stays in the bitmap, and the image list (under Wine) then no longer finds pure red
    // for its mask.
    for (int i = 0; i < ThumbnailSize * ThumbnailSize; i++) pixels->bgra[i * 4 + 3] = 0;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ThumbnailSize;
    info.bmiHeader.biHeight = ThumbnailSize;  // positive: bottom-up rows, as the core gives
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    WindowDC dc(window);
    if (!dc.Get()) return ScopedBitmap();
    return ScopedBitmap(CreateDIBitmap(dc.Get(), &info.bmiHeader, CBM_INIT, pixels->bgra,
                                       &info, DIB_RGB_COLORS));
}

BOOL ReplaceThumbnail(HIMAGELIST list, int slot, HBITMAP bitmap)
{
    MemoryDC colourDC(NULL), maskDC(NULL);
    ScopedBitmap mask(CreateBitmap(ThumbnailSize, ThumbnailSize, 1, 1, NULL));
    if (!colourDC.Get() || !maskDC.Get() || !mask.Get()) return FALSE;
    {
        // Both bitmaps are put back out of the DCs before the image list takes them.
        Selection colour(colourDC.Get(), bitmap), monochrome(maskDC.Get(), mask.Get());
        // Colour to monochrome: pixels of the background colour become 1 (transparent).
        SetBkColor(colourDC.Get(), ThumbnailMaskColour);
        BitBlt(maskDC.Get(), 0, 0, ThumbnailSize, ThumbnailSize, colourDC.Get(), 0, 0, SRCCOPY);
        // Monochrome to colour maps 1 to the background colour: white, so that
        // "destination and not source" turns the transparent pixels black.
        SetBkColor(colourDC.Get(), RGB(255, 255, 255));
        SetTextColor(colourDC.Get(), RGB(0, 0, 0));
        BitBlt(colourDC.Get(), 0, 0, ThumbnailSize, ThumbnailSize, maskDC.Get(), 0, 0, 0x00220326);
    }
    return ImageList_Replace(list, slot, bitmap, mask.Get());
}
