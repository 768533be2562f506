// Turning and mirroring thumbnails, the entry state each command records, and that
// state applied to the full picture agreeing with the turned thumbnail.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/image_test_util.h"
#include "import/image_load.h"
#include "import/thumbnail.h"
#include "listview/transform_rules.h"

namespace {

typedef std::vector<uint8_t> Pixels;

// A white thumbnail with an asymmetric red bar: x 10..19, y 5..7 from the top.
Pixels MarkedThumbnail()
{
    Pixels bgra(96 * 96 * 4, 255);
    for (int y = 5; y < 8; y++)
        for (int x = 10; x < 20; x++) SetThumbPixel(bgra.data(), x, y, Red);
    return bgra;
}

ImageEntry Entry(int rotation, int flips, PictureRect rect = PictureRect{0, 12, 96, 84})
{
    ImageEntry e;
    memset(&e, 0xcc, sizeof e);
    e.slot = 4;
    e.rotation = rotation;
    e.flips = flips;
    e.pictureRect = rect;
    return e;
}

std::string RectText(const PictureRect& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

}  // namespace

// Where thumbnail pixel (x, y) from the top-left goes under each command.
TEST(TransformThumbnail, MovesEveryPixelAsTheCommandSays)
{
    struct Case {
        TransformMode mode;
        int (*newX)(int x, int y);
        int (*newY)(int x, int y);
    };
    const Case cases[] = {
        {FlipLeftRight, [](int x, int) { return 95 - x; }, [](int, int y) { return y; }},
        {FlipTopBottom, [](int x, int) { return x; }, [](int, int y) { return 95 - y; }},
        {RotateClockwise, [](int, int y) { return 95 - y; }, [](int x, int) { return x; }},
        {RotateCounterClockwise, [](int, int y) { return y; }, [](int x, int) { return 95 - x; }},
    };
    for (const Case& c : cases) {
        Pixels before = MarkedThumbnail();
        Pixels after = before;
        ASSERT_TRUE(TransformThumbnailPixels(after.data(), c.mode)) << c.mode;
        int wrong = 0;
        for (int y = 0; y < 96; y++)
            for (int x = 0; x < 96; x++)
                if (!Near(ThumbPixel(before.data(), x, y),
                          ThumbPixel(after.data(), c.newX(x, y), c.newY(x, y)), 0))
                    wrong++;
        EXPECT_EQ(0, wrong) << "mode " << c.mode;
    }
}

TEST(TransformThumbnail, InverseCommandsRestoreThePixels)
{
    const std::vector<std::vector<TransformMode>> sequences = {
        {RotateClockwise, RotateClockwise, RotateClockwise, RotateClockwise},
        {RotateClockwise, RotateCounterClockwise},
        {FlipLeftRight, FlipLeftRight},
        {FlipTopBottom, FlipTopBottom},
        {FlipLeftRight, FlipTopBottom, RotateClockwise, RotateClockwise},
    };
    for (const auto& sequence : sequences) {
        Pixels start = MarkedThumbnail(), pixels = start;
        for (TransformMode mode : sequence) ASSERT_TRUE(TransformThumbnailPixels(pixels.data(), mode));
        EXPECT_TRUE(pixels == start) << sequence.size() << " commands";
    }
}

TEST(TransformRules, EntryStateAfterEachCommand)
{
    struct Case {
        int rotation, flips;
        TransformMode mode;
        int newRotation, newFlips;
    };
    const Case cases[] = {
        {0, 0, RotateClockwise, 270, 0},
        {270, 0, RotateCounterClockwise, 0, 0},  // 0, not 360
        {90, 3, RotateClockwise, 0, 3},
        {180, 0, RotateCounterClockwise, 270, 0},
        {0, 0, FlipLeftRight, 0, 1},
        {90, 0, FlipLeftRight, 90, 2},  // a quarter-turned picture: the other flag
        {180, 0, FlipLeftRight, 180, 1},
        {270, 2, FlipLeftRight, 270, 0},
        {0, 1, FlipLeftRight, 0, 0},
        {0, 0, FlipTopBottom, 0, 2},
        {90, 0, FlipTopBottom, 90, 1},
        {270, 3, FlipTopBottom, 270, 2},
        {180, 2, FlipTopBottom, 180, 0},
    };
    for (const Case& c : cases) {
        ImageEntry e = Entry(c.rotation, c.flips);
        ApplyTransformToEntry(&e, c.mode);
        EXPECT_EQ(c.newRotation, e.rotation) << c.rotation << "/" << c.flips << " mode " << c.mode;
        EXPECT_EQ(c.newFlips, e.flips) << c.rotation << "/" << c.flips << " mode " << c.mode;
        EXPECT_EQ(4, e.slot);
        bool turn = c.mode == RotateClockwise || c.mode == RotateCounterClockwise;
        EXPECT_EQ(turn ? "(12,0,84,96)" : "(0,12,96,84)", RectText(e.pictureRect));
    }
    ImageEntry e = Entry(0, 1);
    for (int i = 0; i < 4; i++) ApplyTransformToEntry(&e, RotateClockwise);
    EXPECT_EQ(0, e.rotation);
    EXPECT_EQ(1, e.flips);
    EXPECT_EQ("(0,12,96,84)", RectText(e.pictureRect));
}

// Every sequence of up to three commands: the turned thumbnail must look like the
// thumbnail of the full picture oriented from the entry (as the PDF shows it), and
// pictureRect must frame the picture in the turned thumbnail.
TEST(TransformRules, RecordedStateMatchesTheTurnedThumbnail)
{
    FIBITMAP* picture = MakeSolid(200, 100, Blue);
    FillRect(picture, 0, 0, 50, 40, Red);
    FillRect(picture, 150, 60, 50, 40, {0, 150, 0});
    ByteVec original = Encode(picture, FIF_PNG);
    ThumbnailPixels first;
    ASSERT_TRUE(MakeThumbnailPixels(original.data(), original.size(), "a.png", &first));
    const TransformMode modes[] = {FlipLeftRight, FlipTopBottom, RotateClockwise,
                                   RotateCounterClockwise};
    for (int n = 1; n <= 3; n++) {
        int combinations = n == 1 ? 4 : n == 2 ? 16 : 64;
        for (int code = 0; code < combinations; code++) {
            ThumbnailPixels thumb = first;
            ImageEntry e = Entry(0, 0, first.pictureRect);
            std::string what;
            for (int i = 0, c = code; i < n; i++, c /= 4) {
                ASSERT_TRUE(TransformThumbnailPixels(thumb.bgra, modes[c % 4]));
                ApplyTransformToEntry(&e, modes[c % 4]);
                what += std::to_string(modes[c % 4]);
            }
            FIBITMAP* oriented = OrientForEntry(FreeImage_Clone(picture), e.flips, e.rotation);
            ByteVec bytes = EncodeAndUnload(oriented, FIF_PNG);
            ThumbnailPixels expected;
            ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "b.png", &expected));
            EXPECT_EQ(RectText(expected.pictureRect), RectText(e.pictureRect)) << what;
            int wrong = 0;
            for (size_t i = 0; i < sizeof thumb.bgra; i++)
                if (abs(thumb.bgra[i] - expected.bgra[i]) > 2) wrong++;
            EXPECT_EQ(0, wrong) << "commands " << what;
        }
    }
    FreeImage_Unload(picture);
}
