#include "png_writer.h"

#include <FreeImage.h>

#include <cstring>

bool SavePngBgra(const char* unixPath, const uint8_t* bgra, int width, int height)
{
    FIBITMAP* image = FreeImage_Allocate(width, height, 24);
    if (!image) return false;
    for (int y = 0; y < height; y++) {
        BYTE* row = FreeImage_GetScanLine(image, y);
        const uint8_t* src = bgra + (size_t)y * width * 4;
        for (int x = 0; x < width; x++) {
            row[x * 3 + FI_RGBA_BLUE] = src[x * 4 + 0];
            row[x * 3 + FI_RGBA_GREEN] = src[x * 4 + 1];
            row[x * 3 + FI_RGBA_RED] = src[x * 4 + 2];
        }
    }
    bool ok = FreeImage_Save(FIF_PNG, image, unixPath, PNG_DEFAULT) != 0;
    FreeImage_Unload(image);
    return ok;
}
