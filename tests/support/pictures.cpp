#include "support/pictures.h"

#include <FreeImage.h>
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

FIBITMAP* MakeSolid(unsigned width, unsigned height, Rgb colour)
{
    FIBITMAP* picture = FreeImage_Allocate(width, height, 24);
    RGBQUAD fill = {(BYTE)colour.b, (BYTE)colour.g, (BYTE)colour.r, 0};
    if (picture) FreeImage_FillBackground(picture, &fill);
    return picture;
}

void FillRect(FIBITMAP* picture, int x, int yFromTop, int w, int h, Rgb colour)
{
    FIBITMAP* block = MakeSolid(w, h, colour);
    FreeImage_Paste(picture, block, x, yFromTop, 256);
    FreeImage_Unload(block);
}

Rgb PixelAt(FIBITMAP* picture, int x, int yFromTop)
{
    const BYTE* p = FreeImage_GetScanLine(picture, FreeImage_GetHeight(picture) - 1 - yFromTop) + x * 3;
    return Rgb{p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]};
}

Rgb ThumbPixel(const uint8_t* bgra, int x, int yFromTop)
{
    const uint8_t* p = bgra + ((95 - yFromTop) * 96 + x) * 4;
    return Rgb{p[2], p[1], p[0]};
}

bool Near(Rgb a, Rgb b, int tolerance)
{
    return abs(a.r - b.r) <= tolerance && abs(a.g - b.g) <= tolerance &&
           abs(a.b - b.b) <= tolerance;
}

ByteVec EncodeAndUnload(FIBITMAP* picture, int format, int flags)
{
    ByteVec bytes;
    FIMEMORY* stream = FreeImage_OpenMemory();
    BYTE* data = nullptr;
    DWORD size = 0;
    if (picture && FreeImage_SaveToMemory((FREE_IMAGE_FORMAT)format, picture, stream, flags) &&
        FreeImage_AcquireMemory(stream, &data, &size))
        bytes.assign(data, data + size);
    FreeImage_CloseMemory(stream);
    if (picture) FreeImage_Unload(picture);
    return bytes;
}

ByteVec MakeTestImageBytes(int width, int height, const char* format, uint8_t r, uint8_t g,
                           uint8_t b)
{
    FIBITMAP* picture = MakeSolid(width, height, Rgb{r, g, b});
    int mark = (width < height ? width : height) / 4;
    FillRect(picture, 0, 0, mark, mark, Black);
    if (strcmp(format, "gif") == 0) {
        FIBITMAP* quantized = FreeImage_ColorQuantize(picture, FIQ_WUQUANT);
        FreeImage_Unload(picture);
        return EncodeAndUnload(quantized, FIF_GIF);
    }
    FREE_IMAGE_FORMAT fif = strcmp(format, "jpg") == 0   ? FIF_JPEG
                            : strcmp(format, "bmp") == 0 ? FIF_BMP
                                                         : FIF_PNG;
    return EncodeAndUnload(picture, fif);
}

ByteVec WithExifOrientation(const ByteVec& jpeg, int orientation)
{
    const uint8_t tiff[] = {
        'I', 'I', 42, 0, 8, 0, 0, 0,   // little-endian, IFD0 at offset 8
        1, 0,                          // one entry: Orientation, SHORT, count 1
        0x12, 0x01, 3, 0, 1, 0, 0, 0, (uint8_t)orientation, 0, 0, 0,
        0, 0, 0, 0,                    // no next IFD
    };
    ByteVec app1 = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff, tiff + sizeof tiff);
    app1[3] = (uint8_t)(app1.size() - 2);  // the length counts itself, not the marker
    ByteVec out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

std::vector<HostileFile> HostileFiles(const std::string& dataDir)
{
    auto stored = [&](const char* name) {
        std::ifstream in(dataDir + "/hostile/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // A BMHD and no BODY, in a FORM whose size never runs out: FreeImage looks for the
    // BODY for ever.
    const std::string endlessIff("FORM\0\0\0\x21ILBMBMHD\0\0\0\x14"
                                 "\0\x02\0\x02\0\0\0\0\x08\0\0\0\0\0\x01\x01\0\x02\0\x02", 40);
    return {
        {"A-xpm-sprintf-stack-overflow.xpm", stored("A-xpm-sprintf-stack-overflow.xpm"), "crash", false},
        {"J-psd-rle-overflow.psd", stored("J-psd-rle-overflow.psd"), "crash", false},
        {"C-exr-bigalloc.exr", stored("C-exr-bigalloc.exr"), "endless header read", true},
        {"M-openexr-bigalloc.exr", stored("M-openexr-bigalloc.exr"), "5.2 GB", true},
        {"one.pct", std::string(1, '\0'), "endless loop", true},
        {"cut.xbm", "#define c_width 64\n#define c_height 64\nstatic char c_bits[] = {\n0x01,",
         "endless loop", true},
        // The comment once gave the size; FreeImage reads the defines.
        {"huge.xbm", "/* c_width 8 c_height 8 */\n#define c_width 200000\n#define c_height 200000\n"
                     "static char c_bits[] = {\n0x01, 0x02 };\n", "5 GB", true},
        {"endless.iff", endlessIff, "hangs", false},
        {"ext.wbmp", std::string("\x00\x80\x80\x80\x80", 5), "endless loop", true},
    };
}

FIBITMAP* FromBgra(const uint8_t* bgra, int width, int height)
{
    FIBITMAP* image = FreeImage_ConvertFromRawBits((BYTE*)bgra, width, height, width * 4, 32,
                                                   FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                                   FI_RGBA_BLUE_MASK, FALSE);
    FIBITMAP* rgb = image ? FreeImage_ConvertTo24Bits(image) : nullptr;
    if (image) FreeImage_Unload(image);
    return rgb;
}

bool SavePngBgra(const char* unixPath, const uint8_t* bgra, int width, int height)
{
    FIBITMAP* rgb = FromBgra(bgra, width, height);
    bool ok = rgb && FreeImage_Save(FIF_PNG, rgb, unixPath, PNG_DEFAULT);
    if (rgb) FreeImage_Unload(rgb);
    return ok;
}

long PeakMemoryKb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
