// Decoding image files from memory with FreeImage. Portable: the Win32 layer reads the
// file's bytes and hands them over, since paths are Windows paths under Wine.
#pragma once
#include <cstddef>
#include <cstdint>

struct FIBITMAP;  // FreeImage's bitmap; only core files include FreeImage.h

// Decodes a whole image file held in memory. The format comes from the content first,
// then from fileName's extension. The picture is returned upright (EXIF orientation
// applied) as standard 8-bit-per-channel colour. Pictures above MaxImagePixels are
// refused from their header before any pixel is decoded (KOALA and PICT, which have no
// fixed header size, right after decoding). Returns a bitmap the caller
// releases with FreeImage_Unload, or null when the bytes are not a readable picture.
FIBITMAP* LoadImageFromMemory(const uint8_t* data, size_t size, const char* fileName);

// Largest picture accepted, in pixels (width x height).
extern const unsigned long long MaxImagePixels;

// LoadImageFromMemory without the final turn: the picture as stored, in standard 8-bit
// colour, and its EXIF orientation (1..8, 1 when absent or invalid). Lets the thumbnail
// maker turn the small scaled picture instead of the full one.
FIBITMAP* DecodeImageFromMemory(const uint8_t* data, size_t size, const char* fileName,
                                int* orientation);

// Applies an entry's flips (value 1 left-right, then value 2 top-bottom, in place) and
// then its rotation (degrees counter-clockwise: 0, 90, 180, 270). Returns the picture to
// use: a turned copy replaces and unloads the source; when the turn fails the flipped,
// unturned picture is returned.
FIBITMAP* OrientForEntry(FIBITMAP* picture, int flips, int rotation);
