#include "pdf/pdf_picture.h"

#include <FreeImage.h>

#include <cstdint>

#include "pdf/pdf_library.h"

int AddPictureAsJpeg(FIBITMAP* picture)
{
    if (!picture) return -1;
    if (FreeImage_GetImageType(picture) != FIT_BITMAP || FreeImage_GetBPP(picture) != 24) {
        FIBITMAP* converted = FreeImage_ConvertTo24Bits(picture);
        FreeImage_Unload(picture);
        picture = converted;
        if (!picture) return -1;
    }
    FIMEMORY* stream = FreeImage_OpenMemory(nullptr, 0);
    bool saved = stream && FreeImage_SaveToMemory(FIF_JPEG, picture, stream, JPEG_DEFAULT);
    FreeImage_Unload(picture);  // only one decoded picture or one JPEG at a time
    BYTE* data = nullptr;
    DWORD size = 0;
    if (saved)
        saved = FreeImage_AcquireMemory(stream, &data, &size) && size > 0 && size <= INT32_MAX;
    const int imageId = saved ? PdfAddJpegFromMemory(data, (int)size, 0) : -1;
    if (stream) FreeImage_CloseMemory(stream);
    return imageId;
}
