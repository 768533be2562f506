// Reading picture files and what the decoder process does with them: what is not a
// picture, cut files, hostile headers, camera orientation, the thumbnail and page picture
// made from them; a request and its reply seen from both ends of the pipe, every damaged
// reply refused; and the open dialog's selection read within its buffer.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "decoder/job.h"
#include "picture/byte_order.h"
#include "picture/header_size.h"
#include "picture/jpeg_segments.h"
#include "picture/image_load.h"
#include "import/open_selection.h"
#include "picture/thumbnail.h"
#include "picture/page_picture.h"
#include "model/page_geometry.h"
#include "support/support.h"

namespace {

// Real files whose headers claim another size (the PNG's CRC corrected).
ByteVec PngClaiming(uint32_t width, uint32_t height)
{
    ByteVec png = EncodeAndUnload(MakeSolid(8, 8, Blue), FIF_PNG);
    auto put = [&png](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) png[at + i] = (uint8_t)(v >> (24 - 8 * i));
    };
    put(16, width), put(20, height), put(29, (uint32_t)crc32(0, &png[12], 17));
    return png;
}

ByteVec JpegClaiming(unsigned width, unsigned height)
{
    ByteVec jpeg = EncodeAndUnload(MakeSolid(8, 8, Blue), FIF_JPEG);
    size_t at = 0;  // the frame header's marker
    EXPECT_TRUE(IsEmbeddableJpeg(jpeg.data(), jpeg.size(), &at));
    jpeg[at + 5] = (uint8_t)(height >> 8), jpeg[at + 6] = (uint8_t)height;
    jpeg[at + 7] = (uint8_t)(width >> 8), jpeg[at + 8] = (uint8_t)width;
    return jpeg;
}

ByteVec GifClaiming(unsigned width, unsigned height)
{
    ByteVec gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 255, 255, 255, 0, 0, 0,
                   0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
    gif[6] = gif[25] = (uint8_t)width, gif[7] = gif[26] = (uint8_t)(width >> 8);
    gif[8] = gif[27] = (uint8_t)height, gif[9] = gif[28] = (uint8_t)(height >> 8);
    return gif;
}

// A camera raw file as small as LibRaw takes it (22 pixels a side at least): a DNG of
// 36 x 24 pixels of 8-bit linear RGB, bright in its top-left 12 x 8 pixels, with
// Orientation 6 of the given TIFF type.
ByteVec TinyDng(uint32_t orientationType)
{
    const uint32_t w = 36, h = 24, tags[][4] = {
        {256, 3, 1, w}, {257, 3, 1, h}, {258, 3, 1, 8}, {262, 3, 1, 34892},  // LinearRaw
        {273, 4, 1, 8 + 2 + 8 * 12 + 4}, {274, orientationType, 1, 6}, {277, 3, 1, 3},
        {50706, 1, 4, 0x401}};  // DNGVersion 1.4
    ByteVec b = {'I', 'I', 42, 0, 8, 0, 0, 0, 8, 0};
    for (const auto& t : tags)
        for (int i = 0; i < 4; i++) AppendLittleEndian(&b, t[i], i < 2 ? 2 : 4);
    AppendLittleEndian(&b, 0, 4);
    for (uint32_t y = 0; y < h; y++)
        for (uint32_t x = 0; x < w * 3; x++) b.push_back(x < w && y < h / 3 ? 250 : 20);
    return b;
}

// A photo-like 1600 x 1200 JPEG: soft gradients, fine texture and seeded noise.
ByteVec PhotoLikeJpeg()
{
    FIBITMAP* picture = FreeImage_Allocate(1600, 1200, 24);
    unsigned seed = 7;
    auto level = [](double v) { return (BYTE)std::lround(std::fmin(255, std::fmax(0, v))); };
    for (unsigned y = 0; y < 1200; y++) {
        BYTE* line = FreeImage_GetScanLine(picture, y);
        for (unsigned x = 0; x < 1600; x++) {
            seed = seed * 1103515245 + 12345;
            const double noise = (int)(seed >> 16 & 15) - 7.5, texture = 30 * sin(x * 0.21) * sin(y * 0.17);
            line[x * 3 + 0] = level(40 + x * 0.15 + texture + noise);
            line[x * 3 + 1] = level(70 + y * 0.2 - texture + noise);
            line[x * 3 + 2] = level(200 - (x + y) * 0.07 + noise);
        }
    }
    return EncodeAndUnload(picture, FIF_JPEG, 90);
}

