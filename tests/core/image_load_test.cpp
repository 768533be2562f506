// Decoding image bytes: format detection, bad and hostile input, camera orientation,
// pictures that are not plain 8-bit colour, and the entry orientation for the PDF.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/image_test_util.h"
#include "import/header_size.h"
#include "import/image_load.h"

namespace {

struct Loaded {
    FIBITMAP* picture;
    explicit Loaded(const ByteVec& bytes, const char* name = "C:\\pics\\a.jpg")
        : picture(LoadImageFromMemory(bytes.data(), bytes.size(), name)) {}
    ~Loaded() { if (picture) FreeImage_Unload(picture); }
    unsigned Width() const { return FreeImage_GetWidth(picture); }
    unsigned Height() const { return FreeImage_GetHeight(picture); }
    Rgb At(int x, int yFromTop) const { return PixelAt(picture, x, yFromTop); }
};

void ExpectStandardColour(FIBITMAP* picture)
{
    ASSERT_TRUE(picture);
    EXPECT_EQ(FIT_BITMAP, FreeImage_GetImageType(picture));
    EXPECT_EQ(24u, FreeImage_GetBPP(picture));
}

uint32_t Crc32(const uint8_t* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBe32(uint8_t* p, uint32_t v)
{
    p[0] = (uint8_t)(v >> 24), p[1] = (uint8_t)(v >> 16), p[2] = (uint8_t)(v >> 8), p[3] = (uint8_t)v;
}

// A real PNG whose IHDR claims another size (CRC corrected, so only the size is wrong).
ByteVec PngClaiming(uint32_t width, uint32_t height)
{
    ByteVec png = EncodeAndUnload(MakeSolid(8, 8, Blue), FIF_PNG);
    PutBe32(&png[16], width);
    PutBe32(&png[20], height);
    PutBe32(&png[29], Crc32(&png[12], 17));
    return png;
}

// A real JPEG whose SOF0 claims another size.
ByteVec JpegClaiming(unsigned width, unsigned height)
{
    ByteVec jpeg = EncodeAndUnload(MakeSolid(8, 8, Blue), FIF_JPEG);
    for (size_t i = 2; i + 9 < jpeg.size(); i++) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = (uint8_t)(height >> 8), jpeg[i + 6] = (uint8_t)height;
            jpeg[i + 7] = (uint8_t)(width >> 8), jpeg[i + 8] = (uint8_t)width;
            return jpeg;
        }
    }
    ADD_FAILURE() << "no SOF0 marker";
    return jpeg;
}

// A complete 1 x 1 GIF whose logical screen and image descriptor claim another size.
ByteVec GifClaiming(unsigned width, unsigned height)
{
    ByteVec gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
                   255, 255, 255, 0, 0, 0,
                   0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0,
                   2, 2, 0x44, 1, 0, 0x3B};
    gif[6] = gif[25] = (uint8_t)width, gif[7] = gif[26] = (uint8_t)(width >> 8);
    gif[8] = gif[27] = (uint8_t)height, gif[9] = gif[28] = (uint8_t)(height >> 8);
    return gif;
}

}  // namespace

TEST(ImageLoad, ContentDecidesBeforeTheName)
{
    ByteVec jpeg = EncodeAndUnload(MakeSolid(30, 20, Red), FIF_JPEG);
    ByteVec png = EncodeAndUnload(MakeSolid(30, 20, Blue), FIF_PNG);
    Loaded jpegAsPng(jpeg, "Z:\\home\\x\\a.png");
    ASSERT_TRUE(jpegAsPng.picture);
    EXPECT_TRUE(Near(Red, jpegAsPng.At(15, 10)));
    Loaded pngAsJpeg(png, "Z:\\home\\x\\b.jpg");
    ASSERT_TRUE(pngAsJpeg.picture);
    EXPECT_EQ(30u, pngAsJpeg.Width());
    EXPECT_TRUE(Near(Blue, pngAsJpeg.At(15, 10), 0));
    Loaded noName(png, nullptr);
    EXPECT_TRUE(noName.picture);
}

