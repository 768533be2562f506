// Thumbnails as bitmaps: sizes and placement, colours, and every kind of bad file.
#include "ui/gtest_win.h"
#include "ui/import_support_win.h"
#include "ui/ui_support_win.h"

#include <algorithm>
#include <vector>

#include "import/thumbnail_win.h"
#include "support/test_images.h"

namespace {

// The bitmap's pixels as COLORREFs, row 0 at the top.
std::vector<COLORREF> Pixels(HBITMAP bitmap)
{
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ThumbnailSize;
    info.bmiHeader.biHeight = -ThumbnailSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bgra(ThumbnailSize * ThumbnailSize, 0xcccccccc);
    HDC dc = GetDC(NULL);
    GetDIBits(dc, bitmap, 0, ThumbnailSize, bgra.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    std::vector<COLORREF> colours;
    for (DWORD p : bgra) colours.push_back(RGB((p >> 16) & 255, (p >> 8) & 255, p & 255));
    return colours;
}

COLORREF At(const std::vector<COLORREF>& pixels, int x, int y)
{
    return pixels[y * ThumbnailSize + x];
}

const COLORREF White = RGB(255, 255, 255);

}  // namespace

TEST(Thumbnail, WorkedSizesAreCentredOnWhite)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = MakeTestFolder("sizes");
    struct Case {
        int width, height;
        PictureRect expected;
    } cases[] = {
        {200, 100, {0, 24, 96, 72}}, {100, 200, {24, 0, 72, 96}}, {88, 55, {0, 18, 96, 77}},
        {7, 3, {0, 27, 96, 68}},     {10, 10, {0, 0, 96, 96}},    {300, 400, {12, 0, 84, 96}},
    };
    for (const Case& c : cases) {
        std::string path = WritePicture(folder, "p.png", c.width, c.height, "png", 40, 120, 200);
        PictureRect rect;
        memset(&rect, 0xcc, sizeof rect);
        HBITMAP bitmap = MakeThumbnail(window, path.c_str(), &rect);
        ASSERT_TRUE(bitmap != NULL) << c.width << "x" << c.height;
        EXPECT_EQ(c.expected.left, rect.left) << c.width << "x" << c.height;
        EXPECT_EQ(c.expected.top, rect.top) << c.width << "x" << c.height;
        EXPECT_EQ(c.expected.right, rect.right) << c.width << "x" << c.height;
        EXPECT_EQ(c.expected.bottom, rect.bottom) << c.width << "x" << c.height;

        BITMAP info;
        ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
        EXPECT_EQ(96, info.bmWidth);
        EXPECT_EQ(96, info.bmHeight);
        std::vector<COLORREF> pixels = Pixels(bitmap);
        // The picture's colour at the bottom-right of its rectangle (away from the black
        // mark at its top-left), white just outside it.
        EXPECT_EQ(RGB(40, 120, 200), At(pixels, rect.right - 1, rect.bottom - 1))
            << c.width << "x" << c.height;
        if (rect.left > 0) EXPECT_EQ(White, At(pixels, rect.left - 1, 48));
        if (rect.right < 96) EXPECT_EQ(White, At(pixels, rect.right, 48));
        if (rect.top > 0) EXPECT_EQ(White, At(pixels, 48, rect.top - 1));
        if (rect.bottom < 96) EXPECT_EQ(White, At(pixels, 48, rect.bottom));
        // The mark of the picture's top-left corner stays there: not upside down.
        if (std::min(c.width, c.height) >= 8)  // smaller test pictures carry no mark
            EXPECT_EQ(RGB(0, 0, 0), At(pixels, rect.left, rect.top)) << c.width << "x" << c.height;
        DeleteObject(bitmap);
    }
}

TEST(Thumbnail, ContentDecidesTheFormat)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = MakeTestFolder("mislabelled");
    std::vector<uint8_t> jpeg = MakeTestImageBytes(120, 90, "jpg");
    std::string path = folder + "\\really-a-jpeg.png";
    ASSERT_TRUE(WriteTestFile(path, jpeg.data(), jpeg.size()));
    PictureRect rect;
    HBITMAP bitmap = MakeThumbnail(window, path.c_str(), &rect);
    ASSERT_TRUE(bitmap != NULL);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(12, rect.top);
    DeleteObject(bitmap);
}