// Peak signal-to-noise ratio of b against a; (bx, by): where a's top-left pixel lies in b.
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

std::vector<uint8_t> Job(DecodeJobKind kind, const ByteVec& file, const PagePlan& plan = PagePlan(),
                         int side = ThumbnailSize)
{
    std::vector<uint8_t> request = EncodeRequest(kind, "C:\\a.png", plan, side);
    DecodeJobKind readKind;
    uint64_t length;
    EXPECT_TRUE(ReadRequestHeader(request.data(), &readKind, &length));
    EXPECT_EQ(request.size(), FrameHeaderBytes + length);
    DecodeRequest parsed;
    EXPECT_TRUE(ParseRequestBody(readKind, request.data() + FrameHeaderBytes, (size_t)length, &parsed));
    EXPECT_STREQ("C:\\a.png", parsed.fileName);
    parsed.data = file.data(), parsed.size = file.size();  // as the decoder maps the file
    return RunDecodeJob(parsed);
}

bool Accepted(DecodeJobKind kind, const std::vector<uint8_t>& reply, int side = ThumbnailSize)
{
    DecodeStatus status;
    uint64_t length;
    static ThumbnailPixels pixels;
    PagePicture page;
    const uint8_t* body = reply.data() + FrameHeaderBytes;
    return ReadReplyHeader(reply.data(), kind, &status, &length) && status == DecodeDone &&
           length == reply.size() - FrameHeaderBytes &&
           (kind == DecodeThumbnail ? ParseThumbnailReply(body, (size_t)length, &pixels, side)
                                    : ParsePageReply(std::vector<uint8_t>(body, body + length), &page));
}

}  // namespace

// What is not a picture, headers claiming gigapixels and files that loop or allocate
// without end inside FreeImage are refused without a crash, before FreeImage allocates
// the pixels or reads them; a file cut short is refused or keeps its full size.
TEST(ImageLoad, WhatIsNotAPictureHugeHostileOrCutShortIsRefusedWithoutACrash)
{
    EXPECT_TRUE(LoadUpright(PngClaiming(8, 8)) && LoadUpright(JpegClaiming(8, 8)) &&
                LoadUpright(GifClaiming(1, 1))) << "the patching keeps the files valid";
    EXPECT_TRUE(LoadUpright(EncodeAndUnload(MakeSolid(30, 20, Red), FIF_JPEG), "a.png"))
        << "the content decides before the name";
    std::string text = "This is a text file, not a photograph.\n";
    for (const char* name : {"notes.jpg", "notes.bmp", "notes.tga", "notes"})
        EXPECT_FALSE(LoadUpright(ByteVec(text.begin(), text.end()), name)) << name;
    EXPECT_FALSE(PictureFile().ReadHeader(nullptr, 10, "empty.png"));
    std::vector<std::pair<std::string, ByteVec>> refused = {
        {"huge.png", PngClaiming(60000, 60000)},
        {"huge.jpg", JpegClaiming(60000, 60000)},
        {"huge.gif", GifClaiming(65535, 65535)},
        {"thin but endless.png", PngClaiming(1, 0x7FFFFFFF)},
        {"2^32 pixels, no wrap to 0.png", PngClaiming(0x10000, 0x10000)},
    };
    for (const HostileFile& f : HostileFiles(TOLVANE_TEST_DATA_DIR))
        if (f.coreRefuses) refused.push_back({f.name, ByteVec(f.bytes.begin(), f.bytes.end())});
    long before = PeakMemoryKb();
    for (const auto& r : refused) {
        ASSERT_FALSE(r.second.empty()) << r.first;
        EXPECT_FALSE(LoadUpright(r.second, r.first.c_str())) << r.first;
    }
    EXPECT_LT(PeakMemoryKb() - before, 64 * 1024);
    for (const char* format : {"jpg", "png", "bmp", "gif"}) {
        ByteVec whole = MakeTestImageBytes(64, 48, format);
        for (size_t cut : {(size_t)1, (size_t)8, (size_t)20, whole.size() / 2, whole.size() - 1}) {
            const BitmapOwner picture = LoadUpright(ByteVec(&whole[0], &whole[cut]), "cut.img");
            if (picture)  // a partial picture must still have the full size
                EXPECT_EQ(64u, FreeImage_GetWidth(picture.get())) << format << " cut at " << cut;
        }
    }
}

