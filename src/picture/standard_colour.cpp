#include "picture/standard_colour.h"

#include <FreeImage.h>

namespace {

// The picture becomes what was made from it (null when that failed).
void Replace(BitmapOwner& picture, FIBITMAP* made)
{
    if (made != picture.get()) picture.reset(made);
}

// Float RGBA loses its alpha in tone mapping: tone-map the colour, then put the alpha
// channel back, clamped to 0..1.
FIBITMAP* ToneMapWithAlpha(FIBITMAP* rgbaf)
{
    BitmapOwner colour(FreeImage_ToneMapping(rgbaf, FITMO_REINHARD05, 0, 0));
    FIBITMAP* out = colour ? FreeImage_ConvertTo32Bits(colour.get()) : nullptr;
    colour.reset();
    if (!out) return nullptr;
    unsigned width = FreeImage_GetWidth(out), height = FreeImage_GetHeight(out);
    for (unsigned y = 0; y < height; y++) {
        const FIRGBAF* src = (const FIRGBAF*)FreeImage_GetScanLine(rgbaf, y);
        BYTE* dst = FreeImage_GetScanLine(out, y);
        for (unsigned x = 0; x < width; x++) {
            float a = src[x].alpha;
            a = a < 0 ? 0 : (a > 1 ? 1 : a);
            dst[x * 4 + FI_RGBA_ALPHA] = (BYTE)(a * 255 + 0.5f);
        }
    }
    return out;
}

// Paper is white: a 32-bit picture is laid over white, each pixel blended by its alpha,
// into a 24-bit copy. A 32-bit picture whose alpha bytes are all 0 (some BMP and TGA
// writers leave the fourth byte unused) is taken as opaque rather than made blank.
FIBITMAP* OverWhite(FIBITMAP* rgba)
{
    unsigned width = FreeImage_GetWidth(rgba), height = FreeImage_GetHeight(rgba);
    bool anyAlpha = false;
    for (unsigned y = 0; y < height && !anyAlpha; y++) {
        const BYTE* src = FreeImage_GetScanLine(rgba, y);
        for (unsigned x = 0; x < width && !anyAlpha; x++) anyAlpha = src[x * 4 + FI_RGBA_ALPHA] != 0;
    }
    FIBITMAP* out = FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                       FI_RGBA_BLUE_MASK);
    if (!out) return nullptr;
    for (unsigned y = 0; y < height; y++) {
        const BYTE* src = FreeImage_GetScanLine(rgba, y);
        BYTE* dst = FreeImage_GetScanLine(out, y);
        for (unsigned x = 0; x < width; x++, src += 4, dst += 3) {
            unsigned a = anyAlpha ? src[FI_RGBA_ALPHA] : 255;
            for (int c = 0; c < 3; c++)  // c * a / 255 + 255 * (255 - a) / 255, rounded
                dst[c] = (BYTE)((src[c] * a + 255 * (255 - a) + 127) / 255);
        }
    }
    return out;
}

}  // namespace

BitmapOwner ToStandardColour(BitmapOwner picture)
{
    if (!picture) return picture;
    switch (FreeImage_GetImageType(picture.get())) {
    case FIT_BITMAP: {
        unsigned bpp = FreeImage_GetBPP(picture.get());
        if (bpp == 24) return picture;
        if (bpp == 32) {
            Replace(picture, OverWhite(picture.get()));
            return picture;
        }
        // Palettised, grey and 16-bit 5-6-5 pictures: scaling and JPEG want full colour;
        // a transparent colour (GIF, PNG tRNS) goes through 32 bits onto white.
        if (!FreeImage_IsTransparent(picture.get())) {
            Replace(picture, FreeImage_ConvertTo24Bits(picture.get()));
            return picture;
        }
        Replace(picture, FreeImage_ConvertTo32Bits(picture.get()));
        if (picture) Replace(picture, OverWhite(picture.get()));
        return picture;
    }
    case FIT_RGB16:  // 16 bits a channel: keep the high byte
        Replace(picture, FreeImage_ConvertTo24Bits(picture.get()));
        return picture;
    case FIT_RGBA16:
        Replace(picture, FreeImage_ConvertTo32Bits(picture.get()));
        break;
    case FIT_UINT16:  // 16-bit grey: high byte, then grey colour
        Replace(picture, FreeImage_ConvertTo8Bits(picture.get()));
        if (picture) Replace(picture, FreeImage_ConvertTo24Bits(picture.get()));
        return picture;
    case FIT_FLOAT:
    case FIT_RGBF:  // high dynamic range: a global operator keeps the picture's look
        Replace(picture, FreeImage_ToneMapping(picture.get(), FITMO_REINHARD05, 0, 0));
        break;
    case FIT_RGBAF:
        Replace(picture, ToneMapWithAlpha(picture.get()));
        break;
    default:  // other integer and double samples: stretch min..max linearly to 8 bits
        Replace(picture, FreeImage_ConvertToStandardType(picture.get(), TRUE));
        break;
    }
    if (!picture) return picture;
    unsigned bpp = FreeImage_GetBPP(picture.get());
    if (FreeImage_GetImageType(picture.get()) == FIT_BITMAP && bpp == 24) return picture;
    if (FreeImage_GetImageType(picture.get()) == FIT_BITMAP && bpp == 32)
        Replace(picture, OverWhite(picture.get()));
    else
        Replace(picture, FreeImage_ConvertTo24Bits(picture.get()));
    return picture;
}
