#include <gtest/gtest.h>

#include <FreeImage.h>

#include <cmath>
#include <string>

#include "core/image_test_util.h"
#include "import/image_load.h"
#include "import/thumbnail.h"
#include "pdf/pdf_library.h"
#include "pdf/pdf_picture.h"

namespace {

// A photo-like 1600 x 1200 JPEG: soft gradients, fine texture and seeded noise.
ByteVec PhotoLikeJpeg()
{
    FIBITMAP* picture = FreeImage_Allocate(1600, 1200, 24);
    unsigned seed = 7;
    for (unsigned y = 0; y < 1200; y++) {
        BYTE* line = FreeImage_GetScanLine(picture, y);
        for (unsigned x = 0; x < 1600; x++) {
            seed = seed * 1103515245 + 12345;
            const double noise = (int)(seed >> 16 & 15) - 7.5;
            const double texture = 30 * sin(x * 0.21) * sin(y * 0.17);
            line[x * 3 + 0] = (BYTE)std::lround(std::fmin(255, std::fmax(0, 40 + x * 0.15 + texture + noise)));
            line[x * 3 + 1] = (BYTE)std::lround(std::fmin(255, std::fmax(0, 70 + y * 0.2 - texture + noise)));
            line[x * 3 + 2] = (BYTE)std::lround(std::fmin(255, std::fmax(0, 200 - (x + y) * 0.07 + noise)));
        }
    }
    return EncodeAndUnload(picture, FIF_JPEG, 90);
}

// Peak signal-to-noise ratio of b against a over the colour channels; -1 when the sizes
// differ. bx, by: where a's top-left pixel lies in b.
double Psnr(FIBITMAP* a, FIBITMAP* b, int bx = 0, int by = 0)
{
    const unsigned w = FreeImage_GetWidth(a), h = FreeImage_GetHeight(a);
    if (!b || bx + w > FreeImage_GetWidth(b) || by + h > FreeImage_GetHeight(b)) return -1;
    double sum = 0;
    for (unsigned y = 0; y < h; y++)
        for (unsigned x = 0; x < w; x++) {
            const Rgb p = PixelAt(a, x, y), q = PixelAt(b, bx + x, by + y);
            sum += (p.r - q.r) * (p.r - q.r) + (p.g - q.g) * (p.g - q.g) + (p.b - q.b) * (p.b - q.b);
        }
    return sum == 0 ? 99 : 10 * log10(255.0 * 255 * w * h * 3 / sum);
}

// The quantisation tables (DQT segments) of a JPEG file: what its quality setting made.
std::string QuantTables(const ByteVec& jpeg)
{
    std::string tables;
    for (size_t i = 2; i + 4 <= jpeg.size() && jpeg[i] == 0xFF && jpeg[i + 1] != 0xDA;) {
        const size_t length = jpeg[i + 2] << 8 | jpeg[i + 3];
        if (jpeg[i + 1] == 0xDB) tables.append((const char*)&jpeg[i], length + 2);
        i += length + 2;
    }
    return tables;
}

FIBITMAP* DecodeBytes(const ByteVec& bytes)
{
    return LoadImageFromMemory(bytes.data(), bytes.size(), "picture.jpg");
}

class PdfPicture : public testing::Test {
protected:
    void SetUp() override { document_ = PdfCreateDocument(); }
    void TearDown() override { PdfFreeDocument(document_); }
    int document_ = 0;
};

}  // namespace

TEST_F(PdfPicture, EveryStandardPictureBecomesAJpegInTheDocument)
{
    ASSERT_GT(document_, 0);
    struct Case {
        FREE_IMAGE_TYPE type;
        int bpp;
    } cases[] = {{FIT_BITMAP, 24}, {FIT_BITMAP, 32}, {FIT_BITMAP, 8}, {FIT_RGB16, 48}};
    for (const Case& c : cases) {
        FIBITMAP* picture = FreeImage_AllocateT(c.type, 30, 20, c.bpp);
        ASSERT_NE(nullptr, picture);
        EXPECT_GT(AddPictureAsJpeg(picture), 0) << c.bpp << " bits";
    }
}

TEST_F(PdfPicture, PicturesWithoutA24BitFormAreRefused)
{
    ASSERT_GT(document_, 0);
    for (FREE_IMAGE_TYPE type : {FIT_COMPLEX, FIT_DOUBLE}) {
        FIBITMAP* picture = FreeImage_AllocateT(type, 30, 20);
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(-1, AddPictureAsJpeg(picture)) << type;  // and released: no leak
    }
    EXPECT_EQ(-1, AddPictureAsJpeg(nullptr));
}

