// Header readers for the FreeImage formats without header-only loading. Each one
// finds the size that FreeImage's own reader passes to its pixel allocation.
// KOALA (always 320 x 200) and PICT (its size comes from drawing opcodes anywhere in the
// file) have no reader here; the loader decodes those and checks the size afterwards.
#include "picture/header_size.h"

#include <FreeImage.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "picture/byte_order.h"
#include "picture/jpeg_segments.h"

namespace {

struct Bytes {
    const uint8_t* data;
    size_t size;
    bool Has(size_t pos, size_t n) const { return pos <= size && n <= size - pos; }
    bool Is(size_t pos, const char* text) const
    {
        size_t n = strlen(text);
        return Has(pos, n) && memcmp(data + pos, text, n) == 0;
    }
};

// GIF: the first image descriptor's size (a frame is loaded at its own size).
HeaderSizeResult Gif(Bytes b, uint64_t* w, uint64_t* h)
{
    if (!b.Is(0, "GIF") || !b.Has(0, 13)) return HeaderSizeBroken;
    size_t pos = 13;
    uint8_t flags = b.data[10];
    if (flags & 0x80) pos += 3u * (2u << (flags & 7));  // global colour table
    while (b.Has(pos, 1)) {
        uint8_t block = b.data[pos];
        if (block == 0x2C) {  // image descriptor: left, top, width, height
            if (!b.Has(pos, 10)) return HeaderSizeBroken;
            *w = Le16(b.data + pos + 5);
            *h = Le16(b.data + pos + 7);
            return HeaderSizeFound;
        }
        if (block != 0x21) return HeaderSizeBroken;  // trailer or garbage: no picture
        pos += 2;  // extension introducer and label, then data sub-blocks
        while (b.Has(pos, 1) && b.data[pos] != 0) pos += 1 + b.data[pos];
        pos += 1;
    }
    return HeaderSizeBroken;
}

HeaderSizeResult Sgi(Bytes b, uint64_t* w, uint64_t* h)
{
    if (!b.Has(0, 10) || Be16(b.data) != 474) return HeaderSizeBroken;
    *w = Be16(b.data + 6);
    *h = Be16(b.data + 8);
    return HeaderSizeFound;
}

HeaderSizeResult Dds(Bytes b, uint64_t* w, uint64_t* h)
{
    if (!b.Is(0, "DDS ") || !b.Has(0, 20)) return HeaderSizeBroken;
    *h = Le32(b.data + 12);
    *w = Le32(b.data + 16);
    return HeaderSizeFound;
}

// WBMP multi-byte integer as FreeImage reads it: 7 bits a byte while the high bit is set,
// kept in 32 bits, then cut to 16. A number that the file ends inside is broken.
bool WbmpNumber(Bytes b, size_t* pos, uint64_t* value)
{
    uint32_t n = 0;
    while (b.Has(*pos, 1)) {
        uint8_t c = b.data[(*pos)++];
        n += c & 0x7F;
        if (!(c & 0x80)) {
            *value = n & 0xFFFF;
            return true;
        }
        n <<= 7;
    }
    return false;
}

HeaderSizeResult Wbmp(Bytes b, uint64_t* w, uint64_t* h)
{
    size_t pos = 0;
    uint64_t type, ignored;
    if (!WbmpNumber(b, &pos, &type) || type != 0 || !b.Has(pos, 1)) return HeaderSizeBroken;
    if (b.data[pos++] & 0x80) {
        // Extension headers, each led by a byte whose high bit says another follows. FreeImage
        // reads on past the end of the file for as long as that bit stays set.
        uint8_t field = 0x80;
        while (field & 0x80) {
            if (!b.Has(pos, 1)) return HeaderSizeBroken;
            field = b.data[pos++];
            if ((field & 0x60) == 0x00 && !WbmpNumber(b, &pos, &ignored)) return HeaderSizeBroken;
            if ((field & 0x60) == 0x60) pos += ((field & 0x70) >> 4) + (field & 0x0F);
        }
    }
    if (!WbmpNumber(b, &pos, w) || !WbmpNumber(b, &pos, h)) return HeaderSizeBroken;
    return HeaderSizeFound;
}

// JPEG 2000 codestream: the SIZ marker follows SOC directly.
HeaderSizeResult J2k(Bytes b, uint64_t* w, uint64_t* h)
{
    if (!b.Has(0, 24) || Be16(b.data) != 0xFF4F || Be16(b.data + 2) != 0xFF51)
        return HeaderSizeBroken;
    uint32_t x = Be32(b.data + 8), y = Be32(b.data + 12);
    uint32_t x0 = Be32(b.data + 16), y0 = Be32(b.data + 20);
    if (x0 >= x || y0 >= y) return HeaderSizeBroken;
    *w = x - x0;
    *h = y - y0;
    return HeaderSizeFound;
}

// JP2 boxes: the image header box (height, width) inside the JP2 header box.
HeaderSizeResult Jp2(Bytes b, uint64_t* w, uint64_t* h)
{
    size_t pos = 0, end = b.size;
    while (b.Has(pos, 8) && pos < end) {
        uint64_t length = Be32(b.data + pos);
        size_t header = 8;
        if (length == 1) {
            if (!b.Has(pos, 16)) return HeaderSizeBroken;
            length = (uint64_t)Be32(b.data + pos + 8) << 32 | Be32(b.data + pos + 12);
            header = 16;
        } else if (length == 0) {
            length = end - pos;
        }
        if (length < header || length > end - pos) return HeaderSizeBroken;
        if (b.Is(pos + 4, "jp2h")) {  // a super box: search inside it
            end = pos + length;
            pos += header;
            continue;
        }
        if (b.Is(pos + 4, "ihdr")) {
            if (length < header + 8) return HeaderSizeBroken;
            *h = Be32(b.data + pos + header);
            *w = Be32(b.data + pos + header + 4);
            return HeaderSizeFound;
        }
        pos += length;
    }
    return HeaderSizeBroken;
}

// IFF ILBM / PBM: the BMHD chunk.
HeaderSizeResult Iff(Bytes b, uint64_t* w, uint64_t* h)
{
    if (!b.Is(0, "FORM")) return HeaderSizeBroken;
    size_t pos = 12;
    while (b.Has(pos, 8)) {
        uint64_t length = Be32(b.data + pos + 4);
        if (b.Is(pos, "BMHD")) {
            if (length < 4 || !b.Has(pos + 8, 4)) return HeaderSizeBroken;
            *w = Be16(b.data + pos + 8);
            *h = Be16(b.data + pos + 10);
            return HeaderSizeFound;
        }
        if (length > b.size) return HeaderSizeBroken;
        pos += 8 + length + (length & 1);
    }
    return HeaderSizeBroken;
}

// The size in a JPEG's start-of-frame segment.
bool JpegFrameSize(const uint8_t* data, size_t size, uint64_t* w, uint64_t* h)
{
    struct Frame {
        uint64_t w, h;
        bool found;
    } frame{0, 0, false};
    auto visit = [](uint8_t marker, const uint8_t* p, size_t n, void* context) {
        bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC;
        if (!sof || n < 5) return true;
        Frame* f = static_cast<Frame*>(context);
        f->h = Be16(p + 1);
        f->w = Be16(p + 3);
        f->found = true;
        return false;
    };
    WalkJpegSegments(data, size, visit, &frame);
    *w = frame.w;
    *h = frame.h;
    return frame.found;
}

// MNG: the first embedded PNG (IHDR) or JNG picture, which is the one loaded. A JNG's
// pixels come from the JPEG in its JDAT chunk, whose own frame size FreeImage allocates,
// whatever JHDR says: the larger of the two counts.
HeaderSizeResult Mng(Bytes b, uint64_t* w, uint64_t* h)
{
    if (!b.Is(1, "MNG")) return HeaderSizeBroken;
    size_t pos = 8;
    bool jng = false;
    while (b.Has(pos, 8)) {
        uint64_t length = Be32(b.data + pos);
        if (length > b.size - pos - 8) return HeaderSizeBroken;
        if (!jng && (b.Is(pos + 4, "IHDR") || b.Is(pos + 4, "JHDR"))) {
            if (length < 8) return HeaderSizeBroken;
            *w = Be32(b.data + pos + 8);
            *h = Be32(b.data + pos + 12);
            if (b.Is(pos + 4, "IHDR")) return HeaderSizeFound;
            jng = true;
        } else if (jng && b.Is(pos + 4, "JDAT")) {
            uint64_t jw, jh;
            if (!JpegFrameSize(b.data + pos + 8, (size_t)length, &jw, &jh)) return HeaderSizeBroken;
            if (jw > *w) *w = jw;
            if (jh > *h) *h = jh;
            return HeaderSizeFound;
        }
        pos += 12 + length;  // length, type, data, CRC
    }
    return HeaderSizeBroken;
}

// XBM is C text read line by line as FreeImage does: "#define <name>_width 16" lines up to
// the array's declaration, the last one of each kind counting; lines of 511 characters or
// more are refused. FreeImage then reads one value a byte and never notices the end of
// the file: fewer values than the size asks for would keep it reading forever.
const size_t XbmLine = 512;

HeaderSizeResult Xbm(Bytes b, uint64_t* w, uint64_t* h)
{
    long long width = -1, height = -1;
    int version = 0;
    size_t pos = 0;
    char line[XbmLine], name[XbmLine];
    while (!version && pos < b.size) {
        size_t n = 0;
        while (pos < b.size && n < XbmLine - 1) {
            char c = (char)b.data[pos++];
            line[n++] = c;
            if (c == '\n') break;
        }
        line[n] = 0;
        if (n == XbmLine - 1) return HeaderSizeBroken;
        int v;
        if (sscanf(line, "#define %511s %d", name, &v) == 2) {
            const char* suffix = strrchr(name, '_');
            suffix = suffix ? suffix + 1 : name;
            if (!strcmp(suffix, "width")) width = v;
            else if (!strcmp(suffix, "height")) height = v;
            continue;
        }
        if (sscanf(line, "static short %511s = {", name) == 1) version = 10;
        else if (sscanf(line, "static char %511s = {", name) == 1 ||
                 sscanf(line, "static unsigned char %511s = {", name) == 1)
            version = 11;
    }
    if (!version || width <= 0 || height <= 0) return HeaderSizeBroken;
    uint64_t padding = version == 10 && width % 16 >= 1 && width % 16 <= 8;
    uint64_t values = ((uint64_t)width + 7) / 8 + padding;
    values *= (uint64_t)height;
    if (version == 10) values = (values + 1) / 2;  // two bytes a value
    // Each value is at least one hex digit and a separator.
    uint64_t found = 0;
    for (bool inValue = false; pos < b.size && found < values; pos++) {
        bool digit = isxdigit(b.data[pos]) || b.data[pos] == 'x' || b.data[pos] == 'X';
        if (digit && !inValue) found++;
        inValue = digit;
    }
    if (found < values) return HeaderSizeBroken;
    *w = (uint64_t)width;
    *h = (uint64_t)height;
    return HeaderSizeFound;
}

}  // namespace

HeaderSizeResult ReadHeaderSize(int format, const uint8_t* data, size_t size,
                                uint64_t* width, uint64_t* height)
{
    Bytes b{data, size};
    switch (format) {
    case FIF_GIF: return Gif(b, width, height);
    case FIF_SGI: return Sgi(b, width, height);
    case FIF_DDS: return Dds(b, width, height);
    case FIF_WBMP: return Wbmp(b, width, height);
    case FIF_J2K: return J2k(b, width, height);
    case FIF_JP2: return Jp2(b, width, height);
    case FIF_IFF: return Iff(b, width, height);
    case FIF_MNG: return Mng(b, width, height);
    case FIF_XBM: return Xbm(b, width, height);
    default: return HeaderSizeNoReader;
    }
}

unsigned DecodedBitsPerPixel(int format)
{
    switch (format) {
    case FIF_WBMP:
    case FIF_XBM: return 1;
    case FIF_GIF: return 8;
    case FIF_J2K:
    case FIF_JP2:
    case FIF_MNG: return 64;  // 16 bits a channel with alpha
    default: return 32;
    }
}
