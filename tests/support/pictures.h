// Pictures made at run time for the tests (native code, FreeImage): solid pictures with
// marks, their encoded bytes, pixels read back, and PNG screenshots.
// No FreeImage.h here: the UI tests include this beside windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FIBITMAP;
typedef std::vector<uint8_t> ByteVec;

struct Rgb {
    int r, g, b;
};
const Rgb White = {255, 255, 255}, Black = {0, 0, 0}, Red = {255, 0, 0}, Blue = {0, 0, 255};

// A 24-bit picture of one colour; FillRect paints a rectangle given from the top left.
FIBITMAP* MakeSolid(unsigned width, unsigned height, Rgb colour);
void FillRect(FIBITMAP* picture, int x, int yFromTop, int w, int h, Rgb colour);
// The colour at (x, y) of a 24-bit picture, y counted from the top row.
Rgb PixelAt(FIBITMAP* picture, int x, int yFromTop);
// The same for 96 x 96 thumbnail pixels (BGRA, rows bottom-up).
Rgb ThumbPixel(const uint8_t* bgra, int x, int yFromTop);
bool Near(Rgb a, Rgb b, int tolerance = 24);

// Encodes with FreeImage_SaveToMemory (format: a FREE_IMAGE_FORMAT; empty on failure)
// and unloads the picture.
ByteVec EncodeAndUnload(FIBITMAP* picture, int format, int flags = 0);

// A width x height picture file's bytes, filled with (r, g, b) with a black square of a
// quarter of the shorter side in its top-left corner. format: "png", "jpg", "bmp", "gif".
ByteVec MakeTestImageBytes(int width, int height, const char* format, uint8_t r = 40,
                           uint8_t g = 120, uint8_t b = 200);

// A JPEG with an EXIF block holding only the Orientation tag.
ByteVec WithExifOrientation(const ByteVec& jpeg, int orientation);

// Files that crash, hang or exhaust FreeImage 3.18 (`does`: what they did to it, in this
// program's own process before), made here or read from dataDir/hostile. coreRefuses: the
// core turns it away before FreeImage reads it; the others only a decoder process survives.
struct HostileFile {
    const char* name;
    std::string bytes;
    const char* does;
    bool coreRefuses;
};
std::vector<HostileFile> HostileFiles(const std::string& dataDir);

// A 24-bit picture (the caller unloads) of width x height BGRA pixels (rows bottom-up, as
// in a 32-bit DIB), and the same saved as a PNG at a Linux path.
FIBITMAP* FromBgra(const uint8_t* bgra, int width, int height);
bool SavePngBgra(const char* unixPath, const uint8_t* bgra, int width, int height);

// Peak resident memory of this process so far, in kilobytes.
long PeakMemoryKb();
