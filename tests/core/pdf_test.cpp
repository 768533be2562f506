// The PDF as written: pages, cells, pictures and captions read back with libqpdf, the
// builder's failure paths (too many pictures, unreadable files, Cancel, a failed save),
// the preview's pages against the PDF's, and what the user sees after turning and
// mirroring against what the PDF shows.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "picture/thumbnail.h"
#include "model/preview_geometry.h"
#include "model/transform_rules.h"
#include "pdf/pdf_document.h"
#include "model/page_geometry.h"
#include "support/support.h"

namespace {

class PdfBuilder : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        SetDefaultPdfSettings(&settings_);
        PdfSetTextCodePage(1252);
    }
    // A red PNG of the given size, made once per test.
    std::string Picture(unsigned w, unsigned h)
    {
        std::string path = folder_ + "/" + std::to_string(w) + "x" + std::to_string(h) + ".png";
        if (!FileExists(path)) {
            ByteVec png = EncodeAndUnload(MakeSolid(w, h, Red), FIF_PNG);
            WriteWholeFile(path, std::string(png.begin(), png.end()));
        }
        return path;
    }
    std::string Out() const { return folder_ + "/out.pdf"; }
    int Build(const ImageCollectionType& images)
    {
        return BuildPdfDocument(images, settings_, Out().c_str(), host_, host_, host_);
    }
    PdfReadBack BuildAndRead(const ImageCollectionType& images, const char* password = "")
    {
        EXPECT_EQ(1, Build(images));
        EXPECT_TRUE(host_.failures.empty());
        PdfReadBack pdf = ReadPdfFile(Out(), password);
        EXPECT_TRUE(pdf.opened) << pdf.error;
        return pdf;
    }
    std::string folder_;
    PdfSettingsRecord settings_;
    FakeHost host_;
};

// Left and top edge (y upwards) and size of a rectangle or a placed picture.
std::vector<double> Box(const PdfRect& r) { return {r.x, r.y + r.height, r.width, r.height}; }

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

