#include "picture/bitmap_owner.h"

#include <FreeImage.h>

void BitmapUnloader::operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }

void MemoryStreamCloser::operator()(FIMEMORY* stream) const { FreeImage_CloseMemory(stream); }
