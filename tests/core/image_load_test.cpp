// Decoding picture files: what is not a picture, cut files, hostile headers, camera
// orientation, and the thumbnail made from them.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <string>

#include <cstring>
#include "import/header_size.h"
#include "import/image_load.h"
#include "import/thumbnail.h"
#include "support/pictures.h"

namespace {

FIBITMAP* Load(const ByteVec& bytes, const char* name = "C:\\pics\\a.jpg")
{
    return LoadImageFromMemory(bytes.data(), bytes.size(), name);
}

bool Loads(const ByteVec& bytes, const char* name = "C:\\pics\\a.jpg")
{
    FIBITMAP* picture = Load(bytes, name);
    if (picture) FreeImage_Unload(picture);
    return picture != nullptr;
}

uint32_t Crc32(const uint8_t* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBe32(uint8_t* p, uint32_t v)
{
    p[0] = (uint8_t)(v >> 24), p[1] = (uint8_t)(v >> 16), p[2] = (uint8_t)(v >> 8), p[3] = (uint8_t)v;
}

// Real files whose headers claim another size (the PNG's CRC corrected).
ByteVec PngClaiming(uint32_t width, uint32_t height)
{
    ByteVec png = EncodeAndUnload(MakeSolid(8, 8, Blue), FIF_PNG);
    PutBe32(&png[16], width);
    PutBe32(&png[20], height);
    PutBe32(&png[29], Crc32(&png[12], 17));
    return png;
}

ByteVec JpegClaiming(unsigned width, unsigned height)
{
    ByteVec jpeg = EncodeAndUnload(MakeSolid(8, 8, Blue), FIF_JPEG);
    for (size_t i = 2; i + 9 < jpeg.size(); i++)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = (uint8_t)(height >> 8), jpeg[i + 6] = (uint8_t)height;
            jpeg[i + 7] = (uint8_t)(width >> 8), jpeg[i + 8] = (uint8_t)width;
            break;
        }
    return jpeg;
}

ByteVec GifClaiming(unsigned width, unsigned height)
{
    ByteVec gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 255, 255, 255, 0, 0, 0,
                   0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
    gif[6] = gif[25] = (uint8_t)width, gif[7] = gif[26] = (uint8_t)(width >> 8);
    gif[8] = gif[27] = (uint8_t)height, gif[9] = gif[28] = (uint8_t)(height >> 8);
    return gif;
}

}  // namespace

TEST(ImageLoad, WhatIsNotAPictureOrIsCutShortIsRefusedWithoutACrash)
{
    std::string text = "This is a text file, not a photograph.\n";
    for (const char* name : {"notes.jpg", "notes.bmp", "notes.tga", "notes"})
        EXPECT_FALSE(Loads(ByteVec(text.begin(), text.end()), name)) << name;
    EXPECT_FALSE(LoadImageFromMemory(nullptr, 10, "empty.png"));
    EXPECT_TRUE(Loads(EncodeAndUnload(MakeSolid(30, 20, Red), FIF_JPEG), "a.png"))
        << "the content decides before the name";
    for (const char* format : {"jpg", "png", "bmp", "gif"}) {
        ByteVec whole = MakeTestImageBytes(64, 48, format);
        for (size_t cut : {(size_t)1, (size_t)8, (size_t)20, whole.size() / 2, whole.size() - 1}) {
            FIBITMAP* picture = Load(ByteVec(whole.begin(), whole.begin() + cut), "cut.img");
            if (!picture) continue;  // a partial picture must still have the full size
            EXPECT_EQ(64u, FreeImage_GetWidth(picture)) << format << " cut at " << cut;
            FreeImage_Unload(picture);
        }
    }
}

// Headers claiming gigapixels are refused before FreeImage allocates the pixels.
TEST(ImageLoad, HugeHeadersAreRefusedWithoutAllocating)
{
    EXPECT_TRUE(Loads(PngClaiming(8, 8)) && Loads(JpegClaiming(8, 8)) && Loads(GifClaiming(1, 1)))
        << "the patching keeps the files valid";
    long before = PeakMemoryKb();
    EXPECT_FALSE(Loads(PngClaiming(60000, 60000)));
    EXPECT_FALSE(Loads(JpegClaiming(60000, 60000)));
    EXPECT_FALSE(Loads(GifClaiming(65535, 65535)));
    EXPECT_FALSE(Loads(PngClaiming(1, 0x7FFFFFFF)));      // thin but endless
    EXPECT_FALSE(Loads(PngClaiming(0x10000, 0x10000)));   // 2^32 pixels: no wrap to 0
    EXPECT_LT(PeakMemoryKb() - before, 64 * 1024);
}

TEST(ImageLoad, ThumbnailsStandUprightAsTheCameraSays)
{
    // A wide picture with a red top-left corner, stored as the camera saw it; the EXIF
    // orientation says where that corner belongs.
    FIBITMAP* picture = MakeSolid(120, 80, Blue);
    FillRect(picture, 0, 0, 40, 40, Red);
    ByteVec jpeg = EncodeAndUnload(picture, FIF_JPEG, JPEG_QUALITYSUPERB);
    struct { int orientation; int x, y; bool tall; } cases[] = {
        {1, 10, 20, false}, {2, 85, 20, false}, {3, 85, 70, false}, {4, 10, 70, false},
        {5, 20, 10, true},  {6, 70, 10, true},  {7, 70, 85, true},  {8, 20, 85, true}};
    static ThumbnailPixels thumb;
    for (auto& c : cases) {
        ByteVec bytes = WithExifOrientation(jpeg, c.orientation);
        ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "a.jpg", &thumb));
        const PictureRect& r = thumb.pictureRect;
        EXPECT_EQ(c.tall, r.bottom - r.top > r.right - r.left) << c.orientation;
        EXPECT_TRUE(Near(Red, ThumbPixel(thumb.bgra, c.x, c.y), 60)) << c.orientation;
        EXPECT_TRUE(Near(White, ThumbPixel(thumb.bgra, c.tall ? 2 : 48, c.tall ? 48 : 2), 0))
            << "white around the picture, orientation " << c.orientation;
    }
}