TEST_F(PdfBuilder, CellsAndPicturesOfEachLayout)
{
    struct Case {
        LayoutMode layout;
        unsigned w, h;
        int count, pixelWidth;  // quality 0.3: 30 % of the way from drawn to full size
        std::vector<std::vector<double>> cells, pictures;  // left, top, width, height
    } cases[] = {
        {LayoutOnePerPage, 2000, 3000, 1, 936, {{36, 756, 540, 720}}, {{66, 756, 480, 720}}},
        {LayoutTwoPerPage, 800, 600, 2, 559,  // wide pictures: stacked on a portrait page
         {{36, 756, 540, 342}, {36, 378, 540, 342}},
         {{78, 756, 456, 342}, {78, 378, 456, 342}}},
        {LayoutFourPerPage, 60, 80, 4, 60,  // rows from the top left; never enlarged
         {{36, 756, 252, 342}, {324, 756, 252, 342}, {36, 378, 252, 342}, {324, 378, 252, 342}},
         {{36, 753, 252, 336}, {324, 753, 252, 336}, {36, 375, 252, 336}, {324, 375, 252, 336}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        settings_.layout = c.layout;
        PdfReadBack pdf = BuildAndRead(ImageCollectionType(c.count + 1, Entry(Picture(c.w, c.h))));
        ASSERT_EQ(2u, pdf.pages.size()) << "one picture more starts a new page";
        const PdfPage& page = pdf.pages[0];
        ASSERT_EQ(2u * c.count, page.rects.size());
        ASSERT_EQ((size_t)c.count, page.images.size());
        for (int i = 0; i < c.count; i++) {
            EXPECT_TRUE(page.rects[2 * i].filled);  // the grey background, then the frame
            EXPECT_EQ(c.cells[i], Box(page.rects[2 * i])) << "cell " << i;
            EXPECT_EQ(c.cells[i], Box(page.rects[2 * i + 1])) << "frame " << i;
            EXPECT_EQ(c.pictures[i], Box(page.images[i])) << "picture " << i;
        }
        EXPECT_EQ(c.pictures[0], Box(pdf.pages[1].images[0]));
        EXPECT_EQ(c.pixelWidth, page.images[0].pixelWidth);
    }
}

// The first picture of each page turns it (pictures W wide, T tall, S square; pages P
// portrait, L landscape), and the preview's pages turn alike and are the PDF's scaled:
// their cells and pictures have the PDF's proportions, to the pixel.
TEST_F(PdfBuilder, FirstPictureOfEachPageChoosesItsOrientationAndThePreviewDrawsThePdfPages)
{
    const struct { LayoutMode layout; const char *paper, *pictures, *pages; } cases[] = {
        {LayoutOnePerPage, "Letter", "TWS", "PLL"}, {LayoutOnePerPage, "Letter", "SWTS", "LLPP"},
        {LayoutTwoPerPage, "Letter", "WWTTS", "PLL"},  // the other way
        {LayoutTwoPerPage, "Letter", "TWWTS", "LPP"}, {LayoutFourPerPage, "Letter", "TTTTS", "PP"},
        {LayoutFourPerPage, "Letter", "WTTTTTTTWWWWS", "LPLL"}, {LayoutOnePerPage, "A4", "TW", "PL"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout << " " << c.paper << " " << c.pictures);
        settings_.layout = c.layout;
        snprintf(settings_.pageSizeName, sizeof settings_.pageSizeName, "%s", c.paper);
        std::vector<std::pair<unsigned, unsigned>> sizes;
        ImageCollectionType images;
        for (const char* k = c.pictures; *k; k++) {
            sizes.push_back(*k == 'W' ? std::make_pair(80u, 60u) : *k == 'T' ? std::make_pair(60u, 80u)
                                                                             : std::make_pair(50u, 50u));
            images.push_back(Entry(Picture(sizes.back().first, sizes.back().second)));
        }
        const PdfReadBack pdf = BuildAndRead(images);
        std::string pages;
        for (const PdfPage& page : pdf.pages) {
            pages += page.width < page.height ? 'P' : 'L';
            EXPECT_NEAR(c.paper[0] == 'A' ? 595.276 : 612, std::min(page.width, page.height), 0.001);
        }
        ASSERT_EQ(c.pages, pages);

        double paperWidth, paperHeight;
        ASSERT_TRUE(PaperSizeInPoints(c.paper, &paperWidth, &paperHeight));
        const int per = ImagesPerPage(c.layout);
        PreviewPages preview((unsigned)paperWidth, (unsigned)paperHeight, settings_.pageMargin,
                             settings_.cellGap, per);
        for (size_t i = 0; i < sizes.size(); i++) {
            EXPECT_EQ(i % per == 0, preview.Place(sizes[i].first, sizes[i].second));
            const PdfPage& page = pdf.pages[i / per];
            const CanvasRect& s = preview.Sheet();
            EXPECT_EQ(page.width < page.height, s.width < s.height) << "page " << i / per;
            // Each edge of the cell and of the picture as a part of the page's side.
            const std::pair<PdfRect, CanvasRect> drawn[] = {
                {page.rects[2 * (i % per)], preview.Cell()}, {page.images[i % per], preview.Picture()}};
            for (const auto& d : drawn) {
                const PdfRect& p = d.first;
                const CanvasRect& r = d.second;
                const double inPdf[] = {p.x / page.width, p.y / page.height,
                                        (p.x + p.width) / page.width, (p.y + p.height) / page.height};
                const double inPreview[] = {(double)(r.left - s.left) / s.width,
                                            1 - (double)(r.top + r.height - s.top) / s.height,
                                            (double)(r.left + r.width - s.left) / s.width,
                                            1 - (double)(r.top - s.top) / s.height};
                for (int e = 0; e < 4; e++)
                    EXPECT_NEAR(inPdf[e], inPreview[e], 1.0 / std::min(s.width, s.height))
                        << "picture " << i << ", edge " << e;
            }
        }
    }
}

// Pictures made ahead of their turn by several workers, each planned for the page the
// ones before it were guessed to leave, come out as when made one at a time: guesses go
// wrong after an unreadable file, a square picture and a turned one. Files that cannot be
// read (missing, no picture, cut short) are reported and take no cell: no blank page.
TEST_F(PdfBuilder, PicturesMadeAheadAreThoseMadeOneAtATimeAndUnreadableFilesTakeNoCell)
{
    const std::string wide = Picture(1600, 1200), tall = Picture(1200, 1600),
                      square = Picture(1400, 1400), missing = folder_ + "/missing.png",
                      garbage = folder_ + "/garbage.jpg", cut = folder_ + "/cut.png";
    WriteWholeFile(garbage, "no picture here");
    WriteWholeFile(cut, ReadWholeFile(wide).substr(0, 40));
    ImageCollectionType images = {Entry(wide), Entry(tall), Entry(missing), Entry(square),
                                  Entry(wide, NoCaption, 90), Entry(garbage), Entry(tall),
                                  Entry(tall), Entry(square), Entry(cut), Entry(wide)};
    for (ImageEntry& e : images)  // each as its thumbnail shows it
        if (e.path != square)
            e.pictureRect = e.path == tall || e.rotation ? PictureRect{12, 0, 84, 96}
                                                         : PictureRect{0, 12, 96, 84};
    for (LayoutMode layout : {LayoutOnePerPage, LayoutTwoPerPage, LayoutFourPerPage}) {
        settings_.layout = layout;
        std::vector<std::vector<double>> expected;
        for (int workers : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << "layout " << layout << ", workers " << workers);
            host_ = FakeHost();
            host_.workers = workers;
            std::vector<std::vector<double>> placed;
            const PdfReadBack pdf = BuildAndRead(images);
            for (const PdfPage& page : pdf.pages)
                for (const PdfRect& r : page.images)
                    placed.push_back({r.x, r.y, r.width, r.height, (double)r.pixelWidth,
                                      (double)r.pixelHeight});
            EXPECT_EQ(8u, placed.size());
            EXPECT_EQ(8u / ImagesPerPage(layout), pdf.pages.size());
            if (workers == 1) expected = placed;
            EXPECT_EQ(expected, placed);
            EXPECT_EQ(11, host_.steps);
            for (const std::string& bad : {missing, garbage, cut})
                EXPECT_EQ(1, std::count(host_.messages.begin(), host_.messages.end(),
                                        "Error, could not open image file [" + bad + "]."));
        }
    }
}

// Cancelled after `pumps` pumps (3: as the last picture came), a write that fails (after
// leaving junk at the path, or not), a picture the spool cannot take (the temporary folder
// gone), or more than 200 pictures: never a PDF without a picture that was to be in it,
// and the file that was there stays. Then 200 pictures are written.
TEST_F(PdfBuilder, CancelAFailedSaveOrTooManyPicturesKeepTheOldFileAndRemoveOnlyTheirOwnLeftovers)
{
    const std::string p = Picture(2, 2);
    const char* const saveFailed = "PDF Save Failed.";
    const struct {
        int pumps, spoolRoom;
        bool failWrites, leaveJunk;
        int count;
        const char* failure;  // in the "PDF Error" box; null: none
    } cases[] = {
        {0, -1, false, false, 3, nullptr}, {2, -1, false, false, 3, nullptr},
        {3, -1, false, false, 3, nullptr}, {-1, -1, true, false, 3, saveFailed},
        {-1, 1, false, false, 3, saveFailed}, {-1, -1, true, true, 3, saveFailed},
        {-1, -1, false, false, MaxPdfImages + 1, "Only a maximum of 200 images is supported."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pumps << " " << c.spoolRoom << " " << c.leaveJunk);
        ASSERT_TRUE(WriteWholeFile(Out(), "earlier"));
        if (c.leaveJunk) std::remove(Out().c_str());
        host_ = FakeHost();
        host_.continuePumps = c.pumps, host_.spoolRoom = c.spoolRoom;
        host_.failWrites = c.failWrites, host_.leaveJunk = c.leaveJunk;
        EXPECT_EQ(c.failure ? 0 : 1, Build(ImageCollectionType(c.count, Entry(p))));
        EXPECT_EQ(c.failure ? std::vector<std::string>{c.failure} : std::vector<std::string>(),
                  host_.failures);
        if (c.pumps >= 0 || c.count > MaxPdfImages) {  // nothing written, no picture too many
            EXPECT_EQ(std::max(c.pumps, 0), host_.steps);
            EXPECT_EQ(0, host_.writes);
        }
        EXPECT_NE(c.leaveJunk, FileExists(Out()));  // the junk, its own, is removed
        EXPECT_EQ(c.leaveJunk ? "" : "earlier", ReadWholeFile(Out()));
        if (!c.leaveJunk) EXPECT_TRUE(host_.deleted.empty());
    }
    host_ = FakeHost();  // the document was freed: the next run makes one
    EXPECT_EQ(200u, BuildAndRead(ImageCollectionType(MaxPdfImages, Entry(p))).pages.size());
}

// A password encrypts with AES-256 and every permission. Users of other code pages: the
// password arrives as UTF-8 (read as typed in UTF-16) and opens the PDF, its code-page
// reading does not; the caption, in the code page's bytes, comes back out of the PDF as
// the same text (East Asian pages through libharu's CJK fonts), under its cell. Captions
// that start with the placeholder are not drawn.
TEST_F(PdfBuilder, PasswordsEncryptWithAes256AndCaptionsOfEveryCodePageReadBack)
{
    struct Case {
        int codePage;
        const char *password, *wrong, *caption, *text;  // wrong: the same bytes misread
    } cases[] = {
        {932, "\xe3\x83\x91\xe3\x82\xb9", "\xc6\x92p\xc6\x92X", "\x8e\xca\x90\x5e A1",
         "\xe5\x86\x99\xe7\x9c\x9f"},                                              // パス, 写真
        {936, "k", "K", "\xd5\xd5\xc6\xac B2", "\xe7\x85\xa7\xe7\x89\x87"},        // 照片
        {949, "k", "K", "\xbb\xe7\xc1\xf8 C3", "\xec\x82\xac\xec\xa7\x84"},        // 사진
        {950, "k", "K", "\xb7\xd3\xa4\xf9 D4", "\xe7\x85\xa7\xe7\x89\x87"},        // 照片
        {1251, "\xd0\x94\xd0\xb0", "\xc4\xe0", "\xc4\xe0", "\xd0\x94\xd0\xb0"},   // Да
        {1252, "Caf\xc3\xa9", "Caf\xe9", "Caf\xe9", "Caf\xc3\xa9"},               // Café
    };
    const std::string p = Picture(80, 60), text = folder_ + "/out.txt";
    settings_.layout = LayoutFourPerPage;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        PdfSetTextCodePage(c.codePage);
        host_ = FakeHost();
        snprintf(settings_.password, sizeof settings_.password, "%s", c.password);
        PdfReadBack pdf = BuildAndRead({Entry(p, "[no caption]"), Entry(p, "[no caption] more"),
                                        Entry(p, "[no captio"), Entry(p, c.caption)}, c.password);
        ASSERT_EQ(1u, pdf.pages.size());
        const std::vector<PdfText>& texts = pdf.pages[0].texts;
        ASSERT_EQ(2u, texts.size());
        EXPECT_EQ("[no captio", texts[0].bytes);
        EXPECT_EQ(c.caption, texts[1].bytes);
        EXPECT_TRUE(texts[1].y < 36 && texts[1].x > 414) << "under the fourth cell";
        if (c.codePage == 1252) EXPECT_EQ("/WinAnsiEncoding", texts[1].encoding);
        EXPECT_TRUE(pdf.encrypted && pdf.aes256);
        EXPECT_EQ(6, pdf.R);
        EXPECT_EQ(-4, pdf.P);  // every permission
        EXPECT_EQ("Tolvane 2.0", pdf.creator);
        EXPECT_FALSE(ReadPdfFile(Out(), c.wrong).opened);
        std::string command = "pdftotext -enc UTF-8 -upw '" + std::string(c.password) + "' '" +
                              Out() + "' '" + text + "' 2>/dev/null";
        ASSERT_EQ(0, system(command.c_str()));
        EXPECT_NE(std::string::npos, ReadWholeFile(text).find(c.text)) << ReadWholeFile(text);
    }
}

