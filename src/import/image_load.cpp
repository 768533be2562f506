// Decoding image files held in memory with FreeImage.
#include "import/image_load.h"

#include <FreeImage.h>

#include <climits>

const unsigned long long MaxImagePixels = 100ull * 1000 * 1000;

namespace {

// The format from the content; when FreeImage does not recognise it, from the name's
// extension (the name may be a Windows path: only the extension matters).
FREE_IMAGE_FORMAT DetectFormat(FIMEMORY* stream, const char* fileName)
{
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromMemory(stream, 0);
    if (fif == FIF_UNKNOWN && fileName) fif = FreeImage_GetFIFFromFilename(fileName);
    return fif;
}

}  // namespace

FIBITMAP* LoadImageFromMemory(const uint8_t* data, size_t size, const char* fileName)
{
    if (!data || size == 0 || size > UINT_MAX) return nullptr;
    // Read only: FreeImage never writes into a stream that it did not allocate.
    FIMEMORY* stream = FreeImage_OpenMemory(const_cast<BYTE*>(data), (DWORD)size);
    if (!stream) return nullptr;
    FIBITMAP* picture = nullptr;
    FREE_IMAGE_FORMAT fif = DetectFormat(stream, fileName);
    if (fif != FIF_UNKNOWN && FreeImage_FIFSupportsReading(fif)) {
        FreeImage_SeekMemory(stream, 0, SEEK_SET);
        picture = FreeImage_LoadFromMemory(fif, stream, 0);
    }
    FreeImage_CloseMemory(stream);
    return picture;
}