TEST(ImageLoad, ThumbnailsStandUprightAsTheCameraSays)
{
    // A wide picture with a red top-left corner, stored as the camera saw it; the EXIF
    // orientation says where that corner belongs.
    FIBITMAP* picture = MakeSolid(120, 80, Blue);
    FillRect(picture, 0, 0, 40, 40, Red);
    ByteVec jpeg = EncodeAndUnload(picture, FIF_JPEG, JPEG_QUALITYSUPERB);
    struct { int orientation; int x, y; bool tall; } cases[] = {
        {1, 10, 20, false}, {2, 85, 20, false}, {3, 85, 70, false}, {4, 10, 70, false},
        {5, 20, 10, true},  {6, 70, 10, true},  {7, 70, 85, true},  {8, 20, 85, true}};
    static ThumbnailPixels thumb;
    for (auto& c : cases) {
        ByteVec bytes = WithExifOrientation(jpeg, c.orientation);
        ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "a.jpg", &thumb));
        const PictureRect& r = thumb.pictureRect;
        EXPECT_EQ(c.tall, r.bottom - r.top > r.right - r.left) << c.orientation;
        EXPECT_TRUE(Near(Red, ThumbPixel(thumb.bgra.data(), c.x, c.y), 60)) << c.orientation;
        EXPECT_TRUE(Near(White, ThumbPixel(thumb.bgra.data(), c.tall ? 2 : 48, c.tall ? 48 : 2), 0))
            << "white around the picture, orientation " << c.orientation;
    }
}

// LibRaw decodes a camera raw file turned upright already: it is turned once, and sized
// as decoded also when LibRaw reads an orientation that the program's own reader does
// not (a LONG where a SHORT belongs). Upright it is 24 x 36, bright at the top right.
TEST(ImageLoad, CameraRawFilesAreTurnedOnce)
{
    for (uint32_t type : {3u, 4u}) {
        SCOPED_TRACE(type);
        const ByteVec dng = TinyDng(type);
        static ThumbnailPixels thumb;
        ASSERT_TRUE(MakeThumbnailPixels(dng.data(), dng.size(), "a.dng", &thumb));
        EXPECT_EQ(16, thumb.pictureRect.left);  // 64 x 96
        EXPECT_EQ(96, thumb.pictureRect.bottom);
        EXPECT_GT(ThumbPixel(thumb.bgra.data(), 70, 10).g, 200);
        EXPECT_LT(ThumbPixel(thumb.bgra.data(), 70, 60).g, 100);
        PagePlan plan;
        plan.startsPage = false, plan.cellWidth = plan.cellHeight = 1000;
        unsigned w = 0, h = 0;
        const BitmapOwner pixels(MakePagePixels(dng.data(), dng.size(), "a.dng", plan, &w, &h));
        ASSERT_TRUE(pixels);
        EXPECT_EQ(std::make_pair(24u, 36u), std::make_pair(w, h));
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(FreeImage_GetWidth(pixels.get()),
                                                       FreeImage_GetHeight(pixels.get())));
        EXPECT_GT(PixelAt(pixels.get(), 20, 4).g, 200);
        EXPECT_LT(PixelAt(pixels.get(), 20, 30).g, 100);
    }
}

