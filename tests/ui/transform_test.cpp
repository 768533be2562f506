// Rotating and flipping the selected images: the recorded state through the real
// commands, and the thumbnails redrawn in their own slots.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <string>
#include <vector>

#include "import/thumbnail.h"
#include "ui/collection_support_win.h"

namespace {

typedef std::vector<uint8_t> Pixels;  // 96 x 96 BGRA, rows from the top

void Command(int id)
{
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    FlushMessages();
}

std::string RectText(const PictureRect& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// What the core makes of pixels shown on screen (its rows run bottom-up).
Pixels TransformedByCore(const Pixels& shown, TransformMode mode)
{
    const size_t row = ThumbnailSize * 4;
    Pixels bottomUp(shown.size());
    for (int y = 0; y < ThumbnailSize; y++)
        memcpy(&bottomUp[(ThumbnailSize - 1 - y) * row], &shown[y * row], row);
    EXPECT_TRUE(TransformThumbnailPixels(bottomUp.data(), mode));
    Pixels result(shown.size());
    for (int y = 0; y < ThumbnailSize; y++)
        memcpy(&result[y * row], &bottomUp[(ThumbnailSize - 1 - y) * row], row);
    return result;
}

// Pixels whose colour differs (alpha is not compared: the list keeps none).
int DifferentPixels(const Pixels& a, const Pixels& b)
{
    int n = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) n++;
    return n;
}

bool IsDark(const Pixels& p, int x, int y)
{
    const uint8_t* px = &p[(y * ThumbnailSize + x) * 4];
    return px[0] < 40 && px[1] < 40 && px[2] < 40;
}

// The corner of the picture area holding the black mark: "TL", "TR", "BL", "BR" or "?".
std::string MarkCorner(const Pixels& p, const PictureRect& r)
{
    int inset = 3;
    bool tl = IsDark(p, r.left + inset, r.top + inset);
    bool tr = IsDark(p, r.right - 1 - inset, r.top + inset);
    bool bl = IsDark(p, r.left + inset, r.bottom - 1 - inset);
    bool br = IsDark(p, r.right - 1 - inset, r.bottom - 1 - inset);
    if (tl + tr + bl + br != 1) return "?";
    return tl ? "TL" : tr ? "TR" : bl ? "BL" : "BR";
}

}  // namespace

// The recorded state after each command, given through every route that carries it.
TEST(TransformImages, RecordedStateThroughTheCommands)
{
    struct Case {
        int command;
        int rotation, flips;
        int newRotation, newFlips;
    };
    const Case cases[] = {
        {IDM_ROTATE_CW, 0, 0, 270, 0},
        {IDM_CTX_ROTATE_CW, 0, 0, 270, 0},
        {IDM_ROTATE_CCW, 270, 0, 0, 0},  // 0, not 360
        {IDM_CTX_ROTATE_CCW, 180, 1, 270, 1},
        {IDM_FLIP_LEFT_RIGHT, 0, 0, 0, 1},
        {IDM_CTX_FLIP_LEFT_RIGHT, 90, 0, 90, 2},  // quarter-turned: the other flag
        {IDM_FLIP_LEFT_RIGHT, 180, 0, 180, 1},
        {IDM_FLIP_TOP_BOTTOM, 0, 1, 0, 3},
        {IDM_CTX_FLIP_TOP_BOTTOM, 270, 0, 270, 1},
    };
    ASSERT_TRUE(StartWithImages(1));
    SelectItems({0});
    for (const Case& c : cases) {
        ImageEntry& e = ImageCollection[0];
        e.rotation = c.rotation;
        e.flips = c.flips;
        e.pictureRect = PictureRect{0, 12, 96, 84};
        Command(c.command);
        EXPECT_EQ(c.newRotation, e.rotation) << "command " << c.command;
        EXPECT_EQ(c.newFlips, e.flips) << "command " << c.command;
        bool turn = c.rotation != c.newRotation;
        EXPECT_EQ(turn ? "(12,0,84,96)" : "(0,12,96,84)", RectText(e.pictureRect))
            << "command " << c.command;
        EXPECT_EQ(0, e.slot);
    }
}

TEST(TransformImages, ClockwiseThenCounterClockwiseRestoresEverything)
{
    ASSERT_TRUE(StartWithImages(1));
    SelectItems({0});
    ImageEntry before = ImageCollection[0];
    Pixels shown = ThumbnailAsShown(0);
    Command(IDM_ROTATE_CW);
    EXPECT_EQ(270, ImageCollection[0].rotation);
    EXPECT_NE(0, DifferentPixels(shown, ThumbnailAsShown(0)));
    Command(IDM_ROTATE_CCW);
    EXPECT_EQ(0, memcmp(&before, &ImageCollection[0], sizeof before));
    EXPECT_EQ(0, DifferentPixels(shown, ThumbnailAsShown(0)));
}