TEST(ImageLoad, UnrecognisedContentIsTriedByExtension)
{
    // WBMP has no signature: only its extension names the format.
    FIBITMAP* black = FreeImage_Threshold(MakeSolid(16, 8, White), 128);
    ByteVec wbmp = EncodeAndUnload(black, FIF_WBMP);
    ASSERT_FALSE(wbmp.empty());
    Loaded byExtension(wbmp, "Z:\\scans\\page.WBMP");
    ASSERT_TRUE(byExtension.picture);
    EXPECT_EQ(16u, byExtension.Width());
    ExpectStandardColour(byExtension.picture);
    Loaded noExtension(wbmp, "Z:\\scans\\page.dat");
    EXPECT_FALSE(noExtension.picture);
}

TEST(ImageLoad, RefusesWhatIsNotAPicture)
{
    std::string text = "This is a text file, not a photograph.\n";
    ByteVec bytes(text.begin(), text.end());
    EXPECT_FALSE(Loaded(bytes, "notes.jpg").picture);
    EXPECT_FALSE(Loaded(bytes, "notes.bmp").picture);
    EXPECT_FALSE(Loaded(bytes, "notes.tga").picture);
    EXPECT_FALSE(Loaded(bytes, "notes").picture);
    ByteVec png = EncodeAndUnload(MakeSolid(4, 4, Red), FIF_PNG);
    EXPECT_FALSE(LoadImageFromMemory(png.data(), 0, "empty.png"));
    EXPECT_FALSE(LoadImageFromMemory(nullptr, 0, "empty.png"));
    EXPECT_FALSE(LoadImageFromMemory(nullptr, 10, "empty.png"));
}

// Cut files must never crash; a decoder may still give a partial picture, which must
// then have the full size and standard colour.
TEST(ImageLoad, TruncatedFilesDoNotCrash)
{
    FIBITMAP* picture = MakeSolid(64, 48, Blue);
    FillRect(picture, 0, 0, 32, 24, Red);
    const FREE_IMAGE_FORMAT formats[] = {FIF_JPEG, FIF_PNG, FIF_BMP, FIF_GIF, FIF_TIFF};
    for (FREE_IMAGE_FORMAT format : formats) {
        FIBITMAP* source = format == FIF_GIF ? FreeImage_ColorQuantize(picture, FIQ_WUQUANT)
                                             : FreeImage_Clone(picture);
        ByteVec whole = EncodeAndUnload(source, format);
        ASSERT_GT(whole.size(), 40u) << format;
        const size_t cuts[] = {1, 2, 8, 20, whole.size() / 3, whole.size() / 2, whole.size() - 1};
        for (size_t cut : cuts) {
            ByteVec part(whole.begin(), whole.begin() + cut);
            Loaded loaded(part, "cut.img");
            if (loaded.picture) {
                EXPECT_EQ(64u, loaded.Width()) << format << " cut at " << cut;
                EXPECT_EQ(48u, loaded.Height()) << format << " cut at " << cut;
                ExpectStandardColour(loaded.picture);
            }
        }
    }
    FreeImage_Unload(picture);
}

// Headers claiming 60000 x 60000 are refused before FreeImage allocates the pixels:
// the process's peak memory does not grow by anything near the 10 GB they claim.
TEST(ImageLoad, RefusesHugeHeadersWithoutAllocating)
{
    ByteVec smallPng = PngClaiming(8, 8), smallJpeg = JpegClaiming(8, 8), smallGif = GifClaiming(1, 1);
    EXPECT_TRUE(Loaded(smallPng).picture);  // the patching keeps the files valid
    EXPECT_TRUE(Loaded(smallJpeg).picture);
    EXPECT_TRUE(Loaded(smallGif).picture);
    long before = PeakMemoryKb();
    EXPECT_FALSE(Loaded(PngClaiming(60000, 60000)).picture);
    EXPECT_FALSE(Loaded(JpegClaiming(60000, 60000)).picture);
    EXPECT_FALSE(Loaded(GifClaiming(65535, 65535)).picture);
    EXPECT_FALSE(Loaded(PngClaiming(1, 0x7FFFFFFF)).picture);  // thin but endless
    EXPECT_FALSE(Loaded(PngClaiming(0x10000, 0x10000)).picture);  // 2^32 pixels: no wrap
    EXPECT_LT(PeakMemoryKb() - before, 64 * 1024);
    // Just inside and outside the limit, read from the header only.
    EXPECT_FALSE(Loaded(PngClaiming(12000, 10001)).picture);
    EXPECT_GT(MaxImagePixels, 12000ull * 10000 - 1);
    EXPECT_LT(MaxImagePixels, 12000ull * 10001);
}

