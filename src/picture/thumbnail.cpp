// Thumbnails: the picture scaled to the square's side on its longer side and centred on
// white.
#include "picture/thumbnail.h"

#include <FreeImage.h>

#include <cstring>
#include <utility>

#include "picture/area_resize.h"
#include "picture/exif_orientation.h"
#include "picture/image_load.h"

namespace {

const int SourcePixels = 4;

// Copies between the thumbnail bytes (bottom-up rows) and a side x side 32-bit bitmap,
// whose scan line 0 is also the bottom row.
void CopyToBitmap(const uint8_t* bgra, int side, FIBITMAP* bitmap)
{
    for (int y = 0; y < side; y++)
        memcpy(FreeImage_GetScanLine(bitmap, y), bgra + y * side * 4, side * 4);
}

void CopyFromBitmap(FIBITMAP* bitmap, int side, uint8_t* bgra)
{
    for (int y = 0; y < side; y++)
        memcpy(bgra + y * side * 4, FreeImage_GetScanLine(bitmap, y), side * 4);
}

// The scaled picture, upright and at 32 bits, or null.
BitmapOwner ScaledPicture(FIBITMAP* picture, int orientation, int width, int height)
{
    // Turning the small picture instead of the full one: averaging gives the same pixels
    // either way, and a quarter turn of 12 megapixels costs more than the scaling.
    bool swap = OrientationSwapsSides(orientation);
    BitmapOwner scaled = ResizeByArea(picture, swap ? height : width, swap ? width : height);
    if (scaled && FreeImage_GetBPP(scaled.get()) != 32)  // FreeImage_Paste wants equal depths
        scaled.reset(FreeImage_ConvertTo32Bits(scaled.get()));
    if (!scaled) return nullptr;
    return ApplyExifOrientation(std::move(scaled), orientation);
}

}  // namespace

void ThumbnailScaledSize(unsigned width, unsigned height, int* scaledWidth, int* scaledHeight,
                         int side)
{
    int w = side, h = side;
    if (height < width) h = (int)((double)side / width * height);
    else if (width < height) w = (int)((double)side / height * width);
    // A very thin picture keeps one pixel rather than failing to scale to nothing.
    *scaledWidth = w < 1 ? 1 : w;
    *scaledHeight = h < 1 ? 1 : h;
}

namespace {

// The w x h scaled picture centred on a white square, as the thumbnail's pixels.
bool PasteOnWhiteSquare(FIBITMAP* scaled, int w, int h, int side, ThumbnailPixels* out)
{
    const BitmapOwner canvas(FreeImage_Allocate(side, side, 32, 0, 0, 0));
    if (!canvas) return false;
    memset(FreeImage_GetBits(canvas.get()), 255, FreeImage_GetPitch(canvas.get()) * side);
    int left = (side - w) / 2, top = (side - h) / 2;  // odd margin: extra pixel right/bottom
    // FreeImage_Paste counts top from the top edge although scan line 0 is the bottom row.
    if (!FreeImage_Paste(canvas.get(), scaled, left, top, 255)) return false;
    out->side = side;
    out->bgra.resize((size_t)side * side * 4);
    CopyFromBitmap(canvas.get(), side, out->bgra.data());
    // Opaque everywhere: the list view masks pure red, not by alpha. So pure red in the
    // picture itself would show as holes; it is drawn one step darker instead.
    for (int i = 0; i < side * side; i++) {
        uint8_t* p = out->bgra.data() + i * 4;
        p[3] = 255;
        if (p[0] == 0 && p[1] == 0 && p[2] == 255) p[2] = 254;
    }
    out->pictureRect = PictureRect{left, top, left + w, top + h};
    return true;
}

}  // namespace

bool MakeThumbnailPixels(const uint8_t* data, size_t size, const char* fileName,
                         ThumbnailPixels* out, int side)
{
    if (side < MinThumbnailSide || side > MaxThumbnailSide) return false;
    try {
        PictureFile file;
        if (!file.ReadHeader(data, size, fileName)) return false;
        int storedWidth, storedHeight;  // the thumbnail's size before the EXIF turn
        ThumbnailScaledSize(file.Header().width, file.Header().height, &storedWidth,
                            &storedHeight, side);
        // A JPEG is decoded reduced, keeping at least SourcePixels pixels for each pixel of
        // the thumbnail in each direction: averaged by area, they give the full picture's
        // box-filtered thumbnail within 44 dB PSNR on camera photos (12 megapixels: 1/8,
        // the entropy decoding alone), where a box filter of the reduced pixels fell to
        // 38.8 dB at five. A HEIF file's embedded thumbnail does when it keeps as many.
        BitmapOwner picture = file.DecodeAsStored(storedWidth * SourcePixels,
                                                  storedHeight * SourcePixels, true);
        if (!picture) return false;
        // The decode's own header from here on: a camera raw file's comes turned already.
        unsigned width = file.Header().width, height = file.Header().height;
        const int orientation = file.Header().orientation;
        if (OrientationSwapsSides(orientation)) std::swap(width, height);
        int w, h;
        ThumbnailScaledSize(width, height, &w, &h, side);
        const BitmapOwner scaled = ScaledPicture(picture.get(), orientation, w, h);
        picture.reset();
        return scaled && PasteOnWhiteSquare(scaled.get(), w, h, side, out);
    } catch (...) {
        return false;  // out of memory while scaling: reported like an unreadable file
    }
}

bool TransformThumbnailPixels(uint8_t* bgra, TransformMode mode, int side)
{
    BitmapOwner bitmap(FreeImage_Allocate(side, side, 32, 0, 0, 0));
    if (!bitmap) return false;
    CopyToBitmap(bgra, side, bitmap.get());
    bool done = false;
    switch (mode) {
    case FlipLeftRight: done = FreeImage_FlipHorizontal(bitmap.get()) != 0; break;
    case FlipTopBottom: done = FreeImage_FlipVertical(bitmap.get()) != 0; break;
    case RotateClockwise:
    case RotateCounterClockwise: {
        // An exact quarter turn (FreeImage_Rotate with a multiple of 90; positive angles
        // turn counter-clockwise).
        FIBITMAP* turned =
            FreeImage_Rotate(bitmap.get(), mode == RotateClockwise ? -90 : 90, nullptr);
        if (turned) bitmap.reset(turned);
        done = turned != nullptr;
        break;
    }
    }
    if (done) CopyFromBitmap(bitmap.get(), side, bgra);
    return done;
}
