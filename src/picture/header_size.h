// Picture size read straight from the header bytes, for the formats whose FreeImage
// reader cannot load a header without its pixels. Lets the loader refuse a picture
// whose header claims a huge size before FreeImage allocates memory for it.
#pragma once
#include <cstddef>
#include <cstdint>

enum HeaderSizeResult {
    HeaderSizeNoReader,  // no header reader for this format: decode, then check the size
    HeaderSizeFound,     // *width and *height hold the size the decoder will allocate
    HeaderSizeBroken,    // the header is cut short or malformed: the decoder would fail
};

// format is a FREE_IMAGE_FORMAT value (kept as int so this header needs no FreeImage.h).
HeaderSizeResult ReadHeaderSize(int format, const uint8_t* data, size_t size,
                                uint64_t* width, uint64_t* height);

// The most bits a pixel that FreeImage's reader of the format allocates (32 for formats
// without a header reader here).
unsigned DecodedBitsPerPixel(int format);
