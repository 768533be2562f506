#include <gtest/gtest.h>

#include <FreeImage.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "pdf/pdf_library.h"
#include "pdf_test_support.h"

using namespace pdftest;

namespace {

class PdfLibrary : public testing::Test {
protected:
    void SetUp() override
    {
        PdfSetFileWriter(ReplacingWriter, nullptr);
        PdfSetTextCodePage(1252);
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = TestFolder(std::string(test->test_suite_name()) + "." + test->name());
    }
    void TearDown() override
    {
        PdfFreeDocument(document_);
        PdfSetTextCodePage(1252);
    }
    std::string Path(const char* name) { return folder_ + "/" + name; }
    // Creates the document that TearDown frees.
    int Create() { return document_ = PdfCreateDocument(); }
    // Writes the open document and reads it back.
    PdfReadBack WriteAndRead(const char* name, const char* password = "")
    {
        EXPECT_NE(0, PdfWriteFile(Path(name).c_str()));
        return ReadPdf(Path(name), password);
    }
    // A small JPEG file in memory.
    std::vector<uint8_t> Jpeg(unsigned w, unsigned h)
    {
        std::string path = Path("picture.jpg");
        SavePicture(path, w, h, {200, 30, 30});
        std::string bytes = ReadWholeFile(path);
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }

    std::string folder_;
    int document_ = 0;
};

}  // namespace

TEST_F(PdfLibrary, OneDocumentAtATimeAndItsIdIsChecked)
{
    int first = Create();
    ASSERT_GT(first, 0);
    EXPECT_EQ(0, PdfCreateDocument());  // still open
    PdfFreeDocument(first + 1);          // not its id: ignored
    EXPECT_EQ(612.0, PdfGetPageDimension(PdfMediaBox, PdfWidth));
    PdfFreeDocument(first);
    EXPECT_EQ(0.0, PdfGetPageDimension(PdfMediaBox, PdfWidth));
    EXPECT_EQ(PdfErrorNoDocument, PdfLastError());
    int second = Create();
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);  // an old id never frees a newer document
    PdfFreeDocument(first);
    EXPECT_EQ(612.0, PdfGetPageDimension(PdfMediaBox, PdfWidth));
}

TEST_F(PdfLibrary, EveryOperationWithoutADocumentDoesNothing)
{
    PdfSetInfoEntry(PdfInfoTitle, "x");
    PdfSetPaper("A4");
    PdfSetFillRgb(1, 0, 0);
    PdfSetStrokeRgb(1, 0, 0);
    PdfSetStrokeWidth(2);
    PdfSetPageOption(PdfCompressPage);
    std::vector<uint8_t> jpeg = Jpeg(8, 8);
    EXPECT_EQ(0, PdfAddJpegFromMemory(jpeg.data(), (int)jpeg.size(), 0));
    PdfUseImage(1);
    PdfDrawRect(0, 100, 10, 10, PdfRectFilled);
    EXPECT_EQ(0, PdfPlaceImage(0, 100, 10, 10));
    PdfDrawTextInBox(0, 100, 100, 14, "text", 0);
    PdfEncrypt("a", "a", PdfAes256, -4);
    EXPECT_EQ(0, PdfAppendPage());
    EXPECT_EQ(0, PdfWriteFile(Path("none.pdf").c_str()));
    EXPECT_EQ(PdfErrorNoDocument, PdfLastError());
    EXPECT_FALSE(FileExists(Path("none.pdf")));
}

