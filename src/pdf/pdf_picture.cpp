#include "pdf/pdf_picture.h"

#include <FreeImage.h>

#include "pdf/pdf_library.h"

bool EncodePictureAsJpeg(FIBITMAP* picture, std::vector<uint8_t>* jpeg)
{
    jpeg->clear();
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
    if (saved)
        saved = FreeImage_AcquireMemory(stream, &data, &size) && size > 0 && size <= INT32_MAX;
    if (saved) jpeg->assign(data, data + size);
    if (stream) FreeImage_CloseMemory(stream);
    return saved;
}

int AddPictureAsJpeg(FIBITMAP* picture)
{
    std::vector<uint8_t> jpeg;
    if (!EncodePictureAsJpeg(picture, &jpeg)) return -1;
    return PdfAddJpegFromMemory(jpeg.data(), (int)jpeg.size(), 0);
}