// While not 0, allocations through new of at least this many bytes fail: the resample's
// tables, in a decoder out of memory.
static size_t FailNewFrom = 0;
void* operator new(size_t size)
{
    void* p = FailNewFrom && size >= FailNewFrom ? nullptr : malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
void operator delete(void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }

// A page picture that fails for want of memory leaves none of its bitmaps behind: the
// decoder process goes on to its next file.
TEST(ImageLoad, NoBitmapIsLostWhenMemoryRunsOut)
{
    const ByteVec png = MakeTestImageBytes(640, 480, "png");
    PagePlan plan;
    plan.startsPage = false, plan.cellWidth = plan.cellHeight = 400;  // 400 x 300 resampled
    unsigned w, h;
    MakePagePixels(png.data(), png.size(), "a.png", plan, &w, &h);  // warm-up
    const size_t before = mallinfo2().uordblks + mallinfo2().hblkhd;
    FailNewFrom = 4096;
    EXPECT_FALSE(MakePagePixels(png.data(), png.size(), "a.png", plan, &w, &h));
    FailNewFrom = 0;
    EXPECT_LT(mallinfo2().uordblks + mallinfo2().hblkhd, before + 100000);  // 360,000 the smaller
}

// XBM: FreeImage reads values until it has them all, past the end of the file, and a
// size written in a comment is not the size.
TEST(ImageLoad, XbmSizeIsReadAsTheDecoderReadsIt)
{
    struct { const char* text; HeaderSizeResult result; uint64_t w, h; } xbms[] = {
        {"#define c_width 12\n#define c_height 2\nstatic char c_bits[] = {\n1,0x2,3,4};", HeaderSizeFound, 12, 2},
        {"#define c_width 12\n#define c_height 2\nstatic char c_bits[] = {\n1,2,3", HeaderSizeBroken, 0, 0},
        {"/* c_width 99999 */\n#define c_width 8\n#define c_height 1\nstatic char c[] = {\n1};", HeaderSizeFound, 8, 1},
        {"#define c_width 300\n#define c_height 200\nstatic char c_bits[] = {", HeaderSizeBroken, 0, 0},
    };
    for (const auto& x : xbms) {
        uint64_t w = 0, h = 0;
        EXPECT_EQ(x.result, ReadHeaderSize(FIF_XBM, (const uint8_t*)x.text, strlen(x.text), &w, &h)) << x.text;
        EXPECT_EQ(std::make_pair(x.w, x.h), std::make_pair(w, h)) << x.text;
    }
}

// Pictures decoded reduced (page pictures and thumbnails) come out as from a full-size
// decode resampled: the same sizes and pixels within 40 dB PSNR, through every turn.
TEST(ImageLoad, ReducedDecodesMatchTheFullSizeOnes)
{
    const ByteVec plain = PhotoLikeJpeg();
    struct Case {
        int exif, flips, rotation;
        unsigned cellWidth, cellHeight;
        double quality;
    } cases[] = {
        {1, 0, 0, 200, 150, 0.3}, {1, 0, 0, 300, 225, 0.0}, {1, 0, 0, 200, 150, 0.0},  // 1/2, 1/4, 1/8
        {6, 0, 0, 150, 200, 0.0}, {6, 1, 90, 200, 150, 0.3}, {1, 2, 270, 150, 200, 0.1},  // turned
        {1, 0, 0, 720, 540, 0.3}, {1, 0, 0, 200, 150, 1.0},  // no reduction keeps enough; full
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "exif " << c.exif << " rotation " << c.rotation
                                        << " quality " << c.quality);
        const ByteVec file = c.exif == 1 ? plain : WithExifOrientation(plain, c.exif);
        const BitmapOwner full = OrientForEntry(LoadUpright(file), c.flips, c.rotation);
        const unsigned w = FreeImage_GetWidth(full.get()), h = FreeImage_GetHeight(full.get());
        DrawnSize size = {w, h};
        const BitmapOwner expected(
            ResampledSize(w, h, FitPicture(w, h, c.cellWidth, c.cellHeight), c.quality, &size)
                ? FreeImage_Rescale(full.get(), size.width, size.height, FILTER_BICUBIC)
                : FreeImage_Clone(full.get()));

        PagePlan plan;
        plan.flips = c.flips, plan.rotation = c.rotation, plan.quality = c.quality;
        plan.startsPage = false, plan.cellWidth = c.cellWidth, plan.cellHeight = c.cellHeight;
        unsigned turnedWidth = 0, turnedHeight = 0;
        const BitmapOwner pixels(MakePagePixels(file.data(), file.size(), "p.jpg", plan,
                                                &turnedWidth, &turnedHeight));
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(turnedWidth, turnedHeight));
        EXPECT_GE(Psnr(expected.get(), pixels.get()), 40.0);
        PagePicture made;  // and encoded at that size
        ASSERT_TRUE(MakePagePicture(file.data(), file.size(), "p.jpg", plan, &made));
        const BitmapOwner decoded = LoadUpright(made.jpeg);
        EXPECT_EQ(std::make_pair(size.width, size.height),
                  std::make_pair(FreeImage_GetWidth(decoded.get()), FreeImage_GetHeight(decoded.get())));

        // The thumbnail, decoded reduced, against the full picture box-scaled.
        static ThumbnailPixels thumbnail;
        ASSERT_TRUE(MakeThumbnailPixels(file.data(), file.size(), "p.jpg", &thumbnail));
        const PictureRect& r = thumbnail.pictureRect;
        const BitmapOwner box(FreeImage_Rescale(LoadUpright(file).get(), r.right - r.left,
                                                r.bottom - r.top, FILTER_BOX));
        const BitmapOwner square = FromBgra(thumbnail.bgra.data(), ThumbnailSize, ThumbnailSize);
        EXPECT_GE(Psnr(box.get(), square.get(), r.left, r.top), 40.0);
    }
}

