#include "picture/jpeg_encode.h"

#include <FreeImage.h>

#include <exception>

bool EncodePictureAsJpeg(BitmapOwner picture, std::vector<uint8_t>* jpeg)
{
    jpeg->clear();
    if (!picture) return false;
    if (FreeImage_GetImageType(picture.get()) != FIT_BITMAP ||
        FreeImage_GetBPP(picture.get()) != 24) {
        picture.reset(FreeImage_ConvertTo24Bits(picture.get()));
        if (!picture) return false;
    }
    const MemoryStreamOwner stream(FreeImage_OpenMemory(nullptr, 0));  // the encoded JPEG
    bool saved =
        stream && FreeImage_SaveToMemory(FIF_JPEG, picture.get(), stream.get(), JPEG_DEFAULT);
    picture.reset();  // only one decoded picture or one JPEG at a time
    BYTE* data = nullptr;
    DWORD size = 0;
    if (saved)
        saved = FreeImage_AcquireMemory(stream.get(), &data, &size) && size > 0 &&
                size <= INT32_MAX;
    try {
        if (saved) jpeg->assign(data, data + size);
    } catch (const std::exception&) {
        saved = false;
    }
    return saved;
}
