// Pictures made at run time for the image tests: FreeImage bitmaps, their encoded
// bytes, and hand-made headers.
#pragma once
#include <FreeImage.h>

#include <cstdint>
#include <vector>

typedef std::vector<uint8_t> ByteVec;

struct Rgb {
    int r, g, b;
};
const Rgb White = {255, 255, 255};
const Rgb Red = {255, 0, 0};
const Rgb Blue = {0, 0, 255};

// A 24-bit picture of one colour.
FIBITMAP* MakeSolid(unsigned width, unsigned height, Rgb colour);
// Sets a rectangle given from the top-left corner (y counts down from the top row).
void FillRect(FIBITMAP* picture, int x, int yFromTop, int w, int h, Rgb colour);
// The colour at (x, y), y counted from the top row; works for 24 and 32 bits.
Rgb PixelAt(FIBITMAP* picture, int x, int yFromTop);
// Encodes to a file's bytes with FreeImage_SaveToMemory; empty on failure.
ByteVec Encode(FIBITMAP* picture, FREE_IMAGE_FORMAT format, int flags = 0);
// Encodes and unloads.
ByteVec EncodeAndUnload(FIBITMAP* picture, FREE_IMAGE_FORMAT format, int flags = 0);
// Within tolerance per channel (JPEG is lossy).
bool Near(Rgb a, Rgb b, int tolerance = 24);

// The thumbnail pixel at (x, y), y counted from the top of the 96 x 96 square.
Rgb ThumbPixel(const uint8_t* bgra, int x, int yFromTop);
void SetThumbPixel(uint8_t* bgra, int x, int yFromTop, Rgb colour);

// A JPEG with an EXIF block (APP1, little-endian TIFF, IFD0 holding only the
// Orientation tag) inserted after the start-of-image marker.
ByteVec WithExifOrientation(const ByteVec& jpeg, int orientation);

// Peak resident memory of this process so far, in kilobytes.
long PeakMemoryKb();