// At the highest quality a JPEG keeping its size goes in as the file's own data, less
// its metadata and what follows its end, byte for byte, turned or not: the page turns it
// (the PDF tests look at the turned pages). At a lower quality the original goes in only
// when not larger; arithmetic coding and 12 bits are not kept.
TEST(PagePicture, AJpegKeptAtItsSizeIsTheFilesOwnDataWithoutItsMetadata)
{
    const ByteVec whole = PhotoLikeJpeg();
    const BitmapOwner pixels = LoadUpright(whole);
    const ByteVec progressive = EncodeAndUnload(FreeImage_Copy(pixels.get(), 0, 0, 1000, 750), FIF_JPEG,
                                                JPEG_PROGRESSIVE | 90),
                  low = EncodeAndUnload(FreeImage_Copy(pixels.get(), 0, 0, 800, 600), FIF_JPEG, 50);
    struct Case {
        const ByteVec* jpeg;
        int exif, flips, rotation;
        double quality;
        bool kept;
    } cases[] = {
        {&whole, 1, 0, 0, 1.0, true}, {&progressive, 1, 0, 0, 1.0, true}, {&whole, 6, 0, 0, 1.0, true},
        {&whole, 1, FlipLeftRightFlag, 90, 1.0, true}, {&progressive, 2, 0, 180, 1.0, true},
        {&whole, 1, 0, 0, 0.9, false},
        {&low, 1, 0, 0, 0.9, true},  // not resampled
    };
    const char* metadata[] = {"Exif", "GPS 48N", "ns.xap", "after"};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "exif " << c.exif << " flips " << c.flips << " rotation "
                                        << c.rotation << " quality " << c.quality);
        ByteVec file = WithExifOrientation(*c.jpeg, c.exif);
        const char more[] = "\xFF\xFE\0\x0AGPS 48N\0\xFF\xE1\0\x0Fhttp://ns.xap";  // a comment, XMP
        file.insert(file.begin() + 2, more, more + sizeof more - 1);
        file.insert(file.end(), metadata[3], metadata[3] + 5);  // bytes after the picture
        PagePlan plan;
        plan.flips = c.flips, plan.rotation = c.rotation, plan.quality = c.quality;
        plan.startsPage = false, plan.cellWidth = 2000, plan.cellHeight = 1500;
        PagePicture made;
        ASSERT_TRUE(MakePagePicture(file.data(), file.size(), "p.jpg", plan, &made));
        EXPECT_EQ(c.kept, made.jpeg == *c.jpeg);
        for (const char* text : metadata)
            EXPECT_EQ(made.jpeg.end(), std::search(made.jpeg.begin(), made.jpeg.end(), text, text + strlen(text))) << text;
        const BitmapOwner expected = OrientForEntry(LoadUpright(file), c.flips, c.rotation);
        EXPECT_EQ(std::make_pair(FreeImage_GetWidth(expected.get()), FreeImage_GetHeight(expected.get())),
                  std::make_pair(made.width, made.height));
        if (!c.kept) {  // encoded: turned already
            EXPECT_TRUE(made.turn.None());
            EXPECT_GE(Psnr(expected.get(), LoadUpright(made.jpeg).get()), 30);
        }
    }
    for (bool twelveBits : {false, true}) {  // arithmetic coding; 12 bits, which C1 allows
        ByteVec file = whole;
        size_t at = 0;
        ASSERT_TRUE(IsEmbeddableJpeg(file.data(), file.size(), &at));
        file[at + 1] = twelveBits ? 0xC1 : 0xC9;
        if (twelveBits) file[at + 4] = 12;
        std::vector<FilePiece> pieces;
        JpegFrame frame;
        EXPECT_FALSE(KeepJpegData(file.data(), file.size(), &pieces, &frame)) << twelveBits;
    }
}