TEST(ImageLoad, HeaderSizeOfFormatsWithoutHeaderOnlyLoading)
{
    struct Case {
        FREE_IMAGE_FORMAT format;
        int flags;
    };
    const Case saved[] = {{FIF_GIF, 0}, {FIF_WBMP, 0}, {FIF_J2K, 0}, {FIF_JP2, 0}};
    for (const Case& c : saved) {
        FIBITMAP* picture = MakeSolid(200, 130, Red);  // JPEG 2000 needs 32 pixels or more
        if (c.format == FIF_GIF) {
            FIBITMAP* q = FreeImage_ColorQuantize(picture, FIQ_WUQUANT);
            FreeImage_Unload(picture);
            picture = q;
        } else if (c.format == FIF_WBMP) {
            FIBITMAP* q = FreeImage_Threshold(picture, 128);
            FreeImage_Unload(picture);
            picture = q;
        }
        ByteVec bytes = EncodeAndUnload(picture, c.format, c.flags);
        ASSERT_FALSE(bytes.empty()) << c.format;
        uint64_t w = 0, h = 0;
        EXPECT_EQ(HeaderSizeFound, ReadHeaderSize(c.format, bytes.data(), bytes.size(), &w, &h))
            << c.format;
        EXPECT_EQ(200u, w) << c.format;
        EXPECT_EQ(130u, h) << c.format;
        for (size_t cut : {size_t(0), size_t(3)}) {
            EXPECT_EQ(HeaderSizeBroken, ReadHeaderSize(c.format, bytes.data(), cut, &w, &h))
                << c.format << " cut at " << cut;
        }
    }
    // Hand-made headers of formats FreeImage cannot write.
    uint8_t sgi[12] = {0x01, 0xDA, 0, 1, 0, 3, 0x12, 0x34, 0x00, 0x56, 0, 3};
    uint8_t dds[20] = {'D', 'D', 'S', ' ', 124, 0, 0, 0, 7, 0x10, 0, 0, 0x10, 0, 0, 0, 0x20, 0, 1, 0};
    const char* xbm = "#define cat_width 300\n#define cat_height 200\nstatic char cat_bits[] = {";
    uint8_t iff[] = {'F', 'O', 'R', 'M', 0, 0, 0, 40, 'I', 'L', 'B', 'M',
                     'A', 'N', 'N', 'O', 0, 0, 0, 3, 'a', 'b', 'c', 0,
                     'B', 'M', 'H', 'D', 0, 0, 0, 20, 0x01, 0x40, 0x00, 0xC8};
    uint64_t w = 0, h = 0;
    EXPECT_EQ(HeaderSizeFound, ReadHeaderSize(FIF_SGI, sgi, sizeof sgi, &w, &h));
    EXPECT_EQ(0x1234u, w);
    EXPECT_EQ(0x56u, h);
    EXPECT_EQ(HeaderSizeFound, ReadHeaderSize(FIF_DDS, dds, sizeof dds, &w, &h));
    EXPECT_EQ(0x10020u, w);
    EXPECT_EQ(0x10u, h);
    EXPECT_EQ(HeaderSizeFound, ReadHeaderSize(FIF_XBM, (const uint8_t*)xbm, strlen(xbm), &w, &h));
    EXPECT_EQ(300u, w);
    EXPECT_EQ(200u, h);
    EXPECT_EQ(HeaderSizeFound, ReadHeaderSize(FIF_IFF, iff, sizeof iff, &w, &h));
    EXPECT_EQ(320u, w);
    EXPECT_EQ(200u, h);
    EXPECT_EQ(HeaderSizeBroken, ReadHeaderSize(FIF_IFF, iff, 30, &w, &h));
    EXPECT_EQ(HeaderSizeNoReader, ReadHeaderSize(FIF_PICT, sgi, sizeof sgi, &w, &h));
}