TEST_F(PdfLibrary, PaperNamesSetTheCurrentPage)
{
    struct Case {
        const char* name;
        double width, height;  // after the name, starting from Letter
    } cases[] = {
        {"Letter", 612, 792},
        {"Letter Landscape", 792, 612},
        {"A4", 595.276, 841.89},
        {"A4 Landscape", 841.89, 595.276},
        {"Legal", 612, 792},  // unknown names leave the page alone
        {"A4 landscape", 612, 792},
        {" Landscape", 612, 792},
        {"", 612, 792},
        {nullptr, 612, 792},
    };
    for (const Case& c : cases) {
        ASSERT_GT(Create(), 0);
        PdfSetPaper(c.name);
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_NEAR(c.width, PdfGetPageDimension(PdfMediaBox, PdfWidth), 0.001);
        EXPECT_NEAR(c.height, PdfGetPageDimension(PdfMediaBox, PdfHeight), 0.001);
        EXPECT_EQ(0.0, PdfGetPageDimension(2, PdfWidth));  // only the media box
        EXPECT_EQ(0.0, PdfGetPageDimension(PdfMediaBox, 4));
        PdfReadBack pdf = WriteAndRead("paper.pdf");
        ASSERT_EQ(1u, pdf.pages.size());
        EXPECT_NEAR(c.width, pdf.pages[0].mediaBox[2], 0.001);
        EXPECT_NEAR(c.height, pdf.pages[0].mediaBox[3], 0.001);
        PdfFreeDocument(document_);
    }
}

TEST_F(PdfLibrary, AppendedPagesKeepThePaperOfThePageBefore)
{
    ASSERT_GT(Create(), 0);
    PdfSetPaper("A4 Landscape");
    ASSERT_NE(0, PdfAppendPage());
    EXPECT_NEAR(841.89, PdfGetPageDimension(PdfMediaBox, PdfWidth), 0.001);
    PdfSetPaper("Letter");  // only the new, current page changes
    PdfReadBack pdf = WriteAndRead("pages.pdf");
    ASSERT_EQ(2u, pdf.pages.size());
    EXPECT_NEAR(841.89, pdf.pages[0].mediaBox[2], 0.001);
    EXPECT_EQ(612, pdf.pages[1].mediaBox[2]);
}

TEST_F(PdfLibrary, RectanglesImagesAndCompression)
{
    ASSERT_GT(Create(), 0);
    PdfSetPageOption(PdfCompressPage);
    std::vector<uint8_t> jpeg = Jpeg(40, 30);
    int image = PdfAddJpegFromMemory(jpeg.data(), (int)jpeg.size(), 0);
    ASSERT_GT(image, 0);
    PdfUseImage(image);
    PdfDrawRect(10, 700, 200, 100, PdfRectFilled);
    EXPECT_NE(0, PdfPlaceImage(20, 690, 80, 60));
    PdfDrawRect(10, 700, 200, 100, PdfRectOutline);
    PdfReadBack pdf = WriteAndRead("drawn.pdf");
    ASSERT_EQ(1u, pdf.pages.size());
    const PageContent& page = pdf.pages[0];
    EXPECT_EQ("/FlateDecode", page.contentFilter);
    ASSERT_EQ(2u, page.rects.size());
    EXPECT_TRUE(page.rects[0].filled);
    EXPECT_FALSE(page.rects[1].filled);
    for (const DrawnRect& r : page.rects) {  // given by the top edge, written from the bottom
        EXPECT_EQ(10, r.x);
        EXPECT_EQ(600, r.y);
        EXPECT_EQ(200, r.width);
        EXPECT_EQ(100, r.height);
    }
    ASSERT_EQ(1u, page.images.size());
    EXPECT_EQ(20, page.images[0].x);
    EXPECT_EQ(630, page.images[0].y);
    EXPECT_EQ(80, page.images[0].width);
    EXPECT_EQ(60, page.images[0].height);
    EXPECT_EQ(40, page.images[0].pixelWidth);
    EXPECT_EQ(30, page.images[0].pixelHeight);
}

TEST_F(PdfLibrary, PagesWithoutTheOptionAreNotCompressed)
{
    ASSERT_GT(Create(), 0);
    PdfDrawRect(10, 700, 200, 100, PdfRectFilled);
    PdfReadBack pdf = WriteAndRead("plain.pdf");
    ASSERT_EQ(1u, pdf.pages.size());
    EXPECT_EQ("", pdf.pages[0].contentFilter);
}

