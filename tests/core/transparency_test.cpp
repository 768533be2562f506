// Transparent pictures on white paper: whatever the format, a transparent area comes out
// white and a half-transparent one half-way to white, in the decoded picture (which the
// PDF embeds) and in the thumbnail.
#include <gtest/gtest.h>

#include <cstring>

#include "core/image_test_util.h"
#include "import/image_load.h"
#include "import/thumbnail.h"

namespace {

// 48 x 48 (icons are square), columns: 0-11 transparent black, 12-23 red at alpha 128, 24-47 opaque blue.
FIBITMAP* MakeRgba()
{
    FIBITMAP* p = FreeImage_Allocate(48, 48, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                     FI_RGBA_BLUE_MASK);
    for (unsigned y = 0; y < 48; y++) {
        BYTE* line = FreeImage_GetScanLine(p, y);
        for (unsigned x = 0; x < 48; x++) {
            BYTE* px = line + x * 4;
            bool clear = x < 12, half = x >= 12 && x < 24;
            px[FI_RGBA_RED] = half ? 255 : 0;
            px[FI_RGBA_GREEN] = 0;
            px[FI_RGBA_BLUE] = clear || half ? 0 : 255;
            px[FI_RGBA_ALPHA] = clear ? 0 : half ? 128 : 255;
        }
    }
    return p;
}

// The same as a palette picture whose black is the transparent colour (no half step).
FIBITMAP* MakePaletted()
{
    FIBITMAP* p = FreeImage_Allocate(48, 48, 8);
    RGBQUAD* palette = FreeImage_GetPalette(p);
    memset(palette, 0, 256 * sizeof(RGBQUAD));
    palette[1].rgbBlue = 255;
    for (unsigned y = 0; y < 48; y++) {
        BYTE* line = FreeImage_GetScanLine(p, y);
        for (unsigned x = 0; x < 48; x++) line[x] = x < 24 ? 0 : 1;
    }
    BYTE table[2] = {0, 255};
    FreeImage_SetTransparencyTable(p, table, 2);
    return p;
}

}  // namespace

TEST(Transparency, ComesOutWhiteInEveryFormat)
{
    struct Case {
        FREE_IMAGE_FORMAT format;
        bool paletted;
        int flags;
    };
    const Case cases[] = {
        {FIF_PNG, false, 0},  {FIF_TARGA, false, 0}, {FIF_TIFF, false, 0},
        {FIF_PSD, false, 0},  {FIF_ICO, false, 0},   {FIF_WEBP, false, WEBP_LOSSLESS},
        {FIF_GIF, true, 0},   {FIF_PNG, true, 0},    {FIF_ICO, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(FreeImage_GetFormatFromFIF(c.format)) +
                     (c.paletted ? " palette" : " alpha"));
        ByteVec bytes = EncodeAndUnload(c.paletted ? MakePaletted() : MakeRgba(), c.format, c.flags);
        ASSERT_FALSE(bytes.empty());
        FIBITMAP* picture = LoadImageFromMemory(bytes.data(), bytes.size(), "a.img");
        ASSERT_TRUE(picture);
        EXPECT_EQ(24u, FreeImage_GetBPP(picture));
        EXPECT_TRUE(Near(White, PixelAt(picture, 4, 12), 2));
        EXPECT_TRUE(Near(Blue, PixelAt(picture, 40, 12), 2));
        if (!c.paletted) EXPECT_TRUE(Near(Rgb{255, 127, 127}, PixelAt(picture, 18, 12), 3));
        FreeImage_Unload(picture);

        ThumbnailPixels thumb;  // the square scaled to 96 x 96
        ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "a.img", &thumb));
        EXPECT_TRUE(Near(White, ThumbPixel(thumb.bgra, 8, 48), 2));
        EXPECT_TRUE(Near(Blue, ThumbPixel(thumb.bgra, 80, 48), 2));
    }
}

// A 32-bit picture whose fourth byte is unused (all 0) is an opaque picture, not a blank one.
TEST(Transparency, AllZeroAlphaIsOpaque)
{
    FIBITMAP* p = MakeRgba();
    for (unsigned y = 0; y < 48; y++) {
        BYTE* line = FreeImage_GetScanLine(p, y);
        for (unsigned x = 0; x < 48; x++) line[x * 4 + FI_RGBA_ALPHA] = 0;
    }
    ByteVec bytes = EncodeAndUnload(p, FIF_TARGA);
    FIBITMAP* picture = LoadImageFromMemory(bytes.data(), bytes.size(), "a.tga");
    ASSERT_TRUE(picture);
    EXPECT_TRUE(Near(Rgb{0, 0, 0}, PixelAt(picture, 4, 12), 2));
    EXPECT_TRUE(Near(Blue, PixelAt(picture, 40, 12), 2));
    FreeImage_Unload(picture);
}