// The stored picture: 60 x 40 with a red mark in its top-left corner. Each EXIF value
// moves the mark to one corner, and 5..8 exchange the sides.
TEST(ImageLoad, AppliesAllEightExifOrientations)
{
    FIBITMAP* stored = MakeSolid(60, 40, White);
    FillRect(stored, 0, 0, 12, 12, Red);
    ByteVec jpeg = EncodeAndUnload(stored, FIF_JPEG, JPEG_QUALITYSUPERB);
    enum Corner { TopLeft, TopRight, BottomRight, BottomLeft };
    struct Case {
        int orientation;
        bool sidesSwapped;
        Corner mark;
    };
    const Case cases[] = {
        {1, false, TopLeft},  {2, false, TopRight}, {3, false, BottomRight}, {4, false, BottomLeft},
        {5, true, TopLeft},   {6, true, TopRight},  {7, true, BottomRight},  {8, true, BottomLeft},
        {0, false, TopLeft},  {9, false, TopLeft},  {0x106, false, TopLeft},  // invalid: ignored
    };
    for (const Case& c : cases) {
        Loaded loaded(WithExifOrientation(jpeg, c.orientation));
        ASSERT_TRUE(loaded.picture) << c.orientation;
        unsigned w = c.sidesSwapped ? 40 : 60, h = c.sidesSwapped ? 60 : 40;
        ASSERT_EQ(w, loaded.Width()) << c.orientation;
        ASSERT_EQ(h, loaded.Height()) << c.orientation;
        const int corners[4][2] = {{3, 3}, {int(w) - 4, 3}, {int(w) - 4, int(h) - 4}, {3, int(h) - 4}};
        for (int k = 0; k < 4; k++) {
            Rgb expected = k == c.mark ? Red : White;
            EXPECT_TRUE(Near(expected, loaded.At(corners[k][0], corners[k][1])))
                << "orientation " << c.orientation << " corner " << k;
        }
    }
}

TEST(ImageLoad, SixteenBitColourComesBackAsEightBit)
{
    const FREE_IMAGE_FORMAT formats[] = {FIF_PNG, FIF_TIFF};
    for (FREE_IMAGE_FORMAT format : formats) {
        FIBITMAP* deep = FreeImage_AllocateT(FIT_RGB16, 64, 8);
        for (unsigned y = 0; y < 8; y++) {
            FIRGB16* line = (FIRGB16*)FreeImage_GetScanLine(deep, y);
            for (unsigned x = 0; x < 64; x++)
                line[x] = FIRGB16{(WORD)(x * 1040), 0x8000, (WORD)(0xFFFF - x * 1040)};
        }
        Loaded loaded(EncodeAndUnload(deep, format));
        ExpectStandardColour(loaded.picture);
        ASSERT_EQ(64u, loaded.Width());
        for (int x = 0; x < 64; x++) {
            Rgb p = loaded.At(x, 4);
            EXPECT_NEAR(x * 1040 / 257, p.r, 2) << format << " x " << x;
            EXPECT_NEAR(128, p.g, 2);
            EXPECT_NEAR(255 - x * 1040 / 257, p.b, 2);
        }
    }
    // 16-bit grey.
    FIBITMAP* grey = FreeImage_AllocateT(FIT_UINT16, 32, 4);
    for (unsigned y = 0; y < 4; y++) {
        WORD* line = (WORD*)FreeImage_GetScanLine(grey, y);
        for (unsigned x = 0; x < 32; x++) line[x] = (WORD)(x * 2048);
    }
    Loaded loaded(EncodeAndUnload(grey, FIF_PNG));
    ExpectStandardColour(loaded.picture);
    EXPECT_NEAR(8 * 2048 / 256, loaded.At(8, 1).r, 2);
    EXPECT_NEAR(31 * 2048 / 256, loaded.At(31, 1).g, 2);
}

// A float gradient from 0 to 4 (brighter than white on the right) must come back as a
// dark-to-bright ramp: rising along the row, neither blank nor noise.
TEST(ImageLoad, HighDynamicRangeIsToneMapped)
{
    struct Case {
        FREE_IMAGE_FORMAT format;
        FREE_IMAGE_TYPE type;
    };
    const Case cases[] = {{FIF_HDR, FIT_RGBF}, {FIF_EXR, FIT_RGBF}, {FIF_EXR, FIT_RGBAF},
                          {FIF_TIFF, FIT_FLOAT}};
    for (const Case& c : cases) {
        FIBITMAP* hdr = FreeImage_AllocateT(c.type, 64, 8);
        for (unsigned y = 0; y < 8; y++) {
            BYTE* line = FreeImage_GetScanLine(hdr, y);
            for (unsigned x = 0; x < 64; x++) {
                float v = x / 16.0f;
                if (c.type == FIT_RGBF) ((FIRGBF*)line)[x] = FIRGBF{v, v, v};
                if (c.type == FIT_RGBAF) ((FIRGBAF*)line)[x] = FIRGBAF{v, v, v, 1.0f};
                if (c.type == FIT_FLOAT) ((float*)line)[x] = v;
            }
        }
        Loaded loaded(EncodeAndUnload(hdr, c.format));
        ASSERT_TRUE(loaded.picture) << c.format << " type " << c.type;
        ExpectStandardColour(loaded.picture);
        int previous = -1;
        for (int x = 0; x < 64; x++) {
            Rgb p = loaded.At(x, 3);
            EXPECT_GE(p.r, previous - 1) << c.format << " x " << x;  // rising, not noise
            EXPECT_NEAR(p.r, p.g, 2);
            previous = p.r;
        }
        EXPECT_LT(loaded.At(0, 3).r, 30);
        EXPECT_GT(loaded.At(63, 3).r, 180);
        EXPECT_GT(loaded.At(63, 3).r - loaded.At(8, 3).r, 60);
    }
}

