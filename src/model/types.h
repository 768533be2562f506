// Shared vocabulary of the whole program: layouts, sizes and count texts.
// Portable: no windows.h here.
#pragma once
#include <cstddef>
#include <cstdint>

typedef int LayoutMode;
enum : LayoutMode {
    LayoutOnePerPage = 118,
    LayoutTwoPerPage = 119,
    LayoutFourPerPage = 120,
};

enum {
    ThumbnailSize = 96,  // thumbnail width and height in pixels at 96 DPI (100 %)
    // Thumbnails are made at the screen's scale: ThumbnailSize x DPI / 96, within these.
    MinThumbnailSide = 48,
    MaxThumbnailSide = 384,  // 400 %
    MaxPathChars = 260,  // a Windows path in characters, terminator included
    // A path held as UTF-8: 259 UTF-16 characters take up to 3 bytes each.
    MaxPathBytes = 3 * (MaxPathChars - 1) + 1,
    CaptionChars = 40,   // caption field, terminator included (39 usable)
};

// A part of a file: where it starts, and its length.
struct FilePiece {
    uint64_t offset, length;
};

// 2 for two per page, 4 for four per page, 1 for anything else.
int ImagesPerPage(LayoutMode mode);

// Pages needed for n images: n / ImagesPerPage rounded up; 0 images give 0 pages.
int PageCount(int n, LayoutMode mode);

// The decimal text of n, padded on the left with '0' to three characters and never
// cut (7 -> "007", 42 -> "042", 1234 -> "1234"). Always terminated; returns out.
char* FormatCount(long long n, char* out, size_t outSize);
