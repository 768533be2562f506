// Thumbnails: scaled size, centring on white, the picture's rows the right way up,
// camera orientation, and pictures too thin to scale.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/image_test_util.h"
#include "import/thumbnail.h"

namespace {

const Rgb Ink = {20, 60, 180};  // no channel near white, so the margins stand out

struct Made {
    ThumbnailPixels pixels;
    bool ok;
};

std::unique_ptr<Made> Thumbnail(const ByteVec& bytes, const char* name = "Z:\\p\\a.img")
{
    std::unique_ptr<Made> made(new Made);
    memset(&made->pixels, 0xcc, sizeof made->pixels);  // every byte must be written
    made->ok = MakeThumbnailPixels(bytes.data(), bytes.size(), name, &made->pixels);
    return made;
}

bool IsWhite(Rgb p) { return p.r == 255 && p.g == 255 && p.b == 255; }

std::string RectText(const PictureRect& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

}  // namespace

TEST(Thumbnail, ScaledSizeAndPlacement)
{
    struct Case {
        unsigned width, height;
        FREE_IMAGE_FORMAT format;
        int w, h;
        PictureRect rect;
    };
    const Case cases[] = {
        {200, 100, FIF_PNG, 96, 48, {0, 24, 96, 72}},
        {100, 200, FIF_BMP, 48, 96, {24, 0, 72, 96}},
        {4000, 3000, FIF_JPEG, 96, 72, {0, 12, 96, 84}},
        {3000, 4000, FIF_JPEG, 72, 96, {12, 0, 84, 96}},
        {88, 55, FIF_PNG, 96, 59, {0, 18, 96, 77}},  // 96/88*55 truncates to 59, not 60
        {55, 88, FIF_TIFF, 59, 96, {18, 0, 77, 96}},
        {7, 3, FIF_PNG, 96, 41, {0, 27, 96, 68}},
        {96, 96, FIF_PNG, 96, 96, {0, 0, 96, 96}},
        {10, 10, FIF_BMP, 96, 96, {0, 0, 96, 96}},
        {1, 200, FIF_PNG, 1, 96, {47, 0, 48, 96}},  // too thin to scale: kept 1 pixel wide
        {200, 1, FIF_PNG, 96, 1, {0, 47, 96, 48}},
        {1, 1, FIF_PNG, 96, 96, {0, 0, 96, 96}},
    };
    for (const Case& c : cases) {
        std::string what = std::to_string(c.width) + "x" + std::to_string(c.height);
        int w, h;
        ThumbnailScaledSize(c.width, c.height, &w, &h);
        EXPECT_EQ(c.w, w) << what;
        EXPECT_EQ(c.h, h) << what;

        auto made = Thumbnail(EncodeAndUnload(MakeSolid(c.width, c.height, Ink), c.format));
        ASSERT_TRUE(made->ok) << what;
        const PictureRect& r = made->pixels.pictureRect;
        EXPECT_EQ(RectText(c.rect), RectText(r)) << what;
        // Every pixel: the picture inside the rectangle, pure white outside, all opaque.
        int wrong = 0;
        for (int y = 0; y < 96; y++) {
            for (int x = 0; x < 96; x++) {
                Rgb p = ThumbPixel(made->pixels.bgra, x, y);
                bool inside = x >= c.rect.left && x < c.rect.right && y >= c.rect.top &&
                              y < c.rect.bottom;
                if (inside ? !Near(Ink, p, 8) : !IsWhite(p)) wrong++;
                if (made->pixels.bgra[((95 - y) * 96 + x) * 4 + 3] != 255) wrong++;
            }
        }
        EXPECT_EQ(0, wrong) << what;
    }
}

// The rows come out the right way up: the picture's top row is at pictureRect.top
// counted from the top of the square, and an odd margin leaves its extra pixel at the
// bottom (88 x 55 -> 18 white rows above, 19 below) or the right.
TEST(Thumbnail, PictureLandsTopDownWithExtraMarginPixelAtBottomRight)
{
    FIBITMAP* picture = MakeSolid(88, 55, Blue);
    FillRect(picture, 0, 0, 88, 1, Red);       // top row red
    FillRect(picture, 0, 0, 1, 55, {0, 160, 0});  // left column green
    auto made = Thumbnail(EncodeAndUnload(picture, FIF_PNG));
    ASSERT_TRUE(made->ok);
    const uint8_t* px = made->pixels.bgra;
    for (int x = 2; x < 96; x++) {
        EXPECT_TRUE(IsWhite(ThumbPixel(px, x, 17))) << x;
        EXPECT_TRUE(Near(Red, ThumbPixel(px, x, 18), 40)) << x;   // the top row first
        EXPECT_TRUE(Near(Blue, ThumbPixel(px, x, 76), 40)) << x;  // the last picture row
        EXPECT_TRUE(IsWhite(ThumbPixel(px, x, 77))) << x;
    }
    EXPECT_TRUE(Near({0, 160, 0}, ThumbPixel(px, 0, 50), 40));  // left column at the left

    // 55 x 88: 18 white columns on the left, 19 on the right.
    picture = MakeSolid(55, 88, Blue);
    FillRect(picture, 0, 0, 1, 88, Red);
    made = Thumbnail(EncodeAndUnload(picture, FIF_PNG));
    ASSERT_TRUE(made->ok);
    for (int y = 2; y < 94; y++) {
        EXPECT_TRUE(IsWhite(ThumbPixel(px = made->pixels.bgra, 17, y))) << y;
        EXPECT_TRUE(Near(Red, ThumbPixel(px, 18, y), 40)) << y;
        EXPECT_TRUE(Near(Blue, ThumbPixel(px, 76, y), 40)) << y;
        EXPECT_TRUE(IsWhite(ThumbPixel(px, 77, y))) << y;
    }
}

// The thumbnail is made upright from the EXIF orientation: the 60 x 40 stored picture
// with a mark at its top-left gives 96 x 64 or, for 5..8, 64 x 96.
TEST(Thumbnail, FollowsExifOrientation)
{
    FIBITMAP* stored = MakeSolid(60, 40, Ink);
    FillRect(stored, 0, 0, 12, 12, Red);
    ByteVec jpeg = EncodeAndUnload(stored, FIF_JPEG, JPEG_QUALITYSUPERB);
    // Corner of the mark for orientations 1..8: top-left, top-right, bottom-right, bottom-left.
    const int markCorner[9] = {0, 0, 1, 2, 3, 0, 1, 2, 3};
    for (int orientation = 1; orientation <= 8; orientation++) {
        auto made = Thumbnail(WithExifOrientation(jpeg, orientation));
        ASSERT_TRUE(made->ok) << orientation;
        const PictureRect& r = made->pixels.pictureRect;
        std::string expected = orientation < 5 ? "(0,16,96,80)" : "(16,0,80,96)";
        EXPECT_EQ(expected, RectText(r)) << orientation;
        const int corners[4][2] = {{r.left + 3, r.top + 3}, {r.right - 4, r.top + 3},
                                   {r.right - 4, r.bottom - 4}, {r.left + 3, r.bottom - 4}};
        for (int k = 0; k < 4; k++) {
            Rgb p = ThumbPixel(made->pixels.bgra, corners[k][0], corners[k][1]);
            EXPECT_TRUE(Near(k == markCorner[orientation] ? Red : Ink, p, 40))
                << "orientation " << orientation << " corner " << k;
        }
    }
}

TEST(Thumbnail, FailsForWhatIsNotAPicture)
{
    std::string text = "not a picture";
    ByteVec bytes(text.begin(), text.end());
    EXPECT_FALSE(Thumbnail(bytes, "a.jpg")->ok);
    EXPECT_FALSE(Thumbnail(ByteVec(), "a.jpg")->ok);
}

// The thumbnail list treats pure red as transparent: a red picture must not turn into holes.
TEST(Thumbnail, PureRedIsKeptOutOfTheMaskColour)
{
    auto made = Thumbnail(EncodeAndUnload(MakeSolid(96, 96, Rgb{255, 0, 0}), FIF_PNG), "r.png");
    ASSERT_TRUE(made->ok);
    int pureRed = 0, nearRed = 0;
    for (int i = 0; i < ThumbnailSize * ThumbnailSize; i++) {
        const uint8_t* p = made->pixels.bgra + i * 4;
        pureRed += p[0] == 0 && p[1] == 0 && p[2] == 255;
        nearRed += p[0] == 0 && p[1] == 0 && p[2] == 254;
    }
    EXPECT_EQ(0, pureRed);
    EXPECT_EQ(ThumbnailSize * ThumbnailSize, nearRed);
}