TEST(ImageLoad, PalettisedAndGreyBecomeFullColour)
{
    FIBITMAP* colour = MakeSolid(20, 10, Blue);
    FillRect(colour, 0, 0, 10, 10, Red);
    FIBITMAP* four = FreeImage_ConvertTo4Bits(colour);
    FIBITMAP* one = FreeImage_Threshold(colour, 50);
    FIBITMAP* eight = FreeImage_ColorQuantize(colour, FIQ_WUQUANT);
    FIBITMAP* transparent = FreeImage_Clone(eight);
    BYTE table[256];
    memset(table, 255, sizeof table);
    BYTE index = 0;
    FreeImage_GetPixelIndex(transparent, 15, 5, &index);  // a blue pixel
    table[index] = 0;
    FreeImage_SetTransparencyTable(transparent, table, 256);
    struct Case {
        FIBITMAP* picture;
        FREE_IMAGE_FORMAT format;
        unsigned bpp;
    };
    const Case cases[] = {{four, FIF_BMP, 24}, {one, FIF_PNG, 24}, {eight, FIF_GIF, 24},
                          {transparent, FIF_PNG, 24}};
    for (const Case& c : cases) {
        Loaded loaded(Encode(c.picture, c.format));
        ExpectStandardColour(loaded.picture);
        EXPECT_EQ(c.bpp, FreeImage_GetBPP(loaded.picture)) << c.format;
        EXPECT_EQ(20u, loaded.Width());
        FreeImage_Unload(c.picture);
    }
    FreeImage_Unload(colour);
}

// Flips apply to the unturned picture, before the counter-clockwise rotation.
TEST(ImageLoad, OrientForEntryFlipsThenTurns)
{
    enum Corner { TopLeft, TopRight, BottomRight, BottomLeft };
    struct Case {
        int flips, rotation;
        bool sidesSwapped;
        Corner mark;
    };
    const Case cases[] = {
        {0, 0, false, TopLeft},     {1, 0, false, TopRight},   {2, 0, false, BottomLeft},
        {3, 0, false, BottomRight}, {0, 90, true, BottomLeft}, {0, 180, false, BottomRight},
        {0, 270, true, TopRight},   {1, 90, true, TopLeft},    {2, 90, true, BottomRight},
        {1, 270, true, BottomRight},
    };
    for (const Case& c : cases) {
        FIBITMAP* picture = MakeSolid(60, 40, White);
        FillRect(picture, 0, 0, 12, 12, Red);
        picture = OrientForEntry(picture, c.flips, c.rotation);
        ASSERT_TRUE(picture);
        int w = c.sidesSwapped ? 40 : 60, h = c.sidesSwapped ? 60 : 40;
        EXPECT_EQ(w, (int)FreeImage_GetWidth(picture));
        EXPECT_EQ(h, (int)FreeImage_GetHeight(picture));
        const int corners[4][2] = {{3, 3}, {w - 4, 3}, {w - 4, h - 4}, {3, h - 4}};
        for (int k = 0; k < 4; k++) {
            Rgb expected = k == c.mark ? Red : White;
            EXPECT_TRUE(Near(expected, PixelAt(picture, corners[k][0], corners[k][1]), 0))
                << "flips " << c.flips << " rotation " << c.rotation << " corner " << k;
        }
        FreeImage_Unload(picture);
    }
    EXPECT_EQ(nullptr, OrientForEntry(nullptr, 1, 90));
}
