// Decoding image files held in memory with FreeImage, with the size checked from the
// header before any pixel memory is taken.
#include "picture/image_load.h"

#include <FreeImage.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "picture/exif_orientation.h"
#include "picture/exif_reader.h"
#include "picture/exr_header.h"
#include "picture/header_size.h"
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

// Camera raw files decode by default to linear 16-bit light, which shows far too dark
// once cut to 8 bits; RAW_DISPLAY gives the gamma-corrected 24-bit picture instead.
// Icons of up to 24 bits keep their transparent area in a separate mask, which
// ICO_MAKEALPHA turns into an alpha channel (without it that area reads as black).
int FullDecodeFlags(FREE_IMAGE_FORMAT fif)
{
    if (fif == FIF_RAW) return RAW_DISPLAY;
    return fif == FIF_ICO ? ICO_MAKEALPHA : 0;
}

FIBITMAP* LoadFrom(FIMEMORY* stream, FREE_IMAGE_FORMAT fif, int flags)
{
    FreeImage_SeekMemory(stream, 0, SEEK_SET);
    return FreeImage_LoadFromMemory(fif, stream, flags);
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

// Readers that can stop after the header: read it, check the size, then decode (a JPEG
// reduced when the caller needs fewer pixels). headerOnly returns the header itself.
// *width, *height: the full size from the header.
FIBITMAP* DecodeAfterHeader(FIMEMORY* stream, FREE_IMAGE_FORMAT fif, bool headerOnly,
                            unsigned minWidth, unsigned minHeight, unsigned* width,
                            unsigned* height)
{
    FIBITMAP* header = LoadFrom(stream, fif, FIF_LOAD_NOPIXELS);
    if (!header) return nullptr;  // the header does not parse: the decode would fail too
    bool allowed = BitmapSizeAllowed(header);
    *width = FreeImage_GetWidth(header);
    *height = FreeImage_GetHeight(header);
    if (FreeImage_HasPixels(header) || (allowed && headerOnly)) {
        // (a reader that ignored the flag has decoded in full already)
        if (allowed) return header;
        FreeImage_Unload(header);
        return nullptr;
    }
    FreeImage_Unload(header);
    if (!allowed) return nullptr;
    int flags = FullDecodeFlags(fif);
    if (fif == FIF_JPEG)
        flags = JpegReductionFlags(*width, *height,
                                   JpegReduction(*width, *height, minWidth, minHeight));
    return LoadFrom(stream, fif, flags);
}

// The other readers: a size read from the header bytes where the format has a fixed
// place for it; KOALA (always 320 x 200) is decoded and checked afterwards.
FIBITMAP* DecodeCheckedByBytes(FIMEMORY* stream, FREE_IMAGE_FORMAT fif, const uint8_t* data,
                               size_t size)
{
    uint64_t width = 0, height = 0;
    switch (ReadHeaderSize(fif, data, size, &width, &height)) {
    case HeaderSizeBroken: return nullptr;
    case HeaderSizeFound:
        if (!SizeAllowed(width, height, DecodedBitsPerPixel(fif))) return nullptr;
        break;
    case HeaderSizeNoReader: break;
    }
    return LoadFrom(stream, fif, FullDecodeFlags(fif));
}

// The picture as stored, checked against the size limits, its stored size and *format;
// with headerOnly, the header alone where the reader can stop there. FreeImage's readers
// may throw (std::bad_alloc among others).
FIBITMAP* Decode(const uint8_t* data, size_t size, const char* fileName, bool headerOnly,
                 unsigned minWidth, unsigned minHeight, PictureHeader* out,
                 FREE_IMAGE_FORMAT* format)
{
    // Read only: FreeImage never writes into a stream that it did not allocate.
    FIMEMORY* stream = FreeImage_OpenMemory(const_cast<BYTE*>(data), (DWORD)size);
    if (!stream) return nullptr;
    FIBITMAP* picture = nullptr;
    unsigned width = 0, height = 0;
    const FREE_IMAGE_FORMAT fif = *format = DetectFormat(stream, fileName);
    if (fif != FIF_UNKNOWN && FreeImage_FIFSupportsReading(fif) && HeaderAllowed(fif, data, size)) {
        picture = FreeImage_FIFSupportsNoPixels(fif)
                      ? DecodeAfterHeader(stream, fif, headerOnly, minWidth, minHeight, &width,
                                          &height)
                      : DecodeCheckedByBytes(stream, fif, data, size);
    }
    FreeImage_CloseMemory(stream);
    if (!picture) return nullptr;
    if (!BitmapSizeAllowed(picture) || (!headerOnly && !FreeImage_HasPixels(picture))) {
        FreeImage_Unload(picture);
        return nullptr;
    }
    // No header read, or a camera raw file, which LibRaw turns while decoding: the
    // decoded size is the full one.
    if (width == 0 || height == 0 || (fif == FIF_RAW && !headerOnly)) {
        width = FreeImage_GetWidth(picture);
        height = FreeImage_GetHeight(picture);
    }
    out->width = width;
    out->height = height;
    return picture;
}

// LibRaw turns a camera raw picture upright while decoding, by the camera's orientation
// (for the usual raw files the tag read here), but its header read gives the sensor's
// sides. The header is told as the decode comes out: turned, with no turn left to make.
PictureHeader TurnedByLibRaw(PictureHeader header, bool decoded)
{
    if (!decoded && OrientationSwapsSides(header.orientation))
        std::swap(header.width, header.height);
    header.orientation = 1;
    return header;
}

// Decode on the file's bytes, the one way in for FreeImage's readers here.
FIBITMAP* DecodeStored(const uint8_t* data, size_t size, const char* fileName, bool headerOnly,
                       unsigned minWidth, unsigned minHeight, PictureHeader* out)
{
    if (!data || size == 0 || size > UINT32_MAX) return nullptr;
    try {
        // FreeImage reads a JPEG's metadata blocks with unchecked offsets, even for a
        // header: it gets the JPEG without them, and the orientation is read here.
        std::vector<uint8_t> plain;
        FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;
        FIBITMAP* picture =
            IsJpeg(data, size) && JpegWithoutMetadata(data, size, &plain)
                ? Decode(plain.data(), plain.size(), fileName, headerOnly, minWidth, minHeight,
                         out, &fif)
                : Decode(data, size, fileName, headerOnly, minWidth, minHeight, out, &fif);
        if (picture) out->orientation = ExifOrientationFromBytes(data, size);
        if (picture && fif == FIF_RAW) *out = TurnedByLibRaw(*out, !headerOnly);
        return picture;
    } catch (...) {
        // A reader that ran out of memory or met a broken file it did not expect: the
        // file is unreadable. What the reader had allocated is lost; the decoder process
        // that runs this ends with its file.
        return nullptr;
    }
}

// The size from the header bytes, for the formats whose FreeImage reader cannot stop
// after the header; false when the format has no fixed place for it.
bool SizeFromHeaderBytes(const uint8_t* data, size_t size, const char* fileName,
                         PictureHeader* out)
{
    if (!data || size == 0 || size > UINT32_MAX) return false;
    FIMEMORY* stream = FreeImage_OpenMemory(const_cast<BYTE*>(data), (DWORD)size);
    if (!stream) return false;
    const FREE_IMAGE_FORMAT fif = DetectFormat(stream, fileName);
    FreeImage_CloseMemory(stream);
    uint64_t width = 0, height = 0;
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif) ||
        FreeImage_FIFSupportsNoPixels(fif) ||
        ReadHeaderSize(fif, data, size, &width, &height) != HeaderSizeFound ||
        !SizeAllowed(width, height, 0))
        return false;
    *out = PictureHeader{(unsigned)width, (unsigned)height, ExifOrientationFromBytes(data, size)};
    return true;
}

}  // namespace

FIBITMAP* DecodeImageFromMemory(const uint8_t* data, size_t size, const char* fileName,
                                PictureHeader* header, unsigned minWidth, unsigned minHeight)
{
    *header = PictureHeader{0, 0, 1};
    BitmapOwner picture(DecodeStored(data, size, fileName, false, minWidth, minHeight, header));
    try {
        return picture ? ToStandardColour(std::move(picture)).release() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

bool ReadPictureHeader(const uint8_t* data, size_t size, const char* fileName,
                       PictureHeader* out)
{
    if (SizeFromHeaderBytes(data, size, fileName, out)) return true;
    FIBITMAP* header = DecodeStored(data, size, fileName, true, 0, 0, out);
    if (header) FreeImage_Unload(header);
    return header != nullptr;
}

FIBITMAP* LoadImageFromMemory(const uint8_t* data, size_t size, const char* fileName)
{
    PictureHeader header;
    BitmapOwner picture(DecodeImageFromMemory(data, size, fileName, &header));
    return picture ? ApplyExifOrientation(std::move(picture), header.orientation).release()
                   : nullptr;
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
