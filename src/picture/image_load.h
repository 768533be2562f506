// Decoding picture files held in memory with FreeImage, guarded. Portable: the Win32
// layer hands over the file's bytes, since paths are Windows paths under Wine.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "picture/bitmap_owner.h"  // FreeImage's bitmap; only core files include FreeImage.h

// The picture's stored size and EXIF orientation. A camera raw file is the exception:
// LibRaw turns it upright while decoding, so its size is given turned and its
// orientation as 1.
struct PictureHeader {
    unsigned width = 0, height = 0;  // as stored, before the EXIF turn
    int orientation = 1;             // 1..8, 1 when absent or invalid
};

// One picture file on its way through FreeImage (or libheif, for HEIF and AVIF files):
// the header read once, then the pixels decoded from what the header read found. The
// format comes from the content first, then from the file name's extension. Pictures
// above MaxImagePixels (model/product.h) are refused from their header before any pixel
// is decoded (KOALA and the formats with no fixed header size right after decoding);
// what FreeImage reads unsafely never reaches it (PICT, unbounded OpenEXR headers, a
// JPEG's metadata blocks).
class PictureFile {
public:
    PictureFile();
    ~PictureFile();

    // Finds the format, checks the header and reads the stored size and the camera
    // orientation. False when the bytes are not a picture the loader accepts. The bytes
    // must stay until DecodeAsStored.
    bool ReadHeader(const uint8_t* data, size_t size, const char* fileName);
    // ReadHeader's header, and after DecodeAsStored the decode's own: a camera raw file's
    // turned size is a guess until then (LibRaw may find its orientation elsewhere than
    // the tag read here).
    const PictureHeader& Header() const { return header_; }
    // The picture as stored (the EXIF turn not applied) in standard 8-bit colour. A JPEG
    // is decoded at 1/2, 1/4 or 1/8 of its size (libjpeg reduces while decoding, far
    // cheaper than a full decode and a resample) as long as it keeps at least minWidth x
    // minHeight pixels as stored; 0 x 0 asks for the full size. With thumbnailWillDo, a
    // HEIF file's embedded thumbnail of at least that size stands in for the picture (a
    // separate, smaller encoding: for list thumbnails, not page pictures). Null when the
    // picture cannot be decoded. Once a file; the file's bytes are let go afterwards.
    BitmapOwner DecodeAsStored(unsigned minWidth = 0, unsigned minHeight = 0,
                               bool thumbnailWillDo = false);

private:
    struct Reading;
    std::unique_ptr<Reading> reading_;
    PictureHeader header_;
};

// Applies an entry's flips (value 1 left-right, then value 2 top-bottom, in place) and
// then its rotation (degrees counter-clockwise: 0, 90, 180, 270). Returns the picture to
// use: a turned copy replaces and unloads the source; when the turn fails the flipped,
// unturned picture is returned.
BitmapOwner OrientForEntry(BitmapOwner picture, int flips, int rotation);
