// Decoding image files from memory with FreeImage. Portable: the Win32 layer reads the
// file's bytes and hands them over, since paths are Windows paths under Wine.
#pragma once
#include <cstddef>
#include <cstdint>

#include "picture/bitmap_owner.h"  // FreeImage's bitmap; only core files include FreeImage.h

// Decodes a whole image file held in memory. The format comes from the content first,
// then from fileName's extension. The picture is returned upright (EXIF orientation
// applied) as standard 8-bit-per-channel colour. Pictures above MaxImagePixels
// (model/product.h) are refused from their header before any pixel is decoded (KOALA and
// PICT, which have no fixed header size, right after decoding). Returns a bitmap the caller
// releases with FreeImage_Unload, or null when the bytes are not a readable picture.
FIBITMAP* LoadImageFromMemory(const uint8_t* data, size_t size, const char* fileName);

// The picture's stored size and EXIF orientation. A camera raw file is the exception:
// LibRaw turns it upright while decoding, so its size is given turned and its
// orientation as 1.
struct PictureHeader {
    unsigned width, height;  // as stored, before the EXIF turn
    int orientation;         // 1..8, 1 when absent or invalid
};

// LoadImageFromMemory without the final turn: the picture as stored, in standard 8-bit
// colour, and its header (the full size also when decoded smaller). Lets the thumbnail
// maker turn the small scaled picture instead of the full one. A JPEG is decoded at 1/2,
// 1/4 or 1/8 of its size (libjpeg reduces while decoding, far cheaper than a full decode
// and a resample) as long as it keeps at least minWidth x minHeight pixels as stored;
// 0 x 0 asks for the full size.
FIBITMAP* DecodeImageFromMemory(const uint8_t* data, size_t size, const char* fileName,
                                PictureHeader* header, unsigned minWidth = 0,
                                unsigned minHeight = 0);

// The header alone: read by FreeImage without the pixels, or from the header bytes (a
// full decode for the few formats with neither, such as KOALA). False when the bytes are
// not a picture the loader accepts. Goes the same guarded way as the decode. A camera raw
// file's turned size is a guess here (LibRaw may find its orientation elsewhere than
// the tag read here): its decode's header is the exact one.
bool ReadPictureHeader(const uint8_t* data, size_t size, const char* fileName,
                       PictureHeader* out);

// Applies an entry's flips (value 1 left-right, then value 2 top-bottom, in place) and
// then its rotation (degrees counter-clockwise: 0, 90, 180, 270). Returns the picture to
// use: a turned copy replaces and unloads the source; when the turn fails the flipped,
// unturned picture is returned.
BitmapOwner OrientForEntry(BitmapOwner picture, int flips, int rotation);
