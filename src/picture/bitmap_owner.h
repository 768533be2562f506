// A FreeImage bitmap held so that it is unloaded on every way out of a function, a throw
// (std::bad_alloc in a resample, a turn or an encode) included: a decoder process goes on
// to its next file and must not keep the last one's pixels. FreeImage's memory streams
// are held the same way. No FreeImage.h here: headers that the Win32 layer includes use
// it.
#pragma once
#include <memory>

struct FIBITMAP;
struct FIMEMORY;

struct BitmapUnloader {
    void operator()(FIBITMAP* bitmap) const;  // FreeImage_Unload
};

// Taken by value where a function takes the bitmap over (it may unload or replace it).
typedef std::unique_ptr<FIBITMAP, BitmapUnloader> BitmapOwner;

struct MemoryStreamCloser {
    void operator()(FIMEMORY* stream) const;  // FreeImage_CloseMemory
};

typedef std::unique_ptr<FIMEMORY, MemoryStreamCloser> MemoryStreamOwner;
