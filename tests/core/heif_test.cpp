// HEIF and AVIF photos (tests/data/heif, made by build_heif.py there): a phone's photo
// shown upright once, embedded thumbnails standing in only where they are large enough,
// deeper colour and alpha brought to 8-bit colour on white.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "picture/page_picture.h"
#include "picture/thumbnail.h"
#include "support/support.h"

namespace {

ByteVec HeifFile(const char* name)
{
    const std::string bytes = ReadWholeFile(std::string(TOLVANE_TEST_DATA_DIR "/heif/") + name);
    return ByteVec(bytes.begin(), bytes.end());
}

// The picture as the PDF takes it for a cell of that size, at the lowest quality.
BitmapOwner PagePixels(const ByteVec& file, unsigned cell = 2000)
{
    PagePlan plan;
    plan.startsPage = false, plan.cellWidth = plan.cellHeight = cell;
    unsigned width, height;
    return MakePagePixels(file.data(), file.size(), "a.heic", plan, &width, &height);
}

const Rgb Sky = {32, 96, 192}, Green = {0, 255, 0};

}  // namespace

// An iPhone photo: stored turned a quarter left, as a grid of tiles, with an irot box that
// turns it back and an Exif orientation saying the same turn. It stands upright once (90 x
// 120, red top-left corner) in the list's thumbnail, which the preview draws, and in the
// PDF's picture; its embedded thumbnail (in negative colours) is too small to stand in.
TEST(Heif, PhonePhotosStandUprightOnce)
{
    const ByteVec file = HeifFile("iphone-like.heic");
    ThumbnailPixels thumb;
    ASSERT_TRUE(MakeThumbnailPixels(file.data(), file.size(), "IMG_0001.HEIC", &thumb));
    const PictureRect& r = thumb.pictureRect;
    EXPECT_EQ(std::make_pair(72, 96), std::make_pair(r.right - r.left, r.bottom - r.top));
    EXPECT_TRUE(Near(Red, ThumbPixel(thumb.bgra.data(), r.left + 5, 5)));
    EXPECT_TRUE(Near(Sky, ThumbPixel(thumb.bgra.data(), r.right - 5, 90)));
    const BitmapOwner page = PagePixels(file);
    ASSERT_TRUE(page);
    EXPECT_EQ(std::make_pair(90u, 120u), std::make_pair(FreeImage_GetWidth(page.get()), FreeImage_GetHeight(page.get())));
    EXPECT_TRUE(Near(Red, PixelAt(page.get(), 5, 5)));
    EXPECT_TRUE(Near(Sky, PixelAt(page.get(), 85, 115)));
}

// A green thumbnail embedded with a blue 1024 x 768 picture serves the list when it keeps
// four of its pixels for each of the list thumbnail's (400 x 300 does, 200 x 150 does
// not), and never the PDF.
TEST(Heif, EmbeddedThumbnailsServeTheListOnlyWhenLargeEnough)
{
    for (const auto& c : {std::make_pair("thumbnail-400.heic", Green), std::make_pair("thumbnail-200.heic", Blue)}) {
        const ByteVec file = HeifFile(c.first);
        ThumbnailPixels thumb;
        ASSERT_TRUE(MakeThumbnailPixels(file.data(), file.size(), c.first, &thumb));
        EXPECT_TRUE(Near(c.second, ThumbPixel(thumb.bgra.data(), 48, 48), 8)) << c.first;
        EXPECT_TRUE(Near(Blue, PixelAt(PagePixels(file, 400).get(), 10, 10), 8)) << c.first;
    }
}

// 64 x 48: transparent on the left quarter, then red at half alpha, then opaque (50%,
// 25%, 75%). The 10-bit AVIF has no alpha channel.
TEST(Heif, DeeperColourComesDownToEightBitsAndAlphaLiesOverWhite)
{
    const struct { const char* name; Rgb clear, half; } cases[] = {
        {"10-bit.avif", Black, Red}, {"12-bit-alpha.avif", White, {255, 128, 128}},
        {"10-bit-alpha.heic", White, {255, 128, 128}}};
    for (const auto& c : cases) {
        const BitmapOwner picture = LoadUpright(HeifFile(c.name), c.name);
        ASSERT_TRUE(picture) << c.name;
        EXPECT_EQ(24u, FreeImage_GetBPP(picture.get()));
        EXPECT_TRUE(Near(c.clear, PixelAt(picture.get(), 4, 24), 6)) << c.name;
        EXPECT_TRUE(Near(c.half, PixelAt(picture.get(), 24, 24), 6)) << c.name;
        EXPECT_TRUE(Near(Rgb{128, 64, 191}, PixelAt(picture.get(), 50, 24), 4)) << c.name;
    }
}
