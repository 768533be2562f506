// Colour JPEGs decoded straight through libjpeg from the bytes in place: FreeImage's
// reader takes them through a small buffer (so libjpeg leaves its fast path whenever the
// buffer runs low) and swaps red and blue afterwards.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picture/bitmap_owner.h"

// A three-component (YCbCr or RGB) JPEG reduced by 1/reduction (1, 2, 4 or 8) while
// decoding, as a 24-bit bitmap: the pixels FreeImage's reader gives with JPEG_DEFAULT
// (the fast integer transform, chroma not smoothed). Null for other JPEGs and when the
// decode fails; FreeImage's reader is then the one to ask.
BitmapOwner DecodeColourJpeg(const uint8_t* data, size_t size, unsigned reduction);