// A CMYK JPEG as Photoshop writes it (inverted, with an Adobe block; ImageMagick writes
// them so) goes in as it is at the highest quality and shows its own colours.
TEST_F(PdfBuilder, AnAdobeCmykJpegKeptAsItIsShowsItsColours)
{
    const std::string path = folder_ + "/cmyk.jpg";
    const std::string command = "convert -size 120x80 xc:red -fill blue -draw 'rectangle 60,0 119,79' "
                                "-colorspace CMYK -strip -quality 95 '" + path + "'";
    ASSERT_EQ(0, system(command.c_str()));
    const std::string file = ReadWholeFile(path);
    ASSERT_NE(std::string::npos, file.find("Adobe"));
    settings_.imageQuality = 1.0;
    ASSERT_EQ(1, Build({Entry(path)}));
    const PdfReadBack pdf = ReadPdfFile(Out());
    ASSERT_EQ(1u, pdf.pages.size());
    ASSERT_EQ(1u, pdf.pages[0].images.size());
    EXPECT_TRUE(pdf.pages[0].images[0].data == file);
    const std::vector<BitmapOwner> pages = RenderPages(Out(), 24);
    ASSERT_EQ(1u, pages.size());
    FIBITMAP* page = pages[0].get();
    int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;  // the picture: its coloured pixels
    for (int y = 0; y < (int)FreeImage_GetHeight(page); y++)
        for (int x = 0; x < (int)FreeImage_GetWidth(page); x++) {
            const Rgb p = PixelAt(page, x, y);
            if (std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) > 64)
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        }
    ASSERT_GT(right - left, 40);
    const int middle = (top + bottom) / 2;
    EXPECT_TRUE(Near(Red, PixelAt(page, left + (right - left) / 4, middle), 40));
    const Rgb blue = PixelAt(page, right - (right - left) / 4, middle);  // as a reader mixes inks
    EXPECT_TRUE(blue.b > 120 && blue.b > blue.r + 60 && blue.b > blue.g + 60) << blue.r << " " << blue.g << " " << blue.b;
}

