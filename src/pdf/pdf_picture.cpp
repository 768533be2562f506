#include "pdf/pdf_picture.h"

#include <FreeImage.h>

#include <cstdint>
#include <exception>

#include "import/exif_orientation.h"
#include "import/image_load.h"
#include "pdf/bicubic_resize.h"
#include "pdf/pdf_library.h"

namespace {

// The entry's rotation exchanges the sides for a quarter turn either way.
bool RotationSwapsSides(int rotation) { return (rotation / 90) % 2 != 0; }

void SwapIf(bool swap, unsigned* a, unsigned* b)
{
    if (!swap) return;
    unsigned t = *a;
    *a = *b;
    *b = t;
}

// The laid-out size from a header: what the full decode turned upright and by the entry
// would measure.
void LaidOutSize(const PictureHeader& header, int rotation, unsigned* width, unsigned* height)
{
    *width = header.width;
    *height = header.height;
    SwapIf(OrientationSwapsSides(header.orientation) != RotationSwapsSides(rotation), width,
           height);
}

}  // namespace

bool ReadPagePictureSize(const uint8_t* data, size_t size, const char* fileName, int rotation,
                         unsigned* width, unsigned* height)
{
    PictureHeader header;
    if (!ReadPictureHeader(data, size, fileName, &header)) return false;
    LaidOutSize(header, rotation, width, height);
    return true;
}

FIBITMAP* MakePagePixels(const uint8_t* data, size_t size, const char* fileName, int flips,
                         int rotation, unsigned cellWidth, unsigned cellHeight, double quality,
                         PagePicture* out)
{
    PictureHeader header;
    if (!ReadPictureHeader(data, size, fileName, &header)) return nullptr;
    unsigned w, h;
    LaidOutSize(header, rotation, &w, &h);
    const DrawnSize drawn = FitPicture(w, h, cellWidth, cellHeight);
    DrawnSize resampled = {w, h};
    const bool resample = ResampledSize(w, h, drawn, quality, &resampled);

    // The pixels the resample needs, in the picture's stored orientation.
    unsigned needWidth = resample ? resampled.width : 0;
    unsigned needHeight = resample ? resampled.height : 0;
    SwapIf(OrientationSwapsSides(header.orientation) != RotationSwapsSides(rotation), &needWidth,
           &needHeight);
    FIBITMAP* picture = DecodeImageFromMemory(data, size, fileName, &header, needWidth, needHeight);
    if (!picture) return nullptr;
    picture = OrientForEntry(ApplyExifOrientation(picture, header.orientation), flips, rotation);
    if (resample || FreeImage_GetWidth(picture) != w || FreeImage_GetHeight(picture) != h) {
        // (a reduced decode always resamples; the full size never needs it)
        FIBITMAP* smaller = ResizeBicubic(picture, resampled.width, resampled.height);
        FreeImage_Unload(picture);
        if (!smaller) return nullptr;
        picture = smaller;
    }
    out->width = w;
    out->height = h;
    out->drawn = drawn;
    return picture;
}

bool MakePagePicture(const uint8_t* data, size_t size, const char* fileName, int flips,
                     int rotation, unsigned cellWidth, unsigned cellHeight, double quality,
                     PagePicture* out)
{
    FIBITMAP* picture = MakePagePixels(data, size, fileName, flips, rotation, cellWidth,
                                       cellHeight, quality, out);
    return EncodeJpegAndUnload(picture, &out->jpeg);
}

bool EncodeJpegAndUnload(FIBITMAP* picture, std::vector<uint8_t>* out)
{
    out->clear();
    if (!picture) return false;
    if (FreeImage_GetImageType(picture) != FIT_BITMAP || FreeImage_GetBPP(picture) != 24) {
        FIBITMAP* converted = FreeImage_ConvertTo24Bits(picture);
        FreeImage_Unload(picture);
        picture = converted;
        if (!picture) return false;
    }
    FIMEMORY* stream = FreeImage_OpenMemory(nullptr, 0);
    bool saved = stream && FreeImage_SaveToMemory(FIF_JPEG, picture, stream, JPEG_DEFAULT);
    FreeImage_Unload(picture);  // only one decoded picture or one JPEG at a time
    BYTE* data = nullptr;
    DWORD size = 0;
    if (saved) saved = FreeImage_AcquireMemory(stream, &data, &size) && size > 0;
    try {
        if (saved) out->assign(data, data + size);
    } catch (const std::exception&) {
        saved = false;
    }
    if (stream) FreeImage_CloseMemory(stream);
    return saved;
}

int AddPictureAsJpeg(FIBITMAP* picture)
{
    std::vector<uint8_t> jpeg;
    if (!EncodeJpegAndUnload(picture, &jpeg) || jpeg.size() > INT32_MAX) return -1;
    return PdfAddJpegFromMemory(jpeg.data(), (int)jpeg.size(), 0);
}
