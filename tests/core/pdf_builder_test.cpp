#include <gtest/gtest.h>

#include <FreeImage.h>

#include <algorithm>
#include <map>

#include "pdf/pdf_builder.h"
#include "pdf/pdf_library.h"
#include "pdf/pdf_settings.h"
#include "pdf_test_support.h"

using namespace pdftest;

namespace {

const Rgb Red = {255, 0, 0}, Blue = {0, 0, 255}, Grey = {128, 128, 128};
const Rgb Black = {0, 0, 0}, White = {255, 255, 255};

struct Size {
    double width, height;
};
const Size LetterPortrait = {612, 792}, LetterLandscape = {792, 612};
const Size A4Portrait = {595.276, 841.89}, A4Landscape = {841.89, 595.276};

class PdfBuilder : public testing::Test {
protected:
    void SetUp() override
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = TestFolder(std::string(test->test_suite_name()) + "." + test->name());
        SetDefaultPdfSettings(&settings_);
        PdfSetTextCodePage(1252);
    }

    // A PNG of the given size, made once per test.
    std::string Picture(unsigned w, unsigned h, Rgb left = Red, Rgb right = Red)
    {
        char name[96];
        snprintf(name, sizeof name, "/p%ux%u-%d-%d.png", w, h, left.red, right.red);
        std::string path = folder_ + name;
        if (!FileExists(path)) SavePicture(path, w, h, left, right);
        return path;
    }
    std::string Out() const { return folder_ + "/out.pdf"; }
    int Build(const ImageCollectionType& images)
    {
        return BuildPdfDocument(images, settings_, Out().c_str(), host_);
    }
    PdfReadBack BuildAndRead(const ImageCollectionType& images, const char* password = "")
    {
        EXPECT_EQ(1, Build(images));
        EXPECT_TRUE(host_.failures.empty());
        PdfReadBack pdf = ReadPdf(Out(), password);
        EXPECT_TRUE(pdf.opened) << pdf.error;
        return pdf;
    }

    std::string folder_;
    PdfSettingsRecord settings_;
    FakeHost host_;
};

void ExpectPageSize(Size expected, const PageContent& page)
{
    EXPECT_EQ(0, page.mediaBox[0]);
    EXPECT_EQ(0, page.mediaBox[1]);
    EXPECT_NEAR(expected.width, page.mediaBox[2], 0.001);
    EXPECT_NEAR(expected.height, page.mediaBox[3], 0.001);
}

// The cell of a page, given by its left and top edges as the builder lays it out.
void ExpectCell(const DrawnRect& r, bool filled, double left, double top, double w, double h)
{
    EXPECT_EQ(filled, r.filled);
    EXPECT_EQ(left, r.x);
    EXPECT_EQ(top - h, r.y);
    EXPECT_EQ(w, r.width);
    EXPECT_EQ(h, r.height);
}

void ExpectPlaced(const PlacedImage& image, double left, double top, double w, double h)
{
    EXPECT_EQ(left, image.x);
    EXPECT_EQ(top - h, image.y);
    EXPECT_EQ(w, image.width);
    EXPECT_EQ(h, image.height);
}

}  // namespace

TEST_F(PdfBuilder, OneUpLetterDrawsBackgroundPictureFrameAndCaption)
{
    PdfReadBack pdf = BuildAndRead({Entry(Picture(400, 600), "Holiday")});
    ASSERT_EQ(1u, pdf.pages.size());
    const PageContent& page = pdf.pages[0];
    ExpectPageSize(LetterPortrait, page);
    ASSERT_EQ(2u, page.rects.size());
    ExpectCell(page.rects[0], true, 36, 756, 540, 720);   // grey background first
    ExpectCell(page.rects[1], false, 36, 756, 540, 720);  // then the frame
    ASSERT_EQ(1u, page.images.size());
    ExpectPlaced(page.images[0], 66, 756, 480, 720);  // 400 x 600 fitted, centred
    ASSERT_EQ(1u, page.texts.size());
    EXPECT_EQ("Holiday", page.texts[0].bytes);
    EXPECT_GT(page.texts[0].y, 36 - 14);  // in the 14-point box under the cell
    EXPECT_LT(page.texts[0].y, 36);
    EXPECT_GT(page.texts[0].x, 250);  // centred under the cell (centre 306)
    EXPECT_LT(page.texts[0].x, 306);
    EXPECT_EQ("/FlateDecode", page.contentFilter);

    FIBITMAP* shown = RenderPage(Out(), 1, 72);
    ASSERT_NE(nullptr, shown);
    auto at = [&](int x, int y) { return PixelAt(shown, x, 792 - y); };  // page points
    EXPECT_TRUE(Near(Red, at(306, 400)));    // the picture
    EXPECT_TRUE(Near(Grey, at(50, 400)));    // the background beside it
    EXPECT_TRUE(Near(Black, at(36, 400)));   // the frame
    EXPECT_TRUE(Near(White, at(20, 400)));   // the margin
    EXPECT_TRUE(Near(White, at(306, 770)));
    FreeImage_Unload(shown);
}