TEST(Thumbnail, BadFilesGiveNothing)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = MakeTestFolder("bad");
    std::vector<uint8_t> png = MakeTestImageBytes(200, 150, "png");
    std::vector<uint8_t> jpeg = MakeTestImageBytes(200, 150, "jpg");
    std::vector<uint8_t> noise(5000);
    for (size_t i = 0; i < noise.size(); i++) noise[i] = (uint8_t)(i * 7919 >> 3);

    struct Case {
        const char* what;
        std::string path;
    } cases[] = {
        {"empty file", folder + "\\empty.png"},
        {"truncated png", folder + "\\half.png"},
        {"truncated jpeg header", folder + "\\head.jpg"},
        {"text named jpg", WriteTextFile(folder, "text.jpg", "hello\r\n")},
        {"noise named png", folder + "\\noise.png"},
        {"folder", folder},
        {"folder named like a picture", folder + "\\album.jpg"},
        {"vanished file", folder + "\\gone.png"},
        {"missing folder", folder + "\\nowhere\\a.png"},
        {"path over 259 characters", folder + "\\" + std::string(300, 'a') + ".png"},
        {"empty path", ""},
    };
    WriteTestFile(folder + "\\empty.png", "", 0);
    WriteTestFile(folder + "\\half.png", png.data(), png.size() / 2);
    WriteTestFile(folder + "\\head.jpg", jpeg.data(), 20);
    WriteTestFile(folder + "\\noise.png", noise.data(), noise.size());
    CreateDirectoryA((folder + "\\album.jpg").c_str(), NULL);
    WriteTestFile(folder + "\\gone.png", png.data(), png.size());
    DeleteFileA((folder + "\\gone.png").c_str());

    for (const Case& c : cases) {
        PictureRect rect;
        memset(&rect, 0xcc, sizeof rect);
        HBITMAP bitmap = MakeThumbnail(window, c.path.c_str(), &rect);
        EXPECT_TRUE(bitmap == NULL) << c.what;
        EXPECT_EQ((int)0xcccccccc, rect.left) << c.what << ": left alone on failure";
        if (bitmap) DeleteObject(bitmap);
    }
    EXPECT_TRUE(MakeThumbnail(window, NULL, NULL) == NULL);
}

TEST(Thumbnail, ReplacingASlotTakesTheNewPicturesTransparency)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = MakeTestFolder("replace");
    std::string blue = WritePicture(folder, "blue.png", 96, 96, "png", 0, 0, 255);
    std::string red = WritePicture(folder, "red.png", 96, 96, "png", 255, 0, 0);
    HIMAGELIST list = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    PictureRect rect;
    HBITMAP blueBitmap = MakeThumbnail(window, blue.c_str(), &rect);
    HBITMAP redBitmap = MakeThumbnail(window, red.c_str(), &rect);
    ASSERT_TRUE(blueBitmap && redBitmap);
    ASSERT_EQ(0, ImageList_AddMasked(list, blueBitmap, ThumbnailMaskColour));
    EXPECT_EQ(RGB(0, 0, 255), SlotPixel(0, 60, 60));

    ASSERT_TRUE(ReplaceThumbnail(list, 0, redBitmap));
    EXPECT_EQ(RGB(254, 0, 0), SlotPixel(0, 60, 60)) << "pure red is shown, not masked";
    EXPECT_EQ(RGB(0, 0, 0), SlotPixel(0, 5, 5)) << "the black mark stays";

    ASSERT_TRUE(ReplaceThumbnail(list, 0, blueBitmap));
    EXPECT_EQ(RGB(0, 0, 255), SlotPixel(0, 60, 60)) << "no hole left by the red picture";
    EXPECT_EQ(1, ImageList_GetImageCount(list));
    DeleteObject(blueBitmap);
    DeleteObject(redBitmap);
}
