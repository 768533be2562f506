#include "test_images.h"

#include <FreeImage.h>

#include <cstring>

std::vector<uint8_t> MakeTestImageBytes(int width, int height, const char* format, uint8_t r,
                                        uint8_t g, uint8_t b)
{
    std::vector<uint8_t> bytes;
    FREE_IMAGE_FORMAT fif = strcmp(format, "jpg") == 0   ? FIF_JPEG
                            : strcmp(format, "bmp") == 0 ? FIF_BMP
                            : strcmp(format, "gif") == 0 ? FIF_GIF
                                                         : FIF_PNG;
    FIBITMAP* image = FreeImage_Allocate(width, height, 24);
    if (!image) return bytes;
    int mark = (width < height ? width : height) / 4;
    for (int y = 0; y < height; y++) {
        BYTE* row = FreeImage_GetScanLine(image, y);  // row 0 is the bottom
        for (int x = 0; x < width; x++) {
            bool inMark = x < mark && (height - 1 - y) < mark;
            row[x * 3 + FI_RGBA_RED] = inMark ? 0 : r;
            row[x * 3 + FI_RGBA_GREEN] = inMark ? 0 : g;
            row[x * 3 + FI_RGBA_BLUE] = inMark ? 0 : b;
        }
    }
    FIBITMAP* toSave = image;
    if (fif == FIF_GIF) toSave = FreeImage_ColorQuantize(image, FIQ_WUQUANT);
    FIMEMORY* memory = FreeImage_OpenMemory();
    if (toSave && FreeImage_SaveToMemory(fif, toSave, memory, 0)) {
        BYTE* data = NULL;
        DWORD size = 0;
        FreeImage_AcquireMemory(memory, &data, &size);
        bytes.assign(data, data + size);
    }
    FreeImage_CloseMemory(memory);
    if (toSave && toSave != image) FreeImage_Unload(toSave);
    FreeImage_Unload(image);
    return bytes;
}
