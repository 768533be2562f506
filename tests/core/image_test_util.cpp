#include "core/image_test_util.h"

#include <sys/resource.h>

#include <cstdlib>
#include <cstring>

FIBITMAP* MakeSolid(unsigned width, unsigned height, Rgb colour)
{
    FIBITMAP* picture = FreeImage_Allocate(width, height, 24);
    FillRect(picture, 0, 0, width, height, colour);
    return picture;
}

void FillRect(FIBITMAP* picture, int x, int yFromTop, int w, int h, Rgb colour)
{
    int height = FreeImage_GetHeight(picture);
    unsigned bytes = FreeImage_GetBPP(picture) / 8;
    for (int y = yFromTop; y < yFromTop + h; y++) {
        BYTE* line = FreeImage_GetScanLine(picture, height - 1 - y);
        for (int i = x; i < x + w; i++) {
            line[i * bytes + FI_RGBA_RED] = (BYTE)colour.r;
            line[i * bytes + FI_RGBA_GREEN] = (BYTE)colour.g;
            line[i * bytes + FI_RGBA_BLUE] = (BYTE)colour.b;
            if (bytes == 4) line[i * bytes + FI_RGBA_ALPHA] = 255;
        }
    }
}

Rgb PixelAt(FIBITMAP* picture, int x, int yFromTop)
{
    unsigned bytes = FreeImage_GetBPP(picture) / 8;
    const BYTE* line = FreeImage_GetScanLine(picture, FreeImage_GetHeight(picture) - 1 - yFromTop);
    const BYTE* p = line + x * bytes;
    return Rgb{p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]};
}

ByteVec Encode(FIBITMAP* picture, FREE_IMAGE_FORMAT format, int flags)
{
    ByteVec bytes;
    FIMEMORY* stream = FreeImage_OpenMemory();
    if (FreeImage_SaveToMemory(format, picture, stream, flags)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        FreeImage_AcquireMemory(stream, &data, &size);
        bytes.assign(data, data + size);
    }
    FreeImage_CloseMemory(stream);
    return bytes;
}

ByteVec EncodeAndUnload(FIBITMAP* picture, FREE_IMAGE_FORMAT format, int flags)
{
    ByteVec bytes = Encode(picture, format, flags);
    FreeImage_Unload(picture);
    return bytes;
}

bool Near(Rgb a, Rgb b, int tolerance)
{
    return abs(a.r - b.r) <= tolerance && abs(a.g - b.g) <= tolerance &&
           abs(a.b - b.b) <= tolerance;
}

Rgb ThumbPixel(const uint8_t* bgra, int x, int yFromTop)
{
    const uint8_t* p = bgra + ((95 - yFromTop) * 96 + x) * 4;
    return Rgb{p[2], p[1], p[0]};
}

void SetThumbPixel(uint8_t* bgra, int x, int yFromTop, Rgb colour)
{
    uint8_t* p = bgra + ((95 - yFromTop) * 96 + x) * 4;
    p[0] = (uint8_t)colour.b;
    p[1] = (uint8_t)colour.g;
    p[2] = (uint8_t)colour.r;
    p[3] = 255;
}

ByteVec WithExifOrientation(const ByteVec& jpeg, int orientation)
{
    const uint8_t tiff[] = {
        'I', 'I', 42, 0, 8, 0, 0, 0,                  // little-endian, IFD0 at offset 8
        1, 0,                                         // one entry
        0x12, 0x01, 3, 0, 1, 0, 0, 0,                 // Orientation, SHORT, count 1
        (uint8_t)orientation, (uint8_t)(orientation >> 8), 0, 0,
        0, 0, 0, 0,                                   // no next IFD
    };
    ByteVec app1 = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff, tiff + sizeof tiff);
    size_t length = app1.size() - 2;  // the length field counts itself, not the marker
    app1[2] = (uint8_t)(length >> 8);
    app1[3] = (uint8_t)length;
    ByteVec out(jpeg.begin(), jpeg.begin() + 2);  // FF D8
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

long PeakMemoryKb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