// Transparent pictures come out on white paper, in the decoded picture (which the PDF
// embeds) and in the thumbnail. 48 x 48: columns 0-11 clear, 12-23 red at alpha 128, the
// rest opaque blue; a palette picture's first 24 columns are its transparent colour. An
// alpha channel that is all 0 is unused (an opaque picture), not a blank one.
TEST(ImageLoad, TransparencyIsBlendedOverWhite)
{
    enum Kind { Alpha, Palette, UnusedAlpha };
    const struct { FREE_IMAGE_FORMAT format; Kind kind; int flags; } cases[] = {
        {FIF_PNG, Alpha, 0}, {FIF_TARGA, Alpha, 0}, {FIF_TIFF, Alpha, 0}, {FIF_PSD, Alpha, 0},
        {FIF_ICO, Alpha, 0}, {FIF_WEBP, Alpha, WEBP_LOSSLESS}, {FIF_GIF, Palette, 0},
        {FIF_PNG, Palette, 0}, {FIF_ICO, Palette, 0}, {FIF_TARGA, UnusedAlpha, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(FreeImage_GetFormatFromFIF(c.format)) + " " + std::to_string(c.kind));
        FIBITMAP* p = FreeImage_Allocate(48, 48, c.kind == Palette ? 8 : 32, FI_RGBA_RED_MASK,
                                         FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
        BYTE table[2] = {0, 255};
        if (c.kind == Palette) {
            memset(FreeImage_GetPalette(p), 0, 256 * sizeof(RGBQUAD));
            FreeImage_GetPalette(p)[1].rgbBlue = 255;
            FreeImage_SetTransparencyTable(p, table, 2);
        }
        for (unsigned y = 0; y < 48; y++)
            for (unsigned x = 0; x < 48; x++) {
                BYTE* line = FreeImage_GetScanLine(p, y);
                if (c.kind == Palette) { line[x] = x < 24 ? 0 : 1; continue; }
                bool half = x >= 12 && x < 24;
                BYTE* px = line + x * 4;
                px[FI_RGBA_RED] = half ? 255 : 0, px[FI_RGBA_GREEN] = 0, px[FI_RGBA_BLUE] = x >= 24 ? 255 : 0;
                px[FI_RGBA_ALPHA] = c.kind == UnusedAlpha || x < 12 ? 0 : half ? 128 : 255;
            }
        ByteVec bytes = EncodeAndUnload(p, c.format, c.flags);
        const Rgb clear = c.kind == UnusedAlpha ? Black : White;
        const BitmapOwner picture = LoadUpright(bytes, "a.img");
        ASSERT_TRUE(picture);
        EXPECT_EQ(24u, FreeImage_GetBPP(picture.get()));
        EXPECT_TRUE(Near(clear, PixelAt(picture.get(), 4, 12), 2));
        EXPECT_TRUE(Near(Blue, PixelAt(picture.get(), 40, 12), 2));
        if (c.kind == Alpha) EXPECT_TRUE(Near(Rgb{255, 127, 127}, PixelAt(picture.get(), 18, 12), 3));
        static ThumbnailPixels thumb;  // the square scaled to 96 x 96
        ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), "a.img", &thumb));
        EXPECT_TRUE(Near(clear, ThumbPixel(thumb.bgra.data(), 8, 48), 2));
        EXPECT_TRUE(Near(Blue, ThumbPixel(thumb.bgra.data(), 80, 48), 2));
    }
}