TEST_F(PdfBuilder, TwoUpWidePicturesStackOnAPortraitPage)
{
    settings_.layout = LayoutTwoPerPage;
    std::string wide = Picture(800, 600);
    PdfReadBack pdf = BuildAndRead({Entry(wide), Entry(wide)});
    ASSERT_EQ(1u, pdf.pages.size());
    const PageContent& page = pdf.pages[0];
    ExpectPageSize(LetterPortrait, page);  // the document starts landscape; wide turns it
    ASSERT_EQ(4u, page.rects.size());
    ExpectCell(page.rects[0], true, 36, 756, 540, 342);
    ExpectCell(page.rects[2], true, 36, 378, 540, 342);
    ASSERT_EQ(2u, page.images.size());
    ExpectPlaced(page.images[0], 78, 756, 456, 342);
    ExpectPlaced(page.images[1], 78, 378, 456, 342);
    EXPECT_TRUE(page.texts.empty());  // "[no caption]"
}

TEST_F(PdfBuilder, FourUpFillsRowsAndStartsANewPageAfterFour)
{
    std::string tall = Picture(60, 80);
    ImageCollectionType images(5, Entry(tall));
    settings_.layout = LayoutFourPerPage;
    PdfReadBack pdf = BuildAndRead(images);
    ASSERT_EQ(2u, pdf.pages.size());
    ExpectPageSize(LetterPortrait, pdf.pages[0]);
    const double cells[4][2] = {{36, 756}, {324, 756}, {36, 378}, {324, 378}};
    ASSERT_EQ(8u, pdf.pages[0].rects.size());
    ASSERT_EQ(4u, pdf.pages[0].images.size());
    for (int i = 0; i < 4; ++i) {
        ExpectCell(pdf.pages[0].rects[2 * i], true, cells[i][0], cells[i][1], 252, 342);
        ExpectCell(pdf.pages[0].rects[2 * i + 1], false, cells[i][0], cells[i][1], 252, 342);
        // 60 x 80 fitted into 252 x 342: 252 x 336, 3 points below the cell's top
        ExpectPlaced(pdf.pages[0].images[i], cells[i][0], cells[i][1] - 3, 252, 336);
    }
    ASSERT_EQ(1u, pdf.pages[1].images.size());
    ExpectPlaced(pdf.pages[1].images[0], 36, 753, 252, 336);
}

