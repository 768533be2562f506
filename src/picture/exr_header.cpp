#include "picture/exr_header.h"

#include <cstring>

#include "picture/byte_order.h"

namespace {

// Scan lines held by one chunk of each compression, by its number; 0 for unknown ones.
unsigned LinesPerChunk(uint8_t compression)
{
    static const unsigned lines[] = {1, 1, 1, 16, 32, 16, 32, 32, 32, 256};
    return compression < sizeof lines / sizeof lines[0] ? lines[compression] : 0;
}

// A text ending in a zero byte of at most maxChars characters starting at pos.
bool ReadName(const uint8_t* data, size_t size, size_t* pos, size_t maxChars, const char** text)
{
    size_t start = *pos;
    for (size_t i = start; i < size && i - start <= maxChars; i++) {
        if (data[i] == 0) {
            *text = (const char*)data + start;
            *pos = i + 1;
            return true;
        }
    }
    return false;
}

uint64_t Chunks(uint64_t length, uint64_t step) { return (length + step - 1) / step; }

}  // namespace

bool ExrHeaderBounded(const uint8_t* data, size_t size, uint64_t* width, uint64_t* height)
{
    if (!data || size < 8 || Le32(data) != 20000630) return false;
    const uint32_t version = Le32(data + 4);
    const bool tiled = version & 0x200;
    if ((version & 0xFF) != 2 || (version & ~0x6FFu) != 0) return false;  // deep, multipart
    const size_t maxName = (version & 0x400) ? 255 : 31;
    bool haveWindow = false, haveCompression = false, haveTiles = false;
    int32_t box[4] = {0, 0, 0, 0};
    uint8_t compression = 0;
    uint32_t tileWidth = 0, tileHeight = 0;
    size_t pos = 8;
    for (;;) {
        if (pos >= size) return false;  // the header never ends
        if (data[pos] == 0) {
            pos++;
            break;
        }
        const char *name, *type;
        if (!ReadName(data, size, &pos, maxName, &name) || !ReadName(data, size, &pos, maxName, &type))
            return false;
        if (size - pos < 4) return false;
        const uint64_t length = Le32(data + pos);
        pos += 4;
        if (length > size - pos) return false;
        const uint8_t* value = data + pos;
        if (!strcmp(name, "dataWindow") && !strcmp(type, "box2i") && length == 16) {
            for (int i = 0; i < 4; i++) box[i] = (int32_t)Le32(value + 4 * i);
            haveWindow = true;
        } else if (!strcmp(name, "compression") && length == 1) {
            compression = value[0];
            haveCompression = true;
        } else if (!strcmp(name, "tiles") && !strcmp(type, "tiledesc") && length == 9) {
            tileWidth = Le32(value);
            tileHeight = Le32(value + 4);
            haveTiles = true;
        }
        pos += (size_t)length;
    }
    if (!haveWindow || !haveCompression || LinesPerChunk(compression) == 0) return false;
    if (box[2] < box[0] || box[3] < box[1]) return false;
    *width = (uint64_t)((int64_t)box[2] - box[0]) + 1;
    *height = (uint64_t)((int64_t)box[3] - box[1]) + 1;
    uint64_t chunks;
    if (tiled) {
        if (!haveTiles || tileWidth == 0 || tileHeight == 0) return false;
        chunks = Chunks(*width, tileWidth) * Chunks(*height, tileHeight);  // level 0 alone
    } else {
        chunks = Chunks(*height, LinesPerChunk(compression));
    }
    return chunks <= (size - pos) / 8;
}