TEST(DecoderProtocol, RepliesComeBackWholeAndDamagedOnesAreRefused)
{
    ByteVec png = EncodeAndUnload(MakeSolid(80, 40, Blue), FIF_PNG);
    std::vector<uint8_t> thumbnail = Job(DecodeThumbnail, png);
    ASSERT_TRUE(Accepted(DecodeThumbnail, thumbnail));
    static ThumbnailPixels direct;
    ASSERT_TRUE(MakeThumbnailPixels(png.data(), png.size(), "a.png", &direct));
    EXPECT_EQ(0, memcmp(direct.bgra.data(), thumbnail.data() + FrameHeaderBytes + 16, direct.bgra.size()));
    // A thumbnail of the side asked for, and only of that; no side past the limits is asked.
    EXPECT_TRUE(Accepted(DecodeThumbnail, Job(DecodeThumbnail, png, PagePlan(), 192), 192));
    EXPECT_FALSE(Accepted(DecodeThumbnail, Job(DecodeThumbnail, png, PagePlan(), 192)));
    std::vector<uint8_t> huge = EncodeRequest(DecodeThumbnail, "a.png", PagePlan(), MaxThumbnailSide + 1);
    DecodeRequest parsed;
    EXPECT_FALSE(ParseRequestBody(DecodeThumbnail, &huge[FrameHeaderBytes], huge.size() - FrameHeaderBytes, &parsed));

    PagePlan plan;
    plan.pageWidth = 792, plan.pageHeight = 612, plan.margin = plan.gap = 36;
    plan.rotation = 90;
    std::vector<uint8_t> page = Job(DecodePage, png, plan);
    ASSERT_TRUE(Accepted(DecodePage, page));
    EXPECT_EQ(40u, page[FrameHeaderBytes]) << "the width after the quarter turn";
    EXPECT_FALSE(Accepted(DecodeThumbnail, page)) << "a reply to another kind of job";

    struct Damage {
        const char* what;
        std::vector<uint8_t>* reply;
        size_t at;
        uint8_t value;
    } damages[] = {
        {"magic", &thumbnail, 0, 'X'},
        {"status", &thumbnail, 4, 7},
        {"length", &thumbnail, 8, 1},
        {"rectangle past the square", &thumbnail, FrameHeaderBytes + 8, 97},
        {"empty rectangle", &thumbnail, FrameHeaderBytes + 12, 0},
        {"length past the limit", &page, 13, 0x7F},
        {"zero width", &page, FrameHeaderBytes, 0},
        {"a turn of no picture's", &page, FrameHeaderBytes + 8, 8},
        {"no JPEG", &page, FrameHeaderBytes + PageReplyHeadBytes, 0},
        {"JPEG segment past the end", &page, FrameHeaderBytes + PageReplyHeadBytes + 4, 0x7F},
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> damaged = *d.reply;
        if (d.reply == &page && d.at == FrameHeaderBytes) memset(&damaged[d.at], 0, 4);
        else damaged[d.at] = d.value;
        EXPECT_FALSE(Accepted(d.reply == &page ? DecodePage : DecodeThumbnail, damaged)) << d.what;
    }
    std::vector<uint8_t> unreadable = Job(DecodeThumbnail, ByteVec{'n', 'o'});
    DecodeStatus status;
    uint64_t length;
    ASSERT_TRUE(ReadReplyHeader(unreadable.data(), DecodeThumbnail, &status, &length));
    EXPECT_EQ(DecodeUnreadable, status);

    // At the highest quality a JPEG the program holds open stays in its file: the reply
    // names the pieces to join, and pieces out of order are refused.
    const ByteVec plain = EncodeAndUnload(MakeSolid(64, 48, Blue), FIF_JPEG), jpeg = WithExifOrientation(plain, 1);
    plan.rotation = 0, plan.quality = 1.0;
    std::vector<uint8_t> held = EncodeRequest(DecodePage, "a.jpg", plan, ThumbnailSize, true);
    ASSERT_TRUE(ParseRequestBody(DecodePage, &held[FrameHeaderBytes], held.size() - FrameHeaderBytes, &parsed));
    parsed.data = jpeg.data(), parsed.size = jpeg.size();
    std::vector<uint8_t> inFile = RunDecodeJob(parsed);
    PagePicture left;
    ASSERT_TRUE(ReadReplyHeader(inFile.data(), DecodePage, &status, &length) && status == DecodeDoneInFile);
    ASSERT_TRUE(ParsePageInFileReply(&inFile[FrameHeaderBytes], (size_t)length, &left));
    EXPECT_EQ(plain, JoinPieces(jpeg.data(), left.filePieces));
    memset(&inFile[FrameHeaderBytes + 28], 0, 8);  // the second piece starts at 0
    EXPECT_FALSE(ParsePageInFileReply(&inFile[FrameHeaderBytes], (size_t)length, &left));
}

