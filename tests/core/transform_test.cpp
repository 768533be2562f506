// What the user sees after turning and mirroring is what the PDF shows: for every
// sequence of up to four commands, the transformed thumbnail and the page drawn from the
// recorded entry have the picture's mark in the same corner and the same orientation.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "import/thumbnail.h"
#include "listview/transform_rules.h"
#include "support/support.h"

namespace {

const TransformMode Modes[] = {FlipLeftRight, FlipTopBottom, RotateClockwise,
                               RotateCounterClockwise};

// "TL portrait" and the like: the corner whose quarter-box is mostly mark (and no other
// corner has any), and the box's orientation; "?" when no single corner is marked.
template <typename IsMark>
std::string Look(int left, int top, int right, int bottom, IsMark isMark)
{
    int w = (right - left) / 4, h = (bottom - top) / 4;
    const char* names[4] = {"TL", "TR", "BL", "BR"};
    int xs[4] = {left, right - w, left, right - w}, ys[4] = {top, top, bottom - h, bottom - h};
    std::string found = "?";
    for (int c = 0; c < 4; c++) {
        int marked = 0;
        for (int y = ys[c]; y < ys[c] + h; y++)
            for (int x = xs[c]; x < xs[c] + w; x++) marked += isMark(x, y);
        if (marked * 10 > w * h * 8 && found == "?") found = names[c];
        else if (marked * 10 > w * h) return "?";
    }
    return found + (bottom - top > right - left ? " portrait" : " landscape");
}

std::string ThumbnailLook(const uint8_t* bgra, const PictureRect& r)
{
    return Look(r.left, r.top, r.right, r.bottom,
                [&](int x, int y) { return Near(ThumbPixel(bgra, x, y), Red, 60); });
}

// The picture on a rendered page: the box of its strongly red and blue pixels.
std::string PageLook(FIBITMAP* page)
{
    int w = FreeImage_GetWidth(page), h = FreeImage_GetHeight(page);
    int l = w, t = h, r = 0, b = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (Near(PixelAt(page, x, y), Red, 100) || Near(PixelAt(page, x, y), Blue, 100))
                l = std::min(l, x), t = std::min(t, y), r = std::max(r, x + 1), b = std::max(b, y + 1);
    if (r - l < 8 || b - t < 8) return "no picture";
    return Look(l, t, r, b, [&](int x, int y) { return Near(PixelAt(page, x, y), Red, 90); });
}

}  // namespace

TEST(Transform, EveryCommandSequenceLooksInThePdfAsInTheThumbnail)
{
    // A landscape picture, blue with a red mark in its top-left corner.
    std::string folder = TestFolder("transform");
    std::string path = folder + "/marked.png";
    FIBITMAP* picture = MakeSolid(120, 80, Blue);
    FillRect(picture, 0, 0, 40, 27, Red);
    ByteVec bytes = EncodeAndUnload(picture, FIF_PNG);
    ASSERT_TRUE(WriteWholeFile(path, std::string(bytes.begin(), bytes.end())));
    static ThumbnailPixels first, thumb;
    ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "marked.png", &first));
    ASSERT_EQ("TL landscape", ThumbnailLook(first.bgra, first.pictureRect));

    // Each command alone, as the user expects to see it.
    const char* alone[] = {"TR landscape", "BL landscape", "TR portrait", "BL portrait"};
    std::vector<std::string> sequences, looks;
    ImageCollectionType entries;
    for (int n = 0, combinations = 1; n <= 4; n++, combinations *= 4) {
        for (int code = 0; code < combinations; code++) {
            thumb = first;
            ImageEntry entry = MakeImageEntry(0, path.c_str(), first.pictureRect);
            std::string commands;
            for (int i = 0, c = code; i < n; i++, c /= 4) {
                ASSERT_TRUE(TransformThumbnailPixels(thumb.bgra, Modes[c % 4]));
                ApplyTransformToEntry(&entry, Modes[c % 4]);
                commands += std::to_string(Modes[c % 4]);
            }
            looks.push_back(ThumbnailLook(thumb.bgra, entry.pictureRect));
            if (n == 1) EXPECT_EQ(alone[code], looks.back()) << "command " << commands;
            sequences.push_back(commands);
            entries.push_back(entry);
        }
    }

    // One picture a page; at most 200 entries a document, so two documents.
    PdfSettingsRecord settings;
    SetDefaultPdfSettings(&settings);
    settings.imageQuality = 0.0;  // small pictures: quick to encode and to render
    for (size_t start = 0; start < entries.size(); start += MaxPdfImages) {
        size_t end = std::min(entries.size(), start + (size_t)MaxPdfImages);
        ImageCollectionType part(entries.begin() + start, entries.begin() + end);
        std::string pdf = folder + "/part" + std::to_string(start) + ".pdf";
        FakeHost host;
        ASSERT_EQ(1, BuildPdfDocument(part, settings, pdf.c_str(), host));
        std::vector<FIBITMAP*> pages = RenderPages(pdf, 12);
        ASSERT_EQ(part.size(), pages.size());
        for (size_t i = 0; i < pages.size(); i++) {
            EXPECT_EQ(looks[start + i], PageLook(pages[i]))
                << "commands " << sequences[start + i] << " (rotation " << part[i].rotation
                << ", flips " << part[i].flips << ")";
            FreeImage_Unload(pages[i]);
        }
    }
}