TEST_F(PdfBuilder, FirstPictureOfEachPageChoosesItsOrientation)
{
    struct Case {
        const char* what;
        LayoutMode layout;
        const char* paper;
        std::vector<std::pair<unsigned, unsigned>> pictures;
        std::vector<Size> pages;
    } cases[] = {
        {"one-up: tall, wide, square keeps the page before", LayoutOnePerPage, "Letter",
         {{60, 80}, {80, 60}, {50, 50}}, {LetterPortrait, LetterLandscape, LetterLandscape}},
        {"one-up: a square first picture gives a landscape first page", LayoutOnePerPage,
         "Letter", {{50, 50}, {60, 80}, {50, 50}},
         {LetterLandscape, LetterPortrait, LetterPortrait}},
        {"one-up: wide first picture", LayoutOnePerPage, "Letter", {{80, 60}}, {LetterLandscape}},
        {"two-up: wide pictures on a portrait page", LayoutTwoPerPage, "Letter",
         {{80, 60}, {80, 60}}, {LetterPortrait}},
        {"two-up: tall pictures side by side", LayoutTwoPerPage, "Letter",
         {{60, 80}, {60, 80}}, {LetterLandscape}},
        {"two-up: only the first picture of a page decides", LayoutTwoPerPage, "Letter",
         {{60, 80}, {80, 60}, {80, 60}, {60, 80}}, {LetterLandscape, LetterPortrait}},
        {"four-up follows the picture", LayoutFourPerPage, "Letter",
         {{80, 60}, {60, 80}, {60, 80}, {60, 80}, {60, 80}}, {LetterLandscape, LetterPortrait}},
        {"A4 one-up", LayoutOnePerPage, "A4", {{60, 80}, {80, 60}}, {A4Portrait, A4Landscape}},
        {"A4 two-up, square first: landscape", LayoutTwoPerPage, "A4", {{50, 50}}, {A4Landscape}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings_.layout = c.layout;
        snprintf(settings_.pageSizeName, sizeof settings_.pageSizeName, "%s", c.paper);
        ImageCollectionType images;
        for (auto& p : c.pictures) images.push_back(Entry(Picture(p.first, p.second)));
        PdfReadBack pdf = BuildAndRead(images);
        ASSERT_EQ(c.pages.size(), pdf.pages.size());
        for (size_t i = 0; i < c.pages.size(); ++i) ExpectPageSize(c.pages[i], pdf.pages[i]);
    }
}

TEST_F(PdfBuilder, TwoUpTallPicturesGetSideBySideCells)
{
    settings_.layout = LayoutTwoPerPage;
    std::string tall = Picture(60, 80);
    PdfReadBack pdf = BuildAndRead({Entry(tall), Entry(tall)});
    ASSERT_EQ(1u, pdf.pages.size());
    ASSERT_EQ(4u, pdf.pages[0].rects.size());
    ExpectCell(pdf.pages[0].rects[0], true, 36, 576, 342, 540);
    ExpectCell(pdf.pages[0].rects[2], true, 414, 576, 342, 540);
}

TEST_F(PdfBuilder, QualityChoosesThePixelSizeOfLargePictures)
{
    struct Case {
        unsigned w, h;
        double quality;
        int pixelWidth, pixelHeight;
        double left, top, drawnWidth, drawnHeight;
    } cases[] = {
        // a tall picture on a portrait page: 540 x 720 cell, drawn 480 x 720
        {2000, 3000, 0.0, 480, 720, 66, 756, 480, 720},  // one pixel per point drawn
        {2000, 3000, 0.3, 936, 1404, 66, 756, 480, 720},  // 480 + 456, 720 + 684
        {2000, 3000, 1.0, 2000, 3000, 66, 756, 480, 720},
        // a wide one on a landscape page: 720 x 540 cell, drawn 720 x 480
        {3000, 2000, 0.0, 720, 480, 36, 546, 720, 480},
        {3000, 2000, 0.3, 1404, 936, 36, 546, 720, 480},
        {3000, 2000, 1.0, 3000, 2000, 36, 546, 720, 480},
        {300, 200, 0.0, 300, 200, 36, 546, 720, 480},  // smaller than drawn: kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " at " << c.quality);
        settings_.imageQuality = c.quality;
        PdfReadBack pdf = BuildAndRead({Entry(Picture(c.w, c.h))});
        ASSERT_EQ(1u, pdf.pages.size());
        ASSERT_EQ(1u, pdf.pages[0].images.size());
        const PlacedImage& image = pdf.pages[0].images[0];
        EXPECT_EQ(c.pixelWidth, image.pixelWidth);
        EXPECT_EQ(c.pixelHeight, image.pixelHeight);
        ExpectPlaced(image, c.left, c.top, c.drawnWidth, c.drawnHeight);
    }
}

TEST_F(PdfBuilder, ThinPictureIsDrawnAtLeastOnePointWide)
{
    settings_.imageQuality = 0;
    PdfReadBack pdf = BuildAndRead({Entry(Picture(1, 1000))});
    ASSERT_EQ(1u, pdf.pages[0].images.size());
    const PlacedImage& image = pdf.pages[0].images[0];
    EXPECT_EQ(1, image.width);  // 720 / 1000 would truncate to nothing
    EXPECT_EQ(720, image.height);
    EXPECT_EQ(1, image.pixelWidth);  // not larger than drawn across: never resampled
    EXPECT_EQ(1000, image.pixelHeight);
}

TEST_F(PdfBuilder, InformationEntries)
{
    PdfReadBack pdf = BuildAndRead({Entry(Picture(8, 6))});
    std::map<std::string, std::string> expected = {
        {"/Author", "Tolvane (https://www.quorrel.com/tolvane)"},
        {"/Title", "Shared Images"},
        {"/Subject", "Images"},
        {"/Creator", "Tolvane 2.0"},
        {"/Producer", "Quorrel, Inc."},
    };
    EXPECT_EQ(expected, pdf.info);
}

TEST_F(PdfBuilder, CaptionsAreDrawnUnlessTheyStartWithThePlaceholder)
{
    settings_.layout = LayoutFourPerPage;
    std::string p = Picture(80, 60);
    PdfReadBack pdf = BuildAndRead({Entry(p, "[no caption]"), Entry(p, "[no caption] but more"),
                                    Entry(p, "[no captio"), Entry(p, "Caf\xe9 \xc5ngstr\xf6m")});
    ASSERT_EQ(1u, pdf.pages.size());
    const std::vector<ShownText>& texts = pdf.pages[0].texts;
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ("[no captio", texts[0].bytes);
    EXPECT_EQ("Caf\xe9 \xc5ngstr\xf6m", texts[1].bytes);  // code page 1252 bytes...
    EXPECT_EQ("/WinAnsiEncoding", texts[1].encoding);      // ...in a font that reads them so
    EXPECT_EQ("/Helvetica", texts[1].baseFont);
    // Landscape four-up: the fourth cell's box lies under its bottom edge at 288 - 252.
    EXPECT_GT(texts[1].y, 36 - 14);
    EXPECT_LT(texts[1].y, 36);
    EXPECT_GT(texts[1].x, 414);
}

TEST_F(PdfBuilder, TwoHundredImagesAreAccepted)
{
    ImageCollectionType images(MaxPdfImages, Entry(Picture(2, 2)));
    PdfReadBack pdf = BuildAndRead(images);
    EXPECT_EQ(200u, pdf.pages.size());
    EXPECT_EQ(200, host_.steps);
}

TEST_F(PdfBuilder, TwoHundredAndOneAreRefusedBeforeAnyPageAndAnExistingFileIsKept)
{
    ASSERT_TRUE(WriteFileReplacing(Out().c_str(), (const uint8_t*)"earlier", 7));
    ImageCollectionType images(MaxPdfImages + 1, Entry(Picture(2, 2)));
    EXPECT_EQ(0, Build(images));
    const std::string message = "Only a maximum of 200 images is supported.";
    EXPECT_EQ(std::vector<std::string>{message}, host_.failures);
    EXPECT_EQ(std::vector<std::string>{message}, host_.messages);
    EXPECT_EQ(0, host_.pumps);
    EXPECT_EQ(0, host_.steps);
    EXPECT_EQ(0, host_.writes);
    EXPECT_TRUE(host_.deleted.empty());
    EXPECT_EQ("earlier", ReadWholeFile(Out()));

    std::remove(Out().c_str());
    EXPECT_EQ(0, Build(images));
    EXPECT_FALSE(FileExists(Out()));
}

TEST_F(PdfBuilder, UnreadableFileBetweenTwoGoodOnesTakesNoCell)
{
    std::string garbage = folder_ + "/garbage.jpg", empty = folder_ + "/empty.png";
    std::string cut = folder_ + "/cut.png";
    ASSERT_TRUE(WriteFileReplacing(garbage.c_str(), (const uint8_t*)"no picture here", 15));
    ASSERT_TRUE(WriteFileReplacing(empty.c_str(), (const uint8_t*)"", 0));
    std::string png = ReadWholeFile(Picture(80, 60));
    ASSERT_TRUE(WriteFileReplacing(cut.c_str(), (const uint8_t*)png.data(), 40));
    settings_.layout = LayoutTwoPerPage;
    const std::string good = Picture(80, 60);
    for (const std::string& bad : {folder_ + "/missing.png", garbage, empty, cut}) {
        SCOPED_TRACE(bad);
        host_ = FakeHost();
        PdfReadBack pdf = BuildAndRead({Entry(good), Entry(bad), Entry(good)});
        ASSERT_EQ(1u, pdf.pages.size());  // the good ones share the page
        ASSERT_EQ(2u, pdf.pages[0].images.size());
        ExpectPlaced(pdf.pages[0].images[1], 78, 378, 456, 342);  // the second cell
        EXPECT_EQ(3, host_.steps);
        EXPECT_EQ(3, host_.progressRange);
        const std::string message = "Error, could not open image file [" + bad + "].";
        EXPECT_NE(host_.messages.end(),
                  std::find(host_.messages.begin(), host_.messages.end(), message));
    }
}

TEST_F(PdfBuilder, SkippedFilesLeaveNoBlankPages)
{
    const std::string good = Picture(80, 60), bad = folder_ + "/missing.png";
    struct Case {
        std::vector<std::string> files;
        size_t pages;
    } cases[] = {
        {{good, bad, good}, 2},
        {{good, bad}, 1},
        {{bad, good}, 1},
        {{good, bad, bad, good, bad}, 2},
    };
    for (const Case& c : cases) {
        ImageCollectionType images;
        for (const std::string& f : c.files) images.push_back(Entry(f));
        PdfReadBack pdf = BuildAndRead(images);
        ASSERT_EQ(c.pages, pdf.pages.size()) << c.files.size() << " files";
        for (const PageContent& page : pdf.pages) EXPECT_EQ(1u, page.images.size());
    }
}

TEST_F(PdfBuilder, ProgressAndMessagesFollowTheRun)
{
    const std::string a = Picture(80, 60), b = Picture(60, 80);
    settings_.layout = LayoutTwoPerPage;
    ASSERT_EQ(1, Build({Entry(a), Entry(b), Entry(a)}));
    std::vector<std::string> expected = {
        "range", "pump", "step", "message:" + a, "pump", "step", "message:" + b,
        "pump", "step", "message:" + a, "message:Saving the PDF...", "write", "reset"};
    EXPECT_EQ(expected, host_.events);
}

TEST_F(PdfBuilder, CancelWritesNothingAndReportsNothing)
{
    const std::string p = Picture(80, 60);
    for (int continuePumps : {0, 1, 2}) {
        SCOPED_TRACE(continuePumps);
        std::remove(Out().c_str());
        host_ = FakeHost();
        host_.continuePumps = continuePumps;
        EXPECT_EQ(1, Build({Entry(p), Entry(p), Entry(p)}));
        EXPECT_EQ(continuePumps + 1, host_.pumps);
        EXPECT_EQ(continuePumps, host_.steps);  // a cancelled entry is never started
        EXPECT_EQ(0, host_.writes);
        EXPECT_EQ(0, host_.resets);  // the cancelled dialog is gone already
        EXPECT_TRUE(host_.failures.empty());
        EXPECT_FALSE(FileExists(Out()));
    }
    // The document was freed: the next run can make one.
    host_ = FakeHost();
    EXPECT_EQ(1, Build({Entry(p)}));
    EXPECT_TRUE(FileExists(Out()));
}

TEST_F(PdfBuilder, PasswordEncryptsWithAes256AndAllPermissions)
{
    const std::string p = Picture(80, 60);
    const char* longest = "abcdefghijklmnopqrstuvwxyz0123456789ABC";
    ASSERT_EQ(PasswordChars - 1u, strlen(longest));  // the most the password box takes
    for (const char* password : {"secret", longest}) {
        SCOPED_TRACE(password);
        host_ = FakeHost();
        snprintf(settings_.password, sizeof settings_.password, "%s", password);
        PdfReadBack pdf = BuildAndRead({Entry(p)}, password);
        EXPECT_TRUE(pdf.encrypted);
        EXPECT_TRUE(pdf.aes256);
        EXPECT_EQ(6, pdf.R);
        EXPECT_EQ(-4, pdf.P);  // every permission
        EXPECT_EQ(1u, pdf.pages.size());
        EXPECT_FALSE(ReadPdf(Out()).opened);
        EXPECT_FALSE(ReadPdf(Out(), "wrong").opened);
        auto encrypting = std::find(host_.messages.begin(), host_.messages.end(),
                                    "Password Encrypting the PDF...");
        ASSERT_NE(host_.messages.end(), encrypting);
        EXPECT_EQ("Saving the PDF...", *(encrypting + 1));
        if (password == longest) continue;  // pdftoppm takes at most 32 characters
        FIBITMAP* shown = RenderPage(Out(), 1, 18, password);
        ASSERT_NE(nullptr, shown);
        EXPECT_TRUE(Near(Red, PixelAt(shown, 99, 76)));  // page centre at 18 dpi
        FreeImage_Unload(shown);
        EXPECT_EQ(nullptr, RenderPage(Out(), 1, 18, "wrong"));
    }
}

TEST_F(PdfBuilder, EmptyPasswordWritesNoEncryption)
{
    PdfReadBack pdf = BuildAndRead({Entry(Picture(80, 60))});
    EXPECT_FALSE(pdf.encrypted);
    EXPECT_EQ(host_.messages.end(), std::find(host_.messages.begin(), host_.messages.end(),
                                             "Password Encrypting the PDF..."));
}

TEST_F(PdfBuilder, FailedWriteIsReportedAndRemovesOnlyWhatThisRunLeft)
{
    const std::string p = Picture(80, 60);
    // A file from before stays as it was.
    ASSERT_TRUE(WriteFileReplacing(Out().c_str(), (const uint8_t*)"earlier", 7));
    host_.failWrites = true;
    EXPECT_EQ(0, Build({Entry(p)}));
    EXPECT_EQ(std::vector<std::string>{"PDF Save Failed."}, host_.failures);
    EXPECT_EQ("PDF Save Failed.", host_.messages.back());
    EXPECT_EQ(1, host_.resets);
    EXPECT_TRUE(host_.deleted.empty());
    EXPECT_EQ("earlier", ReadWholeFile(Out()));

    // A careless writer's leftovers at a new path are removed.
    std::remove(Out().c_str());
    host_ = FakeHost();
    host_.failWrites = host_.leaveJunk = true;
    EXPECT_EQ(0, Build({Entry(p)}));
    EXPECT_EQ(std::vector<std::string>{Out()}, host_.deleted);
    EXPECT_FALSE(FileExists(Out()));
}

TEST_F(PdfBuilder, FlipsApplyBeforeTheRotation)
{
    // Left half red, right half blue; rotation counter-clockwise.
    const std::string p = Picture(200, 100, Red, Blue);
    struct Case {
        int flips, rotation;
        Rgb first, second;  // left then right for wide results, top then bottom for tall
    } cases[] = {
        {0, 0, Red, Blue},
        {FlipLeftRightFlag, 0, Blue, Red},
        {FlipTopBottomFlag, 0, Red, Blue},
        {0, 180, Blue, Red},
        {0, 90, Blue, Red},   // the right side turns up
        {0, 270, Red, Blue},
        {FlipLeftRightFlag, 90, Red, Blue},  // mirrored first, then turned
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flips " << c.flips << ", rotation " << c.rotation);
        PdfReadBack pdf = BuildAndRead({Entry(p, "[no caption]", c.rotation, c.flips)});
        ASSERT_EQ(1u, pdf.pages.size());
        FIBITMAP* shown = RenderPage(Out(), 1, 36);  // half a pixel per point
        ASSERT_NE(nullptr, shown);
        bool tall = c.rotation == 90 || c.rotation == 270;
        ExpectPageSize(tall ? LetterPortrait : LetterLandscape, pdf.pages[0]);
        if (tall) {  // 360 x 720 picture centred on a 612 x 792 page
            EXPECT_TRUE(Near(c.first, PixelAt(shown, 153, 108)));
            EXPECT_TRUE(Near(c.second, PixelAt(shown, 153, 288)));
        } else {  // 720 x 360 picture centred on a 792 x 612 page
            EXPECT_TRUE(Near(c.first, PixelAt(shown, 108, 153)));
            EXPECT_TRUE(Near(c.second, PixelAt(shown, 288, 153)));
        }
        FreeImage_Unload(shown);
    }
}
