// Thumbnails: the picture scaled to 96 on its longer side and centred on white.
#include "import/thumbnail.h"

#include <FreeImage.h>

#include <cstring>

#include "import/exif_orientation.h"
#include "import/image_load.h"

namespace {

const int Side = ThumbnailSize;
const unsigned RowBytes = Side * 4;

// Copies between the thumbnail bytes (bottom-up rows) and a 96 x 96 32-bit bitmap,
// whose scan line 0 is also the bottom row.
void CopyToBitmap(const uint8_t* bgra, FIBITMAP* bitmap)
{
    for (int y = 0; y < Side; y++)
        memcpy(FreeImage_GetScanLine(bitmap, y), bgra + y * RowBytes, RowBytes);
}

void CopyFromBitmap(FIBITMAP* bitmap, uint8_t* bgra)
{
    for (int y = 0; y < Side; y++)
        memcpy(bgra + y * RowBytes, FreeImage_GetScanLine(bitmap, y), RowBytes);
}

// The scaled picture, upright and at 32 bits, or null.
FIBITMAP* ScaledPicture(FIBITMAP* picture, int orientation, int width, int height)
{
    // Turning the small picture instead of the full one: a box filter gives the same
    // pixels either way, and a quarter turn of 12 megapixels costs more than the scaling.
    bool swap = OrientationSwapsSides(orientation);
    FIBITMAP* scaled = FreeImage_Rescale(picture, swap ? height : width, swap ? width : height,
                                         FILTER_BOX);
    if (!scaled) return nullptr;
    if (FreeImage_GetBPP(scaled) != 32) {  // FreeImage_Paste wants equal depths
        FIBITMAP* wide = FreeImage_ConvertTo32Bits(scaled);
        FreeImage_Unload(scaled);
        if (!wide) return nullptr;
        scaled = wide;
    }
    return ApplyExifOrientation(scaled, orientation);
}

}  // namespace

void ThumbnailScaledSize(unsigned width, unsigned height, int* scaledWidth, int* scaledHeight)
{
    int w = Side, h = Side;
    if (height < width) h = (int)((double)Side / width * height);
    else if (width < height) w = (int)((double)Side / height * width);
    // A very thin picture keeps one pixel rather than failing to scale to nothing.
    *scaledWidth = w < 1 ? 1 : w;
    *scaledHeight = h < 1 ? 1 : h;
}

namespace {

bool MakeThumbnail(const uint8_t* data, size_t size, const char* fileName, ThumbnailPixels* out)
{
    int orientation;
    FIBITMAP* picture = DecodeImageFromMemory(data, size, fileName, &orientation);
    if (!picture) return false;
    unsigned width = FreeImage_GetWidth(picture), height = FreeImage_GetHeight(picture);
    if (OrientationSwapsSides(orientation)) {
        unsigned stored = width;
        width = height;
        height = stored;
    }
    int w, h;
    ThumbnailScaledSize(width, height, &w, &h);
    FIBITMAP* scaled = ScaledPicture(picture, orientation, w, h);
    FreeImage_Unload(picture);
    if (!scaled) return false;

    FIBITMAP* canvas = FreeImage_Allocate(Side, Side, 32, 0, 0, 0);
    if (!canvas) {
        FreeImage_Unload(scaled);
        return false;
    }
    memset(FreeImage_GetBits(canvas), 255, FreeImage_GetPitch(canvas) * Side);
    int left = (Side - w) / 2, top = (Side - h) / 2;  // odd margin: extra pixel right/bottom
    // FreeImage_Paste counts top from the top edge although scan line 0 is the bottom row.
    bool pasted = FreeImage_Paste(canvas, scaled, left, top, 255);
    FreeImage_Unload(scaled);
    if (!pasted) {
        FreeImage_Unload(canvas);
        return false;
    }
    CopyFromBitmap(canvas, out->bgra);
    FreeImage_Unload(canvas);
    // Opaque everywhere: the list view masks pure red, not by alpha. So pure red in the
    // picture itself would show as holes; it is drawn one step darker instead.
    for (int i = 0; i < Side * Side; i++) {
        uint8_t* p = out->bgra + i * 4;
        p[3] = 255;
        if (p[0] == 0 && p[1] == 0 && p[2] == 255) p[2] = 254;
    }
    out->pictureRect = PictureRect{left, top, left + w, top + h};
    return true;
}

}  // namespace

bool MakeThumbnailPixels(const uint8_t* data, size_t size, const char* fileName,
                         ThumbnailPixels* out)
{
    try {
        return MakeThumbnail(data, size, fileName, out);
    } catch (...) {
        return false;  // out of memory while scaling: reported like an unreadable file
    }
}

bool TransformThumbnailPixels(uint8_t* bgra, TransformMode mode)
{
    FIBITMAP* bitmap = FreeImage_Allocate(Side, Side, 32, 0, 0, 0);
    if (!bitmap) return false;
    CopyToBitmap(bgra, bitmap);
    bool done = false;
    switch (mode) {
    case FlipLeftRight: done = FreeImage_FlipHorizontal(bitmap) != 0; break;
    case FlipTopBottom: done = FreeImage_FlipVertical(bitmap) != 0; break;
    case RotateClockwise:
    case RotateCounterClockwise: {
        // An exact quarter turn (FreeImage_Rotate with a multiple of 90; positive angles
        // turn counter-clockwise).
        FIBITMAP* turned = FreeImage_Rotate(bitmap, mode == RotateClockwise ? -90 : 90, nullptr);
        if (turned) {
            FreeImage_Unload(bitmap);
            bitmap = turned;
            done = true;
        }
        break;
    }
    }
    if (done) CopyFromBitmap(bitmap, bgra);
    FreeImage_Unload(bitmap);
    return done;
}
