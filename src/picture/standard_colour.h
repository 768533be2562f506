// Brings any decoded picture to plain 8-bit-per-channel colour, the form every later
// step (scaling, pasting, JPEG encoding for the PDF) works on.
#pragma once
#include "picture/bitmap_owner.h"

// Returns a 24-bit picture. Transparent and partly transparent pixels (alpha channels,
// transparent palette colours) are blended over white, as on paper. 16-bit channels are reduced to 8 bits, float and HDR pictures are
// tone-mapped, palettised and grey pictures are expanded. The source is unloaded when a
// new bitmap replaces it (also when the conversion fails: then the result is null).
BitmapOwner ToStandardColour(BitmapOwner picture);