// The redrawn thumbnail is the core's transform of the one shown before, in the same
// slot; the mark lands in the corner the command turns it to.
TEST(TransformImages, ThumbnailRedrawnInItsSlot)
{
    struct Case {
        int command;
        TransformMode mode;
        const char* corner;
    };
    const Case cases[] = {
        {IDM_ROTATE_CW, RotateClockwise, "TR"},
        {IDM_ROTATE_CCW, RotateCounterClockwise, "BL"},
        {IDM_FLIP_LEFT_RIGHT, FlipLeftRight, "TR"},
        {IDM_FLIP_TOP_BOTTOM, FlipTopBottom, "BL"},
    };
    ASSERT_TRUE(StartWithImages(0));
    for (const Case& c : cases) {
        ASSERT_GE(AddTestImage("C:\\pictures\\wide.png", 90, 50, 30, 160, 220), 0);
        int item = (int)ImageCollection.size() - 1;
        int slot = ImageCollection[item].slot;
        Pixels before = ThumbnailAsShown(slot);
        ASSERT_EQ("TL", MarkCorner(before, ImageCollection[item].pictureRect));
        SelectItems({item});
        Command(c.command);
        Pixels after = ThumbnailAsShown(slot);
        EXPECT_EQ(0, DifferentPixels(TransformedByCore(before, c.mode), after))
            << "command " << c.command;
        EXPECT_EQ(c.corner, MarkCorner(after, ImageCollection[item].pictureRect))
            << "command " << c.command;
    }
}

TEST(TransformImages, OnlySelectedImagesChange)
{
    ASSERT_TRUE(StartWithImages(4));
    SelectItems({1, 3});
    LVITEMA focus;
    ZeroMemory(&focus, sizeof focus);
    focus.stateMask = focus.state = LVIS_FOCUSED;
    SendMessageA(ImageListView, LVM_SETITEMSTATE, 3, (LPARAM)&focus);
    Pixels untouched = ThumbnailAsShown(ImageCollection[2].slot);
    Command(IDM_ROTATE_CCW);
    int rotations[4];
    for (int i = 0; i < 4; i++) rotations[i] = ImageCollection[i].rotation;
    EXPECT_EQ(0, rotations[0]);
    EXPECT_EQ(90, rotations[1]);
    EXPECT_EQ(0, rotations[2]);
    EXPECT_EQ(90, rotations[3]);
    EXPECT_EQ(0, DifferentPixels(untouched, ThumbnailAsShown(ImageCollection[2].slot)));
    EXPECT_EQ((std::vector<int>{1, 3}), SelectedItems());  // selection and focus kept
    EXPECT_EQ(3, (int)SendMessageA(ImageListView, LVM_GETNEXTITEM, (WPARAM)-1,
                                   MAKELPARAM(LVNI_FOCUSED, 0)));
}

TEST(TransformImages, NothingSelectedChangesNothingButRefreshes)
{
    ASSERT_TRUE(StartWithImages(3));
    SelectItems({});
    Pixels shown = ThumbnailAsShown(1);
    SendMessageA(StatusBar, SB_SETTEXTA, 1, (LPARAM) "stale");
    Command(IDM_FLIP_TOP_BOTTOM);
    for (const ImageEntry& e : ImageCollection) {
        EXPECT_EQ(0, e.rotation);
        EXPECT_EQ(0, e.flips);
    }
    EXPECT_EQ(0, DifferentPixels(shown, ThumbnailAsShown(1)));
    EXPECT_EQ("Images: 003", StatusPartText(1));
}

// A thumbnail that cannot be drawn keeps its entry's state; the others are turned.
TEST(TransformImages, FailingImageKeepsItsStateOthersTurn)
{
    ASSERT_TRUE(StartWithImages(3));
    ImageCollection[1].slot = 40;  // no such thumbnail
    SelectItems({0, 1, 2});
    Command(IDM_ROTATE_CW);
    EXPECT_EQ(270, ImageCollection[0].rotation);
    EXPECT_EQ(0, ImageCollection[1].rotation);
    EXPECT_EQ("(0,12,96,84)", RectText(ImageCollection[1].pictureRect));
    EXPECT_EQ(270, ImageCollection[2].rotation);
}

// Pure red is the list's mask colour: such pixels show as the white background. The
// redrawn thumbnail shows them white too, and the slot's old see-through pixels do not
// punch holes into the turned picture.
TEST(TransformImages, MaskedPixelsStayWhite)
{
    ASSERT_TRUE(StartWithImages(0));
    ASSERT_EQ(0, AddTestImageWithMaskedSquare("C:\\pictures\\masked.png"));
    Pixels before = ThumbnailAsShown(0);
    const uint8_t* square = &before[(40 * ThumbnailSize + 30) * 4];
    ASSERT_EQ(255, square[0] & square[1] & square[2]);  // shown white
    for (int command : {IDM_FLIP_LEFT_RIGHT, IDM_ROTATE_CW}) {
        SelectItems({0});
        Command(command);
        Pixels after = ThumbnailAsShown(0);
        TransformMode mode = command == IDM_ROTATE_CW ? RotateClockwise : FlipLeftRight;
        EXPECT_EQ(0, DifferentPixels(TransformedByCore(before, mode), after)) << command;
        before = after;
    }
    EXPECT_EQ("BR", MarkCorner(before, ImageCollection[0].pictureRect));
}

TEST(TransformImages, Screenshot)
{
    ASSERT_TRUE(StartWithImages(0));
    const struct {
        int width, height, command;
    } shots[] = {{90, 60, 0}, {90, 60, IDM_ROTATE_CW}, {90, 60, IDM_ROTATE_CCW},
                 {90, 60, IDM_FLIP_LEFT_RIGHT}, {60, 90, IDM_FLIP_TOP_BOTTOM}, {60, 90, 0}};
    for (const auto& s : shots) {
        int item = (int)ImageCollection.size();
        char path[64];
        snprintf(path, sizeof path, "C:\\pictures\\image%d.png", item);
        ASSERT_GE(AddTestImage(path, s.width, s.height, 60, 140 + 15 * item, 200), 0);
        if (s.command) {
            SelectItems({item});
            Command(s.command);
        }
    }
    SelectItems({});
    FlushMessages();
    SaveScreenshot(MainWindow, "transform_thumbnails");
}
