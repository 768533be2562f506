#include "import/standard_colour.h"

#include <FreeImage.h>

namespace {

FIBITMAP* Replace(FIBITMAP* old, FIBITMAP* made)
{
    if (made != old) FreeImage_Unload(old);
    return made;
}

// Float RGBA loses its alpha in tone mapping: tone-map the colour, then put the alpha
// channel back, clamped to 0..1.
FIBITMAP* ToneMapWithAlpha(FIBITMAP* rgbaf)
{
    FIBITMAP* colour = FreeImage_ToneMapping(rgbaf, FITMO_REINHARD05, 0, 0);
    FIBITMAP* out = colour ? FreeImage_ConvertTo32Bits(colour) : nullptr;
    if (colour) FreeImage_Unload(colour);
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

}  // namespace

FIBITMAP* ToStandardColour(FIBITMAP* picture)
{
    if (!picture) return nullptr;
    switch (FreeImage_GetImageType(picture)) {
    case FIT_BITMAP: {
        unsigned bpp = FreeImage_GetBPP(picture);
        if (bpp == 24 || bpp == 32) return picture;
        // Palettised, grey and 16-bit 5-6-5 pictures: scaling and JPEG want full colour.
        bool alpha = FreeImage_IsTransparent(picture) != 0;
        return Replace(picture, alpha ? FreeImage_ConvertTo32Bits(picture)
                                      : FreeImage_ConvertTo24Bits(picture));
    }
    case FIT_RGB16:  // 16 bits a channel: keep the high byte
        return Replace(picture, FreeImage_ConvertTo24Bits(picture));
    case FIT_RGBA16:
        return Replace(picture, FreeImage_ConvertTo32Bits(picture));
    case FIT_UINT16:  // 16-bit grey: high byte, then grey colour
        picture = Replace(picture, FreeImage_ConvertTo8Bits(picture));
        return picture ? Replace(picture, FreeImage_ConvertTo24Bits(picture)) : nullptr;
    case FIT_FLOAT:
    case FIT_RGBF:  // high dynamic range: a global operator keeps the picture's look
        picture = Replace(picture, FreeImage_ToneMapping(picture, FITMO_REINHARD05, 0, 0));
        break;
    case FIT_RGBAF:
        picture = Replace(picture, ToneMapWithAlpha(picture));
        break;
    default:  // other integer and double samples: stretch min..max linearly to 8 bits
        picture = Replace(picture, FreeImage_ConvertToStandardType(picture, TRUE));
        break;
    }
    if (!picture) return nullptr;
    unsigned bpp = FreeImage_GetBPP(picture);
    if (FreeImage_GetImageType(picture) == FIT_BITMAP && (bpp == 24 || bpp == 32)) return picture;
    return Replace(picture, FreeImage_ConvertTo24Bits(picture));
}
