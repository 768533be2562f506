// The EXIF Orientation tag (1..8) read straight from a file's bytes.
#pragma once
#include <cstddef>
#include <cstdint>

// The Orientation value of a file's bytes: from a JPEG's Exif block (APP1) or a TIFF's
// first directory. 1..8, or 1 (as stored) when the tag is missing, holds any other value
// or the block is malformed. Reads only inside [data, data + size).
int ExifOrientationFromBytes(const uint8_t* data, size_t size);

// The Orientation value of a TIFF structure ("II*\0" or "MM\0*" and its first directory).
int TiffOrientation(const uint8_t* tiff, size_t size);