TEST_F(PdfLibrary, BadArgumentsAreRefusedAndTheDocumentStaysWritable)
{
    ASSERT_GT(Create(), 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<uint8_t> jpeg = Jpeg(16, 16);
    const uint8_t garbage[] = "not a jpeg at all, only text";
    const uint8_t startOnly[] = {0xFF, 0xD8, 0xFF};

    EXPECT_EQ(0, PdfAddJpegFromMemory(garbage, sizeof garbage, 0));
    EXPECT_EQ(0, PdfAddJpegFromMemory(startOnly, sizeof startOnly, 0));
    size_t scan = std::string(jpeg.begin(), jpeg.end()).find("\xFF\xDA");
    ASSERT_NE(std::string::npos, scan);
    EXPECT_EQ(0, PdfAddJpegFromMemory(jpeg.data(), (int)scan, 0));  // cut before the scan
    EXPECT_EQ(0, PdfAddJpegFromMemory(nullptr, 100, 0));
    EXPECT_EQ(0, PdfAddJpegFromMemory(jpeg.data(), -5, 0));
    EXPECT_EQ(0, PdfAddJpegFromMemory(jpeg.data(), (int)jpeg.size(), 1));
    EXPECT_EQ(0, PdfPlaceImage(0, 100, 10, 10));  // no image in use yet
    int image = PdfAddJpegFromMemory(jpeg.data(), (int)jpeg.size(), 0);
    ASSERT_GT(image, 0);
    PdfUseImage(image + 1);  // unknown id: no image in use
    EXPECT_EQ(0, PdfPlaceImage(0, 100, 10, 10));
    PdfUseImage(image);
    EXPECT_EQ(0, PdfPlaceImage(nan, 100, 10, 10));
    EXPECT_EQ(0, PdfPlaceImage(0, inf, 10, 10));
    EXPECT_EQ(0, PdfPlaceImage(0, 100, -10, 10));
    EXPECT_EQ(0, PdfPlaceImage(0, 100, 1e9, 10));
    PdfDrawRect(nan, 100, 10, 10, PdfRectFilled);
    PdfDrawRect(0, 100, 10, -1, PdfRectOutline);
    PdfDrawRect(0, 100, 10, 10, 7);
    EXPECT_EQ(PdfErrorBadArgument, PdfLastError());
    PdfDrawTextInBox(0, 100, 100, 14, nullptr, 0);
    PdfDrawTextInBox(0, 100, 100, 14, "text", 3);
    PdfDrawTextInBox(0, 100, -100, 14, "text", 0);
    PdfDrawTextInBox(0, 100, 100, 0, "text", 0);
    PdfSetFillRgb(nan, 2, -1);  // clamped
    PdfSetStrokeWidth(-1);
    PdfSetStrokeWidth(inf);
    PdfSetPageOption(2);
    PdfSetInfoEntry(7, "x");
    PdfSetInfoEntry(0, "x");
    PdfSetInfoEntry(PdfInfoTitle, nullptr);
    EXPECT_EQ(0, PdfWriteFile(nullptr));
    EXPECT_EQ(0, PdfWriteFile(""));

    PdfReadBack pdf = WriteAndRead("survived.pdf");
    ASSERT_TRUE(pdf.opened) << pdf.error;
    ASSERT_EQ(1u, pdf.pages.size());
    EXPECT_TRUE(pdf.pages[0].rects.empty());
    EXPECT_TRUE(pdf.pages[0].images.empty());
    EXPECT_TRUE(pdf.pages[0].texts.empty());
}

TEST_F(PdfLibrary, WritingHandsTheBytesToTheWriterOnce)
{
    ASSERT_GT(Create(), 0);
    PdfSetFileWriter(nullptr, nullptr);
    EXPECT_EQ(0, PdfWriteFile(Path("a.pdf").c_str()));
    EXPECT_EQ(PdfErrorNoWriter, PdfLastError());
    std::string seen;
    PdfSetFileWriter(
        [](const char* path, const uint8_t* data, size_t size, void* context) {
            static_cast<std::string*>(context)->assign((const char*)data, size);
            return true;
        },
        &seen);
    EXPECT_EQ(1, PdfWriteFile(Path("a.pdf").c_str()));  // no writer did not spend it
    EXPECT_EQ(0u, seen.find("%PDF-"));
    EXPECT_NE(std::string::npos, seen.find("%%EOF"));
    EXPECT_FALSE(FileExists(Path("a.pdf")));  // the library itself never opens a file
    // Written: the pictures are released and only freeing is left.
    seen.clear();
    EXPECT_EQ(0, PdfWriteFile(Path("a.pdf").c_str()));
    EXPECT_EQ(0, PdfAppendPage());
    EXPECT_EQ(0.0, PdfGetPageDimension(PdfMediaBox, PdfWidth));
    EXPECT_EQ("", seen);
}

TEST_F(PdfLibrary, AWriterThatFailsFailsTheWrite)
{
    ASSERT_GT(Create(), 0);
    int calls = 0;
    PdfSetFileWriter(
        [](const char*, const uint8_t* data, size_t size, void* context) {
            ++*static_cast<int*>(context);
            return false;
        },
        &calls);
    EXPECT_EQ(0, PdfWriteFile(Path("a.pdf").c_str()));
    EXPECT_EQ(1, calls);
}

TEST_F(PdfLibrary, PermissionsValueIsTheSlashPEntry)
{
    EXPECT_EQ(-4, PdfMakePermissions(1, 1, 1, 1, 1, 1, 1, 1));
    EXPECT_EQ((int)0xFFFFF0C0, PdfMakePermissions(0, 0, 0, 0, 0, 0, 0, 0));
    const int bits[8] = {2, 3, 4, 5, 8, 9, 10, 11};
    for (int i = 0; i < 8; ++i) {
        int flags[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        flags[i] = 1;
        EXPECT_EQ((int)0xFFFFF0C0 | (1 << bits[i]),
                  PdfMakePermissions(flags[0], flags[1], flags[2], flags[3], flags[4],
                                     flags[5], flags[6], flags[7]))
            << "flag " << i;
    }
    EXPECT_EQ((int)0xFFFFF0C0, PdfMakePermissions(2, -1, 0, 0, 0, 0, 0, 0));  // only 1 allows
}

TEST_F(PdfLibrary, EncryptsWithAes256AndBothPasswords)
{
    ASSERT_GT(Create(), 0);
    PdfEncrypt("owner secret", "user secret", PdfAes256,
               PdfMakePermissions(1, 0, 1, 0, 0, 1, 0, 0));
    PdfDrawRect(10, 700, 200, 100, PdfRectFilled);
    ASSERT_NE(0, PdfWriteFile(Path("locked.pdf").c_str()));
    EXPECT_FALSE(ReadPdf(Path("locked.pdf")).opened);
    EXPECT_FALSE(ReadPdf(Path("locked.pdf"), "wrong").opened);
    PdfReadBack user = ReadPdf(Path("locked.pdf"), "user secret");
    ASSERT_TRUE(user.opened) << user.error;
    EXPECT_TRUE(user.encrypted);
    EXPECT_TRUE(user.aes256);
    EXPECT_EQ(6, user.R);
    EXPECT_EQ(5, user.V);
    // low-quality printing, copying and accessibility only
    EXPECT_EQ((int)0xFFFFF0C0 | 4 | 16 | 512, user.P);
    ASSERT_EQ(1u, user.pages.size());
    EXPECT_EQ(1u, user.pages[0].rects.size());
    EXPECT_TRUE(ReadPdf(Path("locked.pdf"), "owner secret").opened);
}

// Passwords arrive as UTF-8 (the options dialog reads what was typed as UTF-16): what
// users of code pages 932, 1251 and 1252 type opens the PDF, and nothing else does.
TEST_F(PdfLibrary, PasswordsAreUtf8AsTyped)
{
    const char* const typed[] = {"\xe3\x83\x91\xe3\x82\xb9",  // "パス"
                                 "\xd0\x94\xd0\xb0",            // "Да"
                                 "Caf\xc3\xa9"};                 // "Café"
    for (const char* password : typed) {
        SCOPED_TRACE(password);
        ASSERT_GT(Create(), 0);
        PdfEncrypt(password, password, PdfAes256, -4);
        ASSERT_NE(0, PdfWriteFile(Path("locked.pdf").c_str()));
        EXPECT_TRUE(ReadPdf(Path("locked.pdf"), password).opened);
        EXPECT_FALSE(ReadPdf(Path("locked.pdf"), "\xc6\x92p\xc6\x92X").opened);  // "ƒpƒX"
        PdfFreeDocument(document_);
        document_ = 0;
    }
}

// Captions on the East Asian code pages print as typed: the page's bytes go to the
// built-in CJK font whose CMap reads them, and the text comes back out of the PDF.
TEST_F(PdfLibrary, CaptionsOnDoubleByteCodePages)
{
    struct Case {
        int codePage;
        const char* bytes;     // the caption in that code page
        const char* expected;  // the CJK word in UTF-8 (Latin may come out full-width)
    } cases[] = {
        {932, "\x8e\xca\x90\x5e A1", "\xe5\x86\x99\xe7\x9c\x9f"},  // 写真
        {936, "\xd5\xd5\xc6\xac B2", "\xe7\x85\xa7\xe7\x89\x87"},  // 照片
        {949, "\xbb\xe7\xc1\xf8 C3", "\xec\x82\xac\xec\xa7\x84"},  // 사진
        {950, "\xb7\xd3\xa4\xf9 D4", "\xe7\x85\xa7\xe7\x89\x87"},  // 照片
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        PdfSetTextCodePage(c.codePage);
        EXPECT_EQ(c.codePage, PdfTextCodePage());
        ASSERT_GT(Create(), 0);
        PdfDrawTextInBox(36, 100, 300, 14, c.bytes, 0);
        ASSERT_NE(0, PdfWriteFile(Path("cjk.pdf").c_str()));
        std::string text;
        std::string command = "pdftotext -enc UTF-8 '" + Path("cjk.pdf") + "' - 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_TRUE(pipe);
        char chunk[256];
        while (size_t n = fread(chunk, 1, sizeof chunk, pipe)) text.append(chunk, n);
        pclose(pipe);
        EXPECT_NE(std::string::npos, text.find(c.expected)) << text;
        PdfFreeDocument(document_);
        document_ = 0;
    }
}

TEST_F(PdfLibrary, UnknownStrengthWritesNothingRatherThanAnOpenDocument)
{
    ASSERT_GT(Create(), 0);
    PdfEncrypt("pw", "pw", 2, -4);
    EXPECT_EQ(0, PdfWriteFile(Path("rc4.pdf").c_str()));
    EXPECT_FALSE(FileExists(Path("rc4.pdf")));
}

TEST_F(PdfLibrary, TextInTheCodePageWithAFittingEncoding)
{
    struct Case {
        int codePage;
        const char* text;
        const char* encoding;
    } cases[] = {
        {1252, "Caf\xe9 \xc5ngstr\xf6m", "/WinAnsiEncoding"},
        {1250, "\xb9\x9a", "/Differences"},  // "ąš" in code page 1250
        {1251, "\xc4\xe0", "/Differences"},
        {437, "Caf\xe9", "/WinAnsiEncoding"},  // a page without a font of its own: 1252
        {0, "Caf\xe9", "/WinAnsiEncoding"},
    };
    for (const Case& c : cases) {
        PdfSetTextCodePage(c.codePage);
        ASSERT_GT(Create(), 0);
        PdfDrawTextInBox(36, 100, 300, 14, c.text, 0);
        PdfReadBack pdf = WriteAndRead("text.pdf");
        SCOPED_TRACE(c.codePage);
        ASSERT_EQ(1u, pdf.pages.size());
        ASSERT_EQ(1u, pdf.pages[0].texts.size());
        EXPECT_EQ(c.text, pdf.pages[0].texts[0].bytes);
        EXPECT_EQ(c.encoding, pdf.pages[0].texts[0].encoding);
        EXPECT_EQ("/Helvetica", pdf.pages[0].texts[0].baseFont);
        PdfFreeDocument(document_);
    }
    EXPECT_EQ(1252, PdfTextCodePage());
}

// The rendered text lies inside its box: dark pixels only between the box's edges.
static void ExpectTextInsideBox(const std::string& path, double left, double width,
                                double top, double height)
{
    const int dpi = 144, scale = 2;
    FIBITMAP* page = RenderPage(path, 1, dpi);
    ASSERT_NE(nullptr, page);
    const unsigned pageHeight = FreeImage_GetHeight(page);
    int inside = 0, outside = 0;
    for (unsigned y = 0; y < pageHeight; ++y)
        for (unsigned x = 0; x < FreeImage_GetWidth(page); ++x) {
            if (!Near(PixelAt(page, x, y), {0, 0, 0}, 100)) continue;
            double px = (x + 0.5) / scale, py = 792 - (y + 0.5) / scale;
            bool in = px >= left && px <= left + width && py <= top && py >= top - height;
            (in ? inside : outside)++;
        }
    FreeImage_Unload(page);
    EXPECT_GT(inside, 20);
    EXPECT_EQ(0, outside);
}

TEST_F(PdfLibrary, TextIsCentredOnOneLineInsideItsBox)
{
    ASSERT_GT(Create(), 0);
    PdfSetFillRgb(0.5, 0.5, 0.5);  // the cells' grey: captions are drawn black all the same
    PdfDrawTextInBox(100, 500, 300, 14, "Two words", 0);
    PdfReadBack pdf = WriteAndRead("centred.pdf");
    ASSERT_EQ(1u, pdf.pages[0].texts.size());
    const ShownText& t = pdf.pages[0].texts[0];
    EXPECT_EQ("Two words", t.bytes);
    EXPECT_GT(t.x, 200);  // centred: well right of the box's left edge
    EXPECT_LT(t.x, 250);
    EXPECT_GT(t.size, 8);
    ExpectTextInsideBox(Path("centred.pdf"), 100, 300, 500, 14);
}

TEST_F(PdfLibrary, LongWordShrinksToFitTheBox)
{
    ASSERT_GT(Create(), 0);
    PdfSetFillRgb(0, 0, 0);
    const char* word = "Donaudampfschifffahrtsgesellschaften";
    PdfDrawTextInBox(100, 500, 80, 14, word, 0);
    PdfReadBack pdf = WriteAndRead("shrunk.pdf");
    ASSERT_EQ(1u, pdf.pages[0].texts.size());
    EXPECT_EQ(word, pdf.pages[0].texts[0].bytes);  // all of it, smaller
    EXPECT_LT(pdf.pages[0].texts[0].size, 10);
    ExpectTextInsideBox(Path("shrunk.pdf"), 100, 80, 500, 14);
}

TEST_F(PdfLibrary, WordTooLongEvenWhenSmallIsCut)
{
    ASSERT_GT(Create(), 0);
    PdfSetFillRgb(0, 0, 0);
    const std::string word = "Donaudampfschifffahrtsgesellschaften";
    PdfDrawTextInBox(100, 500, 30, 14, word.c_str(), 0);
    PdfReadBack pdf = WriteAndRead("cut.pdf");
    ASSERT_EQ(1u, pdf.pages[0].texts.size());
    const std::string& shown = pdf.pages[0].texts[0].bytes;
    EXPECT_FALSE(shown.empty());
    EXPECT_LT(shown.size(), word.size());
    EXPECT_EQ(0u, word.find(shown));  // the beginning of the word
    ExpectTextInsideBox(Path("cut.pdf"), 100, 30, 500, 14);
}
