// Decoding picture files held in memory with FreeImage, with the size checked from the
// header before any pixel memory is taken.
#include "picture/image_load.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "picture/exif_orientation.h"
#include "picture/exif_reader.h"
#include "picture/exr_header.h"
#include "picture/header_size.h"
#include "picture/heif_boxes.h"
#include "picture/heif_picture.h"
#include "picture/jpeg_decode.h"
#include "picture/jpeg_segments.h"
#include "picture/standard_colour.h"
#include "model/collection.h"
#include "model/product.h"

namespace {

// The decoded bitmap itself is bounded too: a 16-bit RGB scan at the full pixel limit
// passes, a float RGBA picture of that size (16 bytes a pixel) does not.
const unsigned long long MaxDecodedBytes = MaxImagePixels * 6;

bool SizeAllowed(uint64_t width, uint64_t height, unsigned bitsPerPixel)
{
    if (width == 0 || height == 0) return false;
    if (width > MaxImagePixels || height > MaxImagePixels) return false;  // no overflow below
    uint64_t pixels = width * height;
    return pixels <= MaxImagePixels && pixels * bitsPerPixel / 8 <= MaxDecodedBytes;
}

bool BitmapSizeAllowed(FIBITMAP* bitmap)
{
    return SizeAllowed(FreeImage_GetWidth(bitmap), FreeImage_GetHeight(bitmap),
                       FreeImage_GetBPP(bitmap));
}

// The format from the content; when FreeImage does not recognise it, from the name's
// extension (the name may be a Windows path: only the extension matters). PICT is never
// read: its reader loops forever on many broken files (one byte named .pct is enough),
// and its signature test passes on bytes of other files.
FREE_IMAGE_FORMAT DetectFormat(FIMEMORY* stream, const char* fileName)
{
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromMemory(stream, 0);
    if (fif == FIF_UNKNOWN && fileName) fif = FreeImage_GetFIFFromFilename(fileName);
    return fif == FIF_PICT ? FIF_UNKNOWN : fif;
}

// Formats whose header is checked here before FreeImage's reader sees it.
bool HeaderAllowed(FREE_IMAGE_FORMAT fif, const uint8_t* data, size_t size)
{
    if (fif != FIF_EXR) return true;
    uint64_t width, height;
    return ExrHeaderBounded(data, size, &width, &height) &&
           SizeAllowed(width, height, 128);  // read as 32-bit float RGBA
}

// Every size a HEIF file declares is bounded as a picture's: libheif bounds each side
// alone, and allocates a grid's canvas at the grid's own size.
bool HeifSizesAllowed(const uint8_t* data, size_t size)
{
    std::vector<HeifSize> sizes;
    if (!ReadHeifSizes(data, size, &sizes)) return false;
    for (const HeifSize& s : sizes)
        if (!SizeAllowed(s.width, s.height, 32)) return false;
    return true;
}

// libheif's pixels (red first, rows from the top) as a FreeImage bitmap.
BitmapOwner DecodeHeif(HeifPicture& heif, unsigned minWidth, unsigned minHeight)
{
    HeifPixels pixels;
    if (!heif.Decode(minWidth, minHeight, &pixels) || !SizeAllowed(pixels.width, pixels.height, 32))
        return nullptr;
    const unsigned channels = pixels.channels;
    BitmapOwner bitmap(FreeImage_Allocate(pixels.width, pixels.height, channels * 8, FI_RGBA_RED_MASK,
                                          FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    for (unsigned y = 0; bitmap && y < pixels.height; y++) {
        const uint8_t* from = pixels.rows + y * pixels.stride;
        BYTE* to = FreeImage_GetScanLine(bitmap.get(), pixels.height - 1 - y);
        for (unsigned x = 0; x < pixels.width; x++, from += channels, to += channels) {
            to[FI_RGBA_RED] = from[0], to[FI_RGBA_GREEN] = from[1], to[FI_RGBA_BLUE] = from[2];
            if (channels == 4) to[FI_RGBA_ALPHA] = from[3];
        }
    }
    return bitmap;
}

// Camera raw files decode by default to linear 16-bit light, which shows far too dark
// once cut to 8 bits; RAW_DISPLAY gives the gamma-corrected 24-bit picture instead.
// Icons of up to 24 bits keep their transparent area in a separate mask, which
// ICO_MAKEALPHA turns into an alpha channel (without it that area reads as black).
int FullDecodeFlags(FREE_IMAGE_FORMAT fif)
{
    if (fif == FIF_RAW) return RAW_DISPLAY;
    return fif == FIF_ICO ? ICO_MAKEALPHA : 0;
}

// Reading from the stream's bytes as FreeImage's own memory reader does, but a read of n
// items is one copy instead of n: a JPEG's reader asks for 4096 items of one byte at a
// time, and their copies took a sixth of a reduced decode.
struct StreamBytes {
    const BYTE* data;
    long size, at;
};

unsigned DLL_CALLCONV ReadBytes(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    StreamBytes* s = static_cast<StreamBytes*>(handle);
    const long left = s->at < s->size ? s->size - s->at : 0;
    const unsigned whole = size == 0 ? count : (unsigned)std::min<long>(count, left / size);
    if (whole > 0) memcpy(buffer, s->data + s->at, (size_t)whole * size);
    s->at += (long)whole * size;
    if (whole < count) {  // a last item cut short: what there is of it, and the end
        if (s->at < s->size)
            memcpy((BYTE*)buffer + (size_t)whole * size, s->data + s->at, (size_t)(s->size - s->at));
        s->at = s->size;
    }
    return whole;
}

int DLL_CALLCONV SeekBytes(fi_handle handle, long offset, int origin)
{
    StreamBytes* s = static_cast<StreamBytes*>(handle);
    const long base = origin == SEEK_CUR ? s->at : origin == SEEK_END ? s->size : 0;
    if (base + offset < 0) return -1;
    s->at = base + offset;  // past the end too, as FreeImage's memory streams allow
    return 0;
}

long DLL_CALLCONV TellBytes(fi_handle handle) { return static_cast<StreamBytes*>(handle)->at; }

FIBITMAP* LoadFrom(FIMEMORY* stream, FREE_IMAGE_FORMAT fif, int flags)
{
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!FreeImage_AcquireMemory(stream, &data, &size)) return nullptr;
    StreamBytes bytes{data, (long)size, 0};
    FreeImageIO io{ReadBytes, nullptr, SeekBytes, TellBytes};
    return FreeImage_LoadFromHandle(fif, &io, &bytes, flags);
}

// The factor (1, 2, 4 or 8) a JPEG can be reduced by while decoding and still keep at
// least minWidth x minHeight pixels; libjpeg rounds the reduced sides up.
unsigned JpegReduction(unsigned width, unsigned height, unsigned minWidth, unsigned minHeight)
{
    if (minWidth == 0 && minHeight == 0) return 1;
    for (unsigned d = 8; d > 1; d /= 2)
        if ((width + d - 1) / d >= minWidth && (height + d - 1) / d >= minHeight) return d;
    return 1;
}

// FreeImage's JPEG reader takes a wanted size in the flags' upper 16 bits and reduces by
// the largest factor d of 2, 4, 8 with longer side / wanted size >= d: the longer side
// divided by d, rounded down, selects exactly d.
int JpegReductionFlags(unsigned width, unsigned height, unsigned reduction)
{
    const unsigned wanted = (width > height ? width : height) / reduction;
    if (reduction == 1 || wanted == 0 || wanted > 0x7FFF) return 0;
    return JPEG_DEFAULT | (int)(wanted << 16);
}

// LibRaw turns a camera raw picture upright while decoding, by the camera's orientation
// (for the usual raw files the tag read here), but its header read gives the sensor's
// sides. The header is told as the decode will come out: turned, with no turn left to
// make.
PictureHeader TurnedByLibRaw(PictureHeader header)
{
    if (OrientationSwapsSides(header.orientation)) std::swap(header.width, header.height);
    header.orientation = 1;
    return header;
}

// A header read, a decode or a conversion may end in a throw: FreeImage's readers throw
// (std::bad_alloc among others) when they run out of memory or meet a broken file they
// did not expect. The file is then unreadable; what the reader had allocated before the
// throw is lost, and the decoder process carries on with its next file.

}  // namespace

struct PictureFile::Reading {
    std::vector<uint8_t> withoutMetadata;  // a JPEG as FreeImage gets it
    MemoryStreamOwner stream;              // the bytes FreeImage reads
    std::unique_ptr<HeifPicture> heif;     // a HEIF or AVIF file, read by libheif instead
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
    BitmapOwner decoded;  // a picture decoded in full for its header already
    // The decode's size is the one to go by: a camera raw file's, which LibRaw turns, or
    // one whose size came from the header bytes.
    bool sizeFromDecode = false;
};

PictureFile::PictureFile() = default;
PictureFile::~PictureFile() = default;

bool PictureFile::ReadHeader(const uint8_t* data, size_t size, const char* fileName)
{
    header_ = PictureHeader();
    reading_.reset();
    if (!data || size == 0 || size > UINT32_MAX) return false;
    try {
        std::unique_ptr<Reading> r(new Reading);
        if (IsHeif(data, size)) {
            r->heif.reset(new HeifPicture);
            if (!HeifSizesAllowed(data, size) || !r->heif->Open(data, size)) return false;
            // libheif turns and mirrors the picture as the file's boxes say (irot, imir); a
            // phone's Exif orientation tells the same turn, which is not made twice.
            header_.width = r->heif->Width();
            header_.height = r->heif->Height();
            if (!SizeAllowed(header_.width, header_.height, 32)) return false;
            reading_ = std::move(r);
            return true;
        }
        // FreeImage reads a JPEG's metadata blocks with unchecked offsets, even for a
        // header: it gets the JPEG without them, and the orientation is read here.
        header_.orientation = ExifOrientationFromBytes(data, size);
        if (IsJpeg(data, size) && JpegWithoutMetadata(data, size, &r->withoutMetadata)) {
            data = r->withoutMetadata.data();
            size = r->withoutMetadata.size();
        }
        // Read only: FreeImage never writes into a stream that it did not allocate.
        r->stream.reset(FreeImage_OpenMemory(const_cast<BYTE*>(data), (DWORD)size));
        if (!r->stream) return false;
        const FREE_IMAGE_FORMAT fif = r->format = DetectFormat(r->stream.get(), fileName);
        if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif) ||
            !HeaderAllowed(fif, data, size))
            return false;
        if (FreeImage_FIFSupportsNoPixels(fif)) {
            // The reader stops after the header (one that ignores the flag decodes in full).
            BitmapOwner header(LoadFrom(r->stream.get(), fif, FIF_LOAD_NOPIXELS));
            if (!header || !BitmapSizeAllowed(header.get())) return false;
            header_.width = FreeImage_GetWidth(header.get());
            header_.height = FreeImage_GetHeight(header.get());
            if (FreeImage_HasPixels(header.get())) r->decoded = std::move(header);
        } else {
            // The size from the header bytes where the format has a fixed place for it;
            // the others (KOALA, always 320 x 200) are decoded now and checked after.
            uint64_t width = 0, height = 0;
            r->sizeFromDecode = true;
            switch (ReadHeaderSize(fif, data, size, &width, &height)) {
            case HeaderSizeBroken: return false;
            case HeaderSizeFound:
                if (!SizeAllowed(width, height, DecodedBitsPerPixel(fif))) return false;
                header_.width = (unsigned)width;
                header_.height = (unsigned)height;
                break;
            case HeaderSizeNoReader:
                r->decoded.reset(LoadFrom(r->stream.get(), fif, FullDecodeFlags(fif)));
                if (!r->decoded || !BitmapSizeAllowed(r->decoded.get())) return false;
                header_.width = FreeImage_GetWidth(r->decoded.get());
                header_.height = FreeImage_GetHeight(r->decoded.get());
                break;
            }
        }
        if (fif == FIF_RAW) {
            header_ = TurnedByLibRaw(header_);
            r->sizeFromDecode = true;
        }
        reading_ = std::move(r);
        return true;
    } catch (...) {
        return false;  // unreadable, see above
    }
}

