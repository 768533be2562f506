// What the user sees after turning and mirroring is what the PDF shows: for every
// sequence of up to four commands, the picture drawn in the PDF from the recorded entry
// has its mark in the same corner, and the same orientation, as the transformed thumbnail.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/image_test_util.h"
#include "core/pdf_test_support.h"
#include "import/thumbnail.h"
#include "listview/transform_rules.h"
#include "pdf/pdf_builder.h"

namespace {

const TransformMode Modes[] = {FlipLeftRight, FlipTopBottom, RotateClockwise,
                               RotateCounterClockwise};

// What a picture looks like, enough to tell all eight turns and mirrors apart.
struct Look {
    std::string corner;  // where the mark is: "TL", "TR", "BL", "BR", or "?"
    bool portrait;
};

std::string LookText(const Look& look)
{
    return look.corner + (look.portrait ? " portrait" : " landscape");
}

struct Area {
    int left, top, right, bottom;  // right and bottom exclusive, y from the top
};

// The corner of the area whose quarter-by-quarter box is mostly mark; "?" unless exactly
// one is, and the other three are free of it.
template <typename IsMark>
std::string MarkCorner(const Area& a, IsMark isMark)
{
    int w = (a.right - a.left) / 4, h = (a.bottom - a.top) / 4;
    const char* names[4] = {"TL", "TR", "BL", "BR"};
    int xs[4] = {a.left, a.right - w, a.left, a.right - w};
    int ys[4] = {a.top, a.top, a.bottom - h, a.bottom - h};
    std::string found = "?";
    for (int c = 0; c < 4; c++) {
        int marked = 0;
        for (int y = ys[c]; y < ys[c] + h; y++)
            for (int x = xs[c]; x < xs[c] + w; x++) marked += isMark(x, y);
        if (marked * 10 > w * h * 8) {
            if (found != "?") return "?";
            found = names[c];
        } else if (marked * 10 > w * h) {
            return "?";
        }
    }
    return found;
}

Look ThumbnailLook(const uint8_t* bgra, const PictureRect& r)
{
    Area area = {r.left, r.top, r.right, r.bottom};
    auto isMark = [&](int x, int y) { return Near(ThumbPixel(bgra, x, y), Red, 60); };
    return Look{MarkCorner(area, isMark), r.bottom - r.top > r.right - r.left};
}

bool IsPicturePixel(pdftest::Rgb c)
{
    bool blue = c.blue > 150 && c.red < 110 && c.green < 110;
    bool red = c.red > 150 && c.green < 110 && c.blue < 110;
    return blue || red;
}

// The picture on a rendered page: the box of its strongly blue and red pixels.
Look PageLook(FIBITMAP* page)
{
    int width = FreeImage_GetWidth(page), height = FreeImage_GetHeight(page);
    Area box = {width, height, 0, 0};
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            if (IsPicturePixel(pdftest::PixelAt(page, x, y))) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    if (box.right - box.left < 8 || box.bottom - box.top < 8) return Look{"no picture", false};
    auto isMark = [&](int x, int y) {
        return pdftest::Near(pdftest::PixelAt(page, x, y), pdftest::Rgb{255, 0, 0}, 90);
    };
    return Look{MarkCorner(box, isMark), box.bottom - box.top > box.right - box.left};
}

// Renders every page of a PDF with one pdftoppm run; empty on failure.
std::vector<FIBITMAP*> RenderAllPages(const std::string& pdf, int pageCount, int dpi)
{
    std::string prefix = pdf + ".page";
    std::string command = "pdftoppm -q -png -r " + std::to_string(dpi) + " '" + pdf + "' '" +
                          prefix + "' 2>/dev/null";
    std::vector<FIBITMAP*> pages;
    if (system(command.c_str()) != 0) return pages;
    int digits = (int)std::to_string(pageCount).size();
    for (int i = 1; i <= pageCount; i++) {
        char name[32];
        snprintf(name, sizeof name, "-%0*d.png", digits, i);
        std::string png = prefix + name;
        FIBITMAP* loaded = FreeImage_Load(FIF_PNG, png.c_str(), 0);
        remove(png.c_str());
        if (!loaded) break;
        pages.push_back(FreeImage_ConvertTo24Bits(loaded));
        FreeImage_Unload(loaded);
    }
    return pages;
}

struct Sequence {
    std::string commands;  // mode numbers in order, e.g. "31"
    Look thumbnail;
};

}  // namespace

TEST(TransformInPdf, EveryCommandSequenceLooksInThePdfAsInTheThumbnail)
{
    // A landscape picture, blue with a red mark in its top-left corner.
    std::string folder = pdftest::TestFolder("transform_pdf");
    std::string path = folder + "/marked.png";
    FIBITMAP* picture = MakeSolid(120, 80, Blue);
    FillRect(picture, 0, 0, 40, 27, Red);
    ByteVec bytes = EncodeAndUnload(picture, FIF_PNG);
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), bytes.size());
    ThumbnailPixels first;
    ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "marked.png", &first));
    ASSERT_EQ("TL landscape", LookText(ThumbnailLook(first.bgra, first.pictureRect)));

    // Every sequence of up to four commands, applied to the thumbnail and to an entry.
    std::vector<Sequence> sequences;
    ImageCollectionType entries;
    for (int n = 0, combinations = 1; n <= 4; n++, combinations *= 4) {
        for (int code = 0; code < combinations; code++) {
            static ThumbnailPixels thumb;
            thumb = first;
            ImageEntry entry = MakeImageEntry(0, path.c_str(), first.pictureRect);
            Sequence s;
            for (int i = 0, c = code; i < n; i++, c /= 4) {
                ASSERT_TRUE(TransformThumbnailPixels(thumb.bgra, Modes[c % 4]));
                ApplyTransformToEntry(&entry, Modes[c % 4]);
                s.commands += std::to_string(Modes[c % 4]);
            }
            s.thumbnail = ThumbnailLook(thumb.bgra, entry.pictureRect);
            ASSERT_NE("?", s.thumbnail.corner) << "commands " << s.commands;
            sequences.push_back(s);
            entries.push_back(entry);
        }
    }
    ASSERT_EQ(341u, sequences.size());

    // One picture a page; the builder takes at most 200 entries, so two documents.
    PdfSettingsRecord settings;
    SetDefaultPdfSettings(&settings);
    settings.imageQuality = 0.0;  // small pictures: quick to encode and to render
    size_t checked = 0;
    for (size_t start = 0; start < entries.size(); start += MaxPdfImages) {
        size_t end = std::min(entries.size(), start + (size_t)MaxPdfImages);
        ImageCollectionType part(entries.begin() + start, entries.begin() + end);
        std::string pdf = folder + "/part" + std::to_string(start) + ".pdf";
        pdftest::FakeHost host;
        ASSERT_EQ(1, BuildPdfDocument(part, settings, pdf.c_str(), host));
        ASSERT_TRUE(host.failures.empty());
        std::vector<FIBITMAP*> pages = RenderAllPages(pdf, (int)part.size(), 12);
        ASSERT_EQ(part.size(), pages.size());
        for (size_t i = 0; i < pages.size(); i++) {
            const Sequence& s = sequences[start + i];
            EXPECT_EQ(LookText(s.thumbnail), LookText(PageLook(pages[i])))
                << "commands " << s.commands << " (rotation " << part[i].rotation << ", flips "
                << part[i].flips << ")";
            FreeImage_Unload(pages[i]);
            checked++;
        }
    }
    EXPECT_EQ(341u, checked);
}
