// Shrinking a picture by averaging: each new pixel is the mean of the source area under
// it, a source pixel that lies partly under it counting by the part. From a JPEG decoded
// reduced (each pixel the mean of a block) this gives the full-size picture's box filter
// far more closely than a box filter of the reduced pixels would.
#pragma once
#include "picture/bitmap_owner.h"

// A 24-bit picture at width x height; another depth is handed to FreeImage's box filter.
// Null when there is no memory.
BitmapOwner ResizeByArea(FIBITMAP* picture, unsigned width, unsigned height);