TEST_F(PdfBuilder, EveryCommandSequenceLooksInThePdfAsInTheThumbnail)
{
    // A landscape picture, blue with a red mark in its top-left corner.
    const std::string path = folder_ + "/marked.png";
    FIBITMAP* picture = MakeSolid(120, 80, Blue);
    FillRect(picture, 0, 0, 40, 27, Red);
    ByteVec bytes = EncodeAndUnload(picture, FIF_PNG);
    ASSERT_TRUE(WriteWholeFile(path, std::string(bytes.begin(), bytes.end())));
    static ThumbnailPixels first, thumb;
    ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "marked.png", &first));
    ASSERT_EQ("TL landscape", ThumbnailLook(first.bgra.data(), first.pictureRect));

    // Each command alone, as the user expects to see it; every sequence of up to four
    // commands as the thumbnail shows it, each state of the entry drawn once in the PDF.
    const char* alone[] = {"TR landscape", "BL landscape", "TR portrait", "BL portrait"};
    std::map<std::pair<int, int>, std::string> looks;  // by rotation and flips
    ImageCollectionType entries;
    for (int n = 0, combinations = 1; n <= 4; n++, combinations *= 4) {
        for (int code = 0; code < combinations; code++) {
            thumb = first;
            ImageEntry entry = MakeImageEntry(0, path.c_str(), first.pictureRect);
            std::string commands;
            for (int i = 0, c = code; i < n; i++, c /= 4) {
                ASSERT_TRUE(TransformThumbnailPixels(thumb.bgra.data(), Modes[c % 4]));
                ApplyTransformToEntry(&entry, Modes[c % 4]);
                commands += std::to_string(Modes[c % 4]);
            }
            const std::string look = ThumbnailLook(thumb.bgra.data(), entry.pictureRect);
            if (n == 1) EXPECT_EQ(alone[code], look) << "command " << commands;
            const auto state = looks.emplace(std::make_pair(entry.rotation, entry.flips), look);
            if (state.second) entries.push_back(entry);
            EXPECT_EQ(state.first->second, look) << "commands " << commands << " reach a state again";
        }
    }
    // The same picture as a camera JPEG stored on its side (turned a quarter to the left,
    // its Exif saying so): at the highest quality its own data goes in, laid down by the
    // page, and each state looks as its thumbnail.
    const std::string sideways = folder_ + "/sideways.jpg";
    FIBITMAP* marked = MakeSolid(120, 80, Blue);
    FillRect(marked, 0, 0, 40, 27, Red);
    const ByteVec stored = EncodeAndUnload(FreeImage_Rotate(marked, 90), FIF_JPEG, 95);
    FreeImage_Unload(marked);
    const ByteVec camera = WithExifOrientation(stored, 6);
    ASSERT_TRUE(WriteWholeFile(sideways, std::string(camera.begin(), camera.end())));
    ASSERT_TRUE(MakeThumbnailPixels(camera.data(), camera.size(), "sideways.jpg", &thumb));
    ASSERT_EQ("TL landscape", ThumbnailLook(thumb.bgra.data(), thumb.pictureRect));

    for (const char* kind : {"PNG", "JPEG"}) {
        SCOPED_TRACE(kind);
        const bool jpeg = kind[0] == 'J';
        ImageCollectionType files = entries;
        for (size_t i = 0; jpeg && i < files.size(); i++) {
            files[i] = MakeImageEntry(0, sideways.c_str(), entries[i].pictureRect);
            files[i].rotation = entries[i].rotation, files[i].flips = entries[i].flips;
        }
        settings_.imageQuality = jpeg ? 1.0 : 0.0;  // the PNG's pictures small: quick to render
        ASSERT_EQ(1, Build(files));
        std::vector<BitmapOwner> pages = RenderPages(Out(), 12);
        ASSERT_EQ(files.size(), pages.size());
        for (size_t i = 0; i < pages.size(); i++)
            EXPECT_EQ(looks.at(std::make_pair(files[i].rotation, files[i].flips)),
                      PageLook(pages[i].get()))
                << "rotation " << files[i].rotation << ", flips " << files[i].flips;
        if (!jpeg) continue;
        const PdfReadBack pdf = ReadPdfFile(Out());
        for (const PdfPage& page : pdf.pages) {
            ASSERT_EQ(1u, page.images.size());
            EXPECT_TRUE(page.images[0].data == std::string(stored.begin(), stored.end()));
        }
    }
}