BitmapOwner PictureFile::DecodeAsStored(unsigned minWidth, unsigned minHeight, bool thumbnailWillDo)
{
    std::unique_ptr<Reading> r = std::move(reading_);
    if (!r) return nullptr;
    try {
        BitmapOwner picture = std::move(r->decoded);
        if (r->heif) {
            picture = DecodeHeif(*r->heif, thumbnailWillDo ? minWidth : 0, thumbnailWillDo ? minHeight : 0);
        } else if (!picture && r->format == FIF_JPEG) {
            const unsigned reduction =
                JpegReduction(header_.width, header_.height, minWidth, minHeight);
            BYTE* bytes = nullptr;
            DWORD size = 0;
            if (FreeImage_AcquireMemory(r->stream.get(), &bytes, &size))
                picture = DecodeColourJpeg(bytes, size, reduction);
            if (!picture)  // grey and CMYK pictures, or a decode that failed
                picture.reset(LoadFrom(r->stream.get(), r->format,
                                       JpegReductionFlags(header_.width, header_.height, reduction)));
        } else if (!picture) {
            picture.reset(LoadFrom(r->stream.get(), r->format, FullDecodeFlags(r->format)));
        }
        if (!picture || !FreeImage_HasPixels(picture.get()) || !BitmapSizeAllowed(picture.get()))
            return nullptr;
        if (r->sizeFromDecode) {
            header_.width = FreeImage_GetWidth(picture.get());
            header_.height = FreeImage_GetHeight(picture.get());
        }
        r.reset();  // the file's bytes are not needed any more
        return ToStandardColour(std::move(picture));
    } catch (...) {
        return nullptr;  // unreadable, see above
    }
}

BitmapOwner OrientForEntry(BitmapOwner picture, int flips, int rotation)
{
    if (!picture) return picture;
    if (flips & FlipLeftRightFlag) FreeImage_FlipHorizontal(picture.get());
    if (flips & FlipTopBottomFlag) FreeImage_FlipVertical(picture.get());
    rotation %= 360;
    if (rotation == 0) return picture;
    // FreeImage_Rotate turns by exact quarter turns (counter-clockwise for positive
    // angles) when the angle is a multiple of 90.
    FIBITMAP* turned = FreeImage_Rotate(picture.get(), rotation, nullptr);
    if (turned) picture.reset(turned);
    return picture;
}