TEST(PdfPictureWithoutDocument, LibraryRefusalGivesZero)
{
    EXPECT_EQ(0, AddPictureAsJpeg(FreeImage_Allocate(8, 8, 24)));
}

// Pictures decoded reduced come out as from a full-size decode: the same drawn and pixel
// sizes, the same JPEG quality, and pixels within 40 dB PSNR of the full decode resampled
// (bicubic for pages, box for thumbnails), through every turn that swaps the sides.
TEST(PagePicture, ReducedDecodesMatchTheFullSizeOnes)
{
    const ByteVec plain = PhotoLikeJpeg();
    struct Case {
        int exif, flips, rotation;
        unsigned cellWidth, cellHeight;
        double quality;
    } cases[] = {
        {1, 0, 0, 200, 150, 0.3},  // decoded at 1/2
        {1, 0, 0, 300, 225, 0.0},  // at 1/4
        {1, 0, 0, 200, 150, 0.0},  // at 1/8
        {6, 0, 0, 150, 200, 0.0},  // stored on its side
        {6, 1, 90, 200, 150, 0.3}, // the EXIF turn undone by the entry's
        {1, 2, 270, 150, 200, 0.1},
        {1, 0, 0, 720, 540, 0.3},  // no reduction leaves enough pixels
        {1, 0, 0, 200, 150, 1.0},  // highest quality: the full picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "exif " << c.exif << " rotation " << c.rotation
                                        << " quality " << c.quality);
        const ByteVec file = c.exif == 1 ? plain : WithExifOrientation(plain, c.exif);
        FIBITMAP* full = OrientForEntry(DecodeBytes(file), c.flips, c.rotation);
        const unsigned w = FreeImage_GetWidth(full), h = FreeImage_GetHeight(full);
        const DrawnSize drawn = FitPicture(w, h, c.cellWidth, c.cellHeight);
        DrawnSize size = {w, h};
        FIBITMAP* expected = ResampledSize(w, h, drawn, c.quality, &size)
                                 ? FreeImage_Rescale(full, size.width, size.height, FILTER_BICUBIC)
                                 : FreeImage_Clone(full);
        FreeImage_Unload(full);

        PagePicture made;
        FIBITMAP* pixels = MakePagePixels(file.data(), file.size(), "p.jpg", c.flips, c.rotation,
                                          c.cellWidth, c.cellHeight, c.quality, &made);
        EXPECT_EQ(w, made.width);
        EXPECT_EQ(h, made.height);
        EXPECT_EQ(drawn.width, made.drawn.width);
        EXPECT_EQ(drawn.height, made.drawn.height);
        EXPECT_GE(Psnr(expected, pixels), 40.0);
        if (pixels) FreeImage_Unload(pixels);

        ASSERT_TRUE(MakePagePicture(file.data(), file.size(), "p.jpg", c.flips, c.rotation,
                                    c.cellWidth, c.cellHeight, c.quality, &made));
        PictureHeader header;  // as stored: the source's EXIF block comes along, unused in PDFs
        FIBITMAP* decoded = DecodeImageFromMemory(made.jpeg.data(), made.jpeg.size(), "", &header);
        EXPECT_EQ(size.width, FreeImage_GetWidth(decoded));
        EXPECT_EQ(size.height, FreeImage_GetHeight(decoded));
        EXPECT_EQ(QuantTables(Encode(expected, FIF_JPEG)), QuantTables(made.jpeg));
        FreeImage_Unload(decoded);

        // The thumbnail, decoded at 1/2, against the full picture box-scaled.
        static ThumbnailPixels thumbnail;
        ASSERT_TRUE(MakeThumbnailPixels(file.data(), file.size(), "p.jpg", &thumbnail));
        FIBITMAP* upright = DecodeBytes(file);
        const PictureRect& r = thumbnail.pictureRect;
        FIBITMAP* box = FreeImage_Rescale(upright, r.right - r.left, r.bottom - r.top, FILTER_BOX);
        FIBITMAP* square = FreeImage_ConvertFromRawBits(thumbnail.bgra, ThumbnailSize, ThumbnailSize,
                                                        ThumbnailSize * 4, 32, 0, 0, 0, FALSE);
        EXPECT_GE(Psnr(box, square, r.left, r.top), 40.0);
        FreeImage_Unload(square);
        FreeImage_Unload(box);
        FreeImage_Unload(upright);
        FreeImage_Unload(expected);
    }
}
