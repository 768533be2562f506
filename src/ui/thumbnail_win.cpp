// The thumbnail maker's Win32 half: one read of the file, the portable core does the
// decoding and scaling, and one CreateDIBitmap turns the pixels into a bitmap.
#include "ui/thumbnail_win.h"

#include <memory>
#include <new>

#include "platform/file_io_win.h"
#include "picture/thumbnail.h"

HBITMAP MakeThumbnail(HWND window, const char* path, PictureRect* pictureRect)
{
    if (!path || !path[0] || lstrlenA(path) > MaxPathBytes - 1) return NULL;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes) || bytes.empty()) return NULL;

    // 36 KB of pixels: on the heap rather than on the stack of a nested message handler.
    std::unique_ptr<ThumbnailPixels> pixels(new (std::nothrow) ThumbnailPixels);
    if (!pixels) return NULL;
    if (!MakeThumbnailPixels(bytes.data(), bytes.size(), path, pixels.get())) return NULL;
    bytes.clear();
    bytes.shrink_to_fit();  // the file's bytes are not needed while the bitmap is made

    PictureRect rect = pixels->pictureRect;
    HBITMAP bitmap = ThumbnailBitmap(window, pixels.get());
    if (bitmap) *pictureRect = rect;
    return bitmap;
}

HBITMAP ThumbnailBitmap(HWND window, ThumbnailPixels* pixels)
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

    HDC dc = GetDC(window);
    if (!dc) return NULL;
    HBITMAP bitmap = CreateDIBitmap(dc, &info.bmiHeader, CBM_INIT, pixels->bgra, &info,
                                    DIB_RGB_COLORS);
    ReleaseDC(window, dc);
    return bitmap;
}

BOOL ReplaceThumbnail(HIMAGELIST list, int slot, HBITMAP bitmap)
{
    HDC colourDC = CreateCompatibleDC(NULL);
    HDC maskDC = CreateCompatibleDC(NULL);
    HBITMAP mask = CreateBitmap(ThumbnailSize, ThumbnailSize, 1, 1, NULL);
    BOOL done = FALSE;
    if (colourDC && maskDC && mask) {
        HGDIOBJ oldColour = SelectObject(colourDC, bitmap);
        HGDIOBJ oldMask = SelectObject(maskDC, mask);
        // Colour to monochrome: pixels of the background colour become 1 (transparent).
        SetBkColor(colourDC, ThumbnailMaskColour);
        BitBlt(maskDC, 0, 0, ThumbnailSize, ThumbnailSize, colourDC, 0, 0, SRCCOPY);
        // Monochrome to colour maps 1 to the background colour: white, so that
        // "destination and not source" turns the transparent pixels black.
        SetBkColor(colourDC, RGB(255, 255, 255));
        SetTextColor(colourDC, RGB(0, 0, 0));
        BitBlt(colourDC, 0, 0, ThumbnailSize, ThumbnailSize, maskDC, 0, 0, 0x00220326);
        SelectObject(maskDC, oldMask);
        SelectObject(colourDC, oldColour);  // the image list selects the bitmaps itself
        done = ImageList_Replace(list, slot, bitmap, mask);
    }
    if (mask) DeleteObject(mask);
    if (maskDC) DeleteDC(maskDC);
    if (colourDC) DeleteDC(colourDC);
    return done;
}
