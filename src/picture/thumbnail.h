// The square thumbnail of a picture (96 x 96 at 100 %): pixel work only, portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/transform_rules.h"
#include "model/collection.h"

struct ThumbnailPixels {
    int side = ThumbnailSize;  // width and height in pixels
    // side x side pixels, 4 bytes each (blue, green, red, alpha), rows bottom-up as in a
    // Windows DIB; white around the picture.
    std::vector<uint8_t> bgra;
    PictureRect pictureRect;  // where the scaled picture lies in the square
};

// Decodes the file's bytes and makes its thumbnail, side x side pixels (MinThumbnailSide
// to MaxThumbnailSide). False when the bytes are not a readable picture.
bool MakeThumbnailPixels(const uint8_t* data, size_t size, const char* fileName,
                         ThumbnailPixels* out, int side = ThumbnailSize);

// The scaled size of a width x height picture: side on the longer side, the other side
// truncated from (side / longer) * shorter and kept at least 1 pixel.
void ThumbnailScaledSize(unsigned width, unsigned height, int* scaledWidth, int* scaledHeight,
                         int side = ThumbnailSize);

// Turns or mirrors a whole side x side thumbnail in place (bgra as in ThumbnailPixels),
// the white border with it. False when FreeImage fails; then the pixels are unchanged.
bool TransformThumbnailPixels(uint8_t* bgra, TransformMode mode, int side = ThumbnailSize);