TEST(Paths, OpenSelectionIsReadWithinTheBuffer)
{
    std::string longFolder(MaxPathBytes - 1, 'd'), longest(MaxPathBytes - 2, 'd');  // UTF-8 bytes
    struct Case {
        std::string bytes;
        size_t offset, size;  // size 0: the bytes and poison up to 16260
        const char* folder;   // null: refused, nothing changed
        std::vector<std::string> names;
    } cases[] = {
        {std::string("C:\\Pictures\\a.jpg\0", 18), 12, 0, "C:\\Pictures", {"a.jpg"}},
        {std::string("C:\\P\0b.png\0a.jpg\0\0", 19), 5, 0, "C:\\P", {"b.png", "a.jpg"}},
        {std::string("C:\\\0a.jpg\0b.jpg\0\0", 17), 4, 0, "C:\\", {"a.jpg", "b.jpg"}},
        {std::string("C:\\a.jpg\0", 9), 3, 0, "C:\\", {"a.jpg"}},  // a root keeps its backslash
        {std::string("D:\\x\0a.png\0b.pn", 15), 5, 15, "D:\\x", {"a.png"}},  // cut last name
        {longest + std::string("\0a.jpg\0\0", 8), MaxPathBytes - 1, 0, longest.c_str(), {"a.jpg"}},
        {std::string("C:\\a.jpg\0", 9), 0, 0, nullptr, {}},
        {longFolder + std::string("\0a.jpg\0\0", 8), MaxPathBytes, 0, nullptr, {}},  // too long
        {std::string("C:\\a\0\0", 6), 5, 6, nullptr, {}},     // offset at the buffer's end
        {std::string("C:\\a\0\0", 6), 4, 0, nullptr, {}},     // an empty first name
        {std::string("C:\\a\0bbbb", 9), 4, 9, nullptr, {}},   // no terminator inside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        std::vector<char> buffer(std::max<size_t>(16260, c.bytes.size()), 'x');
        memcpy(buffer.data(), c.bytes.data(), c.bytes.size());
        OpenSelection s;
        strcpy(s.directory, "untouched");
        bool read = ReadOpenSelection(buffer.data(), c.size ? c.size : buffer.size(), c.offset, &s);
        EXPECT_EQ(c.folder != nullptr, read);
        EXPECT_STREQ(c.folder ? c.folder : "untouched", s.directory);
        EXPECT_EQ(c.names, std::vector<std::string>(s.names.begin(), s.names.end()));
    }
}

// A joined path fits whole or is refused: never cut inside a character ("\xC3\xA9" is é).
TEST(Paths, JoinedPathsFitWholeOrNotAtAll)
{
    const struct { const char *folder, *name; size_t size; const char* path; } cases[] = {
        {"C:\\P", "a.jpg", 11, "C:\\P\\a.jpg"}, {"C:\\", "a.jpg", 9, "C:\\a.jpg"},
        {"C:\\P", "a.jpg", 10, nullptr}, {"C:\\P", "\xC3\xA9.jpg", 7, nullptr}};
    for (const auto& c : cases) {
        char out[16];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(c.path != nullptr, JoinPath(c.folder, c.name, out, c.size)) << c.size;
        EXPECT_STREQ(c.path ? c.path : "", out) << c.size;
    }
}
