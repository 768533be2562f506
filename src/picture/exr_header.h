// A check of an OpenEXR file's header before FreeImage reads it: OpenEXR's own header
// reader takes the sizes it finds at their word (a 2 KB file can ask for gigabytes for its
// line-offset table, and a header without its end keeps the reader waiting for more).
#pragma once
#include <cstddef>
#include <cstdint>

// True when the header is a single-part scan-line or tiled image header that ends inside
// the bytes, with a data window and compression the reader knows, and the bytes after it
// hold at least the offset table the data window needs; *width and *height receive the
// data window's size.
bool ExrHeaderBounded(const uint8_t* data, size_t size, uint64_t* width, uint64_t* height);
