// HEIF and AVIF pictures, as phones save their photos (an HEVC or AV1 picture in a HEIF
// file), read with libheif: decoders only, no encoder. Portable and without FreeImage;
// no libheif header here.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picture/heif_owner.h"

// True when the bytes begin as a HEIF or AVIF file.
bool IsHeif(const uint8_t* data, size_t size);

// Decoded pixels: 8 bits a channel, red first, rows from the top.
struct HeifPixels {
    unsigned width = 0, height = 0, channels = 0;  // 3, or 4 with alpha
    const uint8_t* rows = nullptr;
    size_t stride = 0;
    HeifImageOwner image;  // holds the pixels
};

class HeifPicture {
public:
    // libheif reads the file's boxes (not its pictures); false when it cannot. The bytes
    // must stay until Decode. The sizes the file declares are checked before this
    // (ReadHeifSizes), since libheif bounds only each side.
    bool Open(const uint8_t* data, size_t size);
    // The primary picture's size as it will be decoded: turned, mirrored and cropped as
    // the file's own boxes say (irot, imir, clap).
    unsigned Width() const { return width_; }
    unsigned Height() const { return height_; }
    // The primary picture, turned, mirrored and cropped as its boxes say; 10- and 12-bit
    // pictures come down to 8 bits. With minWidth x minHeight not 0 x 0, the smallest
    // embedded thumbnail of the picture's shape that keeps at least that many pixels
    // stands in for it. False when it cannot be decoded.
    bool Decode(unsigned minWidth, unsigned minHeight, HeifPixels* out);

private:
    HeifHandleOwner ThumbnailOfAtLeast(unsigned minWidth, unsigned minHeight) const;

    HeifContextOwner context_;
    HeifHandleOwner primary_;
    unsigned width_ = 0, height_ = 0;
};
