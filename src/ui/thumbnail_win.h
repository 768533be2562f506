// Thumbnails as device-dependent bitmaps for the thumbnail image list.
#pragma once
#include "platform/owners_win.h"
#include "ui/globals_win.h"

// The thumbnail pixels as a bitmap compatible with window's device context (the pixels'
// fourth bytes are cleared on the way); none when no bitmap could be made.
struct ThumbnailPixels;
ScopedBitmap ThumbnailBitmap(HWND window, ThumbnailPixels* pixels);

// Pure red: the thumbnail image list's transparent colour.
const COLORREF ThumbnailMaskColour = RGB(255, 0, 0);

// Writes a thumbnail into an existing slot of the (masked) thumbnail image list with the
// same transparency that ImageList_AddMasked gives a new one: without a mask of its own
// the slot would keep the transparent areas of the picture that was there before.
// Blackens the bitmap's pure-red pixels on the way, as ImageList_AddMasked does.
BOOL ReplaceThumbnail(HIMAGELIST list, int slot, HBITMAP bitmap);
