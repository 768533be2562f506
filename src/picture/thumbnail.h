// The 96 x 96 thumbnail of a picture: pixel work only, portable.
#pragma once
#include <cstddef>
#include <cstdint>

#include "model/transform_rules.h"
#include "model/collection.h"

struct ThumbnailPixels {
    // 96 x 96 pixels, 4 bytes each (blue, green, red, alpha), rows bottom-up as in a
    // Windows DIB; white around the picture.
    uint8_t bgra[ThumbnailSize * ThumbnailSize * 4];
    PictureRect pictureRect;  // where the scaled picture lies in the square
};

// Decodes the file's bytes and makes its thumbnail. False when the bytes are not a
// readable picture.
bool MakeThumbnailPixels(const uint8_t* data, size_t size, const char* fileName,
                         ThumbnailPixels* out);

// The scaled size of a width x height picture: 96 on the longer side, the other side
// truncated from (96.0 / longer) * shorter and kept at least 1 pixel.
void ThumbnailScaledSize(unsigned width, unsigned height, int* scaledWidth, int* scaledHeight);

// Turns or mirrors a whole 96 x 96 thumbnail in place (bgra as in ThumbnailPixels), the
// white border with it. False when FreeImage fails; then the pixels are unchanged.
bool TransformThumbnailPixels(uint8_t* bgra, TransformMode mode);
