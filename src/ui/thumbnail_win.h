// Thumbnails as device-dependent bitmaps for the thumbnail image list.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/owners_win.h"
#include "ui/globals_win.h"

struct ThumbnailPixels;

// The thumbnail pixels as a bitmap compatible with window's device context (the pixels'
// fourth bytes are cleared on the way); none when no bitmap could be made.
ScopedBitmap ThumbnailBitmap(HWND window, ThumbnailPixels* pixels);

// Pure red: the thumbnail image list's transparent colour.
const COLORREF ThumbnailMaskColour = RGB(255, 0, 0);

// Writes a thumbnail into an existing slot of the (masked) thumbnail image list with the
// same transparency that ImageList_AddMasked gives a new one: without a mask of its own
// the slot would keep the transparent areas of the picture that was there before.
// Blackens the bitmap's pure-red pixels on the way, as ImageList_AddMasked does.
BOOL ReplaceThumbnail(HIMAGELIST list, int slot, HBITMAP bitmap);

// The side of the thumbnails the list holds.
int ImageListSide(HIMAGELIST list);

// A thumbnail's picture rectangle on a thumbnail of side `from` scaled to side `to`.
PictureRect RectOnSide(const PictureRect& r, int from, int to);
// Scales the thumbnail to side x side when it has another side (the window's DPI changed
// while it was made).
void FitThumbnail(ThumbnailPixels* pixels, int side);

// Reads thumbnails out of an image list as the list view shows them, and writes them
// back, for the pixel work of the core (turning, scaling). Made once for many thumbnails
// of one side.
class ThumbnailWorkspace {
public:
    explicit ThumbnailWorkspace(int side);
    bool Ready() const;
    // The slot's thumbnail as drawn on white into pixels: 32 bits, rows bottom-up, opaque.
    bool Read(HIMAGELIST list, int slot);
    // pixels into the slot, or appended for a slot of -1. Opaque everywhere: the pixels
    // show the see-through parts as the view does, on white.
    bool Write(HIMAGELIST list, int slot);
    const int side;
    std::vector<uint8_t> pixels;

private:
    WindowDC window_;
    MemoryDC memory_;
    ScopedBitmap bitmap_, opaqueMask_;
    BITMAPINFO info_;
};