// XBM: FreeImage reads values until it has them all, past the end of the file, and a
// size written in a comment is not the size.
TEST(ImageLoad, XbmSizeIsReadAsTheDecoderReadsIt)
{
    struct { const char* text; HeaderSizeResult result; uint64_t w, h; } xbms[] = {
        {"#define c_width 12\n#define c_height 2\nstatic char c_bits[] = {\n1,0x2,3,4};", HeaderSizeFound, 12, 2},
        {"#define c_width 12\n#define c_height 2\nstatic char c_bits[] = {\n1,2,3", HeaderSizeBroken, 0, 0},
        {"/* c_width 99999 */\n#define c_width 8\n#define c_height 1\nstatic char c[] = {\n1};", HeaderSizeFound, 8, 1},
        {"#define c_width 300\n#define c_height 200\nstatic char c_bits[] = {", HeaderSizeBroken, 0, 0},
    };
    for (const auto& x : xbms) {
        uint64_t w = 0, h = 0;
        EXPECT_EQ(x.result, ReadHeaderSize(FIF_XBM, (const uint8_t*)x.text, strlen(x.text), &w, &h)) << x.text;
        EXPECT_EQ(x.w, w) << x.text;
        EXPECT_EQ(x.h, h) << x.text;
    }
}

// Transparent pictures come out on white paper, in the decoded picture (which the PDF
// embeds) and in the thumbnail. 48 x 48: columns 0-11 clear, 12-23 red at alpha 128, the
// rest opaque blue; a palette picture's first 24 columns are its transparent colour. An
// alpha channel that is all 0 is unused (an opaque picture), not a blank one.
TEST(ImageLoad, TransparencyIsBlendedOverWhite)
{
    enum Kind { Alpha, Palette, UnusedAlpha };
    const struct { FREE_IMAGE_FORMAT format; Kind kind; int flags; } cases[] = {
        {FIF_PNG, Alpha, 0}, {FIF_TARGA, Alpha, 0}, {FIF_TIFF, Alpha, 0}, {FIF_PSD, Alpha, 0},
        {FIF_ICO, Alpha, 0}, {FIF_WEBP, Alpha, WEBP_LOSSLESS}, {FIF_GIF, Palette, 0},
        {FIF_PNG, Palette, 0}, {FIF_ICO, Palette, 0}, {FIF_TARGA, UnusedAlpha, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(FreeImage_GetFormatFromFIF(c.format)) + " " + std::to_string(c.kind));
        FIBITMAP* p = FreeImage_Allocate(48, 48, c.kind == Palette ? 8 : 32, FI_RGBA_RED_MASK,
                                         FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
        BYTE table[2] = {0, 255};
        if (c.kind == Palette) {
            memset(FreeImage_GetPalette(p), 0, 256 * sizeof(RGBQUAD));
            FreeImage_GetPalette(p)[1].rgbBlue = 255;
            FreeImage_SetTransparencyTable(p, table, 2);
        }
        for (unsigned y = 0; y < 48; y++)
            for (unsigned x = 0; x < 48; x++) {
                BYTE* line = FreeImage_GetScanLine(p, y);
                if (c.kind == Palette) { line[x] = x < 24 ? 0 : 1; continue; }
                bool half = x >= 12 && x < 24;
                BYTE* px = line + x * 4;
                px[FI_RGBA_RED] = half ? 255 : 0, px[FI_RGBA_GREEN] = 0, px[FI_RGBA_BLUE] = x >= 24 ? 255 : 0;
                px[FI_RGBA_ALPHA] = c.kind == UnusedAlpha || x < 12 ? 0 : half ? 128 : 255;
            }
        ByteVec bytes = EncodeAndUnload(p, c.format, c.flags);
        const Rgb clear = c.kind == UnusedAlpha ? Black : White;
        FIBITMAP* picture = Load(bytes, "a.img");
        ASSERT_TRUE(picture);
        EXPECT_EQ(24u, FreeImage_GetBPP(picture));
        EXPECT_TRUE(Near(clear, PixelAt(picture, 4, 12), 2));
        EXPECT_TRUE(Near(Blue, PixelAt(picture, 40, 12), 2));
        if (c.kind == Alpha) EXPECT_TRUE(Near(Rgb{255, 127, 127}, PixelAt(picture, 18, 12), 3));
        FreeImage_Unload(picture);
        static ThumbnailPixels thumb;  // the square scaled to 96 x 96
        ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "a.img", &thumb));
        EXPECT_TRUE(Near(clear, ThumbPixel(thumb.bgra, 8, 48), 2));
        EXPECT_TRUE(Near(Blue, ThumbPixel(thumb.bgra, 80, 48), 2));
    }
}
