// Transparent pictures on white paper: whatever the format, a transparent area comes out
// white and a half-transparent one half-way to white, in the decoded picture (which the
// PDF embeds) and in the thumbnail.
#include <gtest/gtest.h>

#include <cstring>

#include "core/image_test_util.h"
#include "import/image_load.h"
#include "import/thumbnail.h"

namespace {

enum Kind { Alpha, Palette, UnusedAlpha };

// 48 x 48 (icons are square). Columns 0-11 transparent black, 12-23 red at alpha 128,
// 24-47 opaque blue. Palette: columns 0-23 are the transparent colour. UnusedAlpha: every
// alpha byte 0, as writers that leave the fourth byte unused make it.
FIBITMAP* MakePicture(Kind kind)
{
    FIBITMAP* p = FreeImage_Allocate(48, 48, kind == Palette ? 8 : 32, FI_RGBA_RED_MASK,
                                     FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (kind == Palette) {
        memset(FreeImage_GetPalette(p), 0, 256 * sizeof(RGBQUAD));
        FreeImage_GetPalette(p)[1].rgbBlue = 255;
        BYTE table[2] = {0, 255};
        FreeImage_SetTransparencyTable(p, table, 2);
    }
    for (unsigned y = 0; y < 48; y++) {
        BYTE* line = FreeImage_GetScanLine(p, y);
        for (unsigned x = 0; x < 48; x++) {
            if (kind == Palette) {
                line[x] = x < 24 ? 0 : 1;
                continue;
            }
            BYTE* px = line + x * 4;
            bool half = x >= 12 && x < 24;
            px[FI_RGBA_RED] = half ? 255 : 0;
            px[FI_RGBA_GREEN] = 0;
            px[FI_RGBA_BLUE] = x >= 24 ? 255 : 0;
            px[FI_RGBA_ALPHA] = kind == UnusedAlpha || x < 12 ? 0 : half ? 128 : 255;
        }
    }
    return p;
}

}  // namespace

TEST(Transparency, ComesOutWhiteInEveryFormat)
{
    const struct {
        FREE_IMAGE_FORMAT format;
        Kind kind;
        int flags;
    } cases[] = {
        {FIF_PNG, Alpha, 0},   {FIF_TARGA, Alpha, 0},   {FIF_TIFF, Alpha, 0},
        {FIF_PSD, Alpha, 0},   {FIF_ICO, Alpha, 0},     {FIF_WEBP, Alpha, WEBP_LOSSLESS},
        {FIF_GIF, Palette, 0}, {FIF_PNG, Palette, 0},   {FIF_ICO, Palette, 0},
        {FIF_TARGA, UnusedAlpha, 0},  // an opaque picture, not a blank one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(FreeImage_GetFormatFromFIF(c.format)) + " kind " +
                     std::to_string(c.kind));
        ByteVec bytes = EncodeAndUnload(MakePicture(c.kind), c.format, c.flags);
        ASSERT_FALSE(bytes.empty());
        const Rgb clear = c.kind == UnusedAlpha ? Rgb{0, 0, 0} : White;
        FIBITMAP* picture = LoadImageFromMemory(bytes.data(), bytes.size(), "a.img");
        ASSERT_TRUE(picture);
        EXPECT_EQ(24u, FreeImage_GetBPP(picture));
        EXPECT_TRUE(Near(clear, PixelAt(picture, 4, 12), 2));
        EXPECT_TRUE(Near(Blue, PixelAt(picture, 40, 12), 2));
        if (c.kind == Alpha) EXPECT_TRUE(Near(Rgb{255, 127, 127}, PixelAt(picture, 18, 12), 3));
        FreeImage_Unload(picture);

        ThumbnailPixels thumb;  // the square scaled to 96 x 96
        ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "a.img", &thumb));
        EXPECT_TRUE(Near(clear, ThumbPixel(thumb.bgra, 8, 48), 2));
        EXPECT_TRUE(Near(Blue, ThumbPixel(thumb.bgra, 80, 48), 2));
    }
}
