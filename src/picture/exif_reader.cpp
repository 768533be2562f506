// Reads the Orientation tag itself, bounded by the bytes at hand: FreeImage's own Exif
// reader follows offsets from the file without checking them.
#include "picture/exif_reader.h"

#include <cstring>

#include "picture/byte_order.h"
#include "picture/jpeg_segments.h"

namespace {

uint32_t Read16(const uint8_t* p, bool big) { return (uint32_t)ReadInOrder(p, 2, big); }
uint32_t Read32(const uint8_t* p, bool big) { return (uint32_t)ReadInOrder(p, 4, big); }

struct Found {
    int orientation;
};

bool VisitSegment(uint8_t marker, const uint8_t* payload, size_t size, void* context)
{
    static const uint8_t exif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (marker != 0xE1 || size < 6 || memcmp(payload, exif, 6) != 0) return true;
    static_cast<Found*>(context)->orientation = TiffOrientation(payload + 6, size - 6);
    return false;  // the first Exif block counts
}

}  // namespace

int TiffOrientation(const uint8_t* tiff, size_t size)
{
    if (!tiff || size < 8) return 1;
    bool big;
    if (tiff[0] == 'I' && tiff[1] == 'I') big = false;
    else if (tiff[0] == 'M' && tiff[1] == 'M') big = true;
    else return 1;
    if (Read16(tiff + 2, big) != 42) return 1;
    uint64_t ifd = Read32(tiff + 4, big);
    if (ifd > size - 2) return 1;
    uint64_t count = Read16(tiff + ifd, big);
    if (count * 12 > size - ifd - 2) return 1;
    for (uint64_t i = 0; i < count; i++) {
        const uint8_t* entry = tiff + ifd + 2 + i * 12;
        if (Read16(entry, big) != 0x0112) continue;
        if (Read16(entry + 2, big) != 3 || Read32(entry + 4, big) < 1) return 1;  // SHORT
        uint32_t value = Read16(entry + 8, big);
        return value >= 1 && value <= 8 ? (int)value : 1;
    }
    return 1;
}

int ExifOrientationFromBytes(const uint8_t* data, size_t size)
{
    if (!data) return 1;
    if (IsJpeg(data, size)) {
        Found found{1};
        WalkJpegSegments(data, size, VisitSegment, &found);
        return found.orientation;
    }
    return TiffOrientation(data, size);
}
