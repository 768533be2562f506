// The 96 x 96 thumbnail of a picture: pixel work only, portable.
#pragma once
#include <cstddef>
#include <cstdint>

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

enum TransformMode { FlipLeftRight = 1, FlipTopBottom = 2, RotateClockwise = 3, RotateCounterClockwise = 4 };
