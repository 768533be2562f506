// The sizes a HEIF or AVIF file asks its decoder for, read from the file's own boxes
// with every offset checked, before libheif reads the file. libheif bounds each side
// alone (32768) and allocates a grid's or overlay's canvas at the size the grid declares,
// whatever the picture's own size box says: the loader bounds them all as any picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct HeifSize {
    uint64_t width, height;
};

// Every size the file declares: each item's ispe (stored, before any turn) and each
// grid's and overlay's canvas. False when the boxes are cut short or malformed, the
// primary picture has no size, or a grid, overlay or derived picture is made of pictures
// of its own kind (which could refer to each other without end).
bool ReadHeifSizes(const uint8_t* data, size_t size, std::vector<HeifSize>* sizes);
