// Header readers for the FreeImage formats without header-only loading. Each one
// finds the size that FreeImage's own reader passes to its pixel allocation.
// KOALA (always 320 x 200) and PICT (its size comes from drawing opcodes anywhere in the
// file) have no reader here; the loader decodes those and checks the size afterwards.
#include "import/header_size.h"

#include <FreeImage.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

uint32_t Be16(const uint8_t* p) { return (uint32_t)p[0] << 8 | p[1]; }
uint32_t Le16(const uint8_t* p) { return (uint32_t)p[1] << 8 | p[0]; }
uint32_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }
uint32_t Le32(const uint8_t* p) { return Le16(p + 2) << 16 | Le16(p); }

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

// WBMP multi-byte integer: 7 bits a byte, high bit set on all but the last.
bool WbmpNumber(Bytes b, size_t* pos, uint64_t* value)
{
    *value = 0;
    for (int i = 0; i < 5 && b.Has(*pos, 1); i++) {
        uint8_t c = b.data[(*pos)++];
        *value = *value << 7 | (c & 0x7F);
        if (!(c & 0x80)) return true;
    }
    return false;
}

HeaderSizeResult Wbmp(Bytes b, uint64_t* w, uint64_t* h)
{
    size_t pos = 0;
    uint64_t type;
    if (!WbmpNumber(b, &pos, &type) || type != 0 || !b.Has(pos, 1)) return HeaderSizeBroken;
    uint8_t fixed = b.data[pos++];
    if (fixed & 0x80) {  // extension headers: bytes with the high bit as continuation
        while (b.Has(pos, 1) && (b.data[pos] & 0x80)) pos++;
        pos++;
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

// MNG: the first embedded PNG (IHDR) or JNG (JHDR) picture, which is the one loaded.
HeaderSizeResult Mng(Bytes b, uint64_t* w, uint64_t* h)
{
    if (!b.Is(1, "MNG")) return HeaderSizeBroken;
    size_t pos = 8;
    while (b.Has(pos, 8)) {
        uint64_t length = Be32(b.data + pos);
        if (b.Is(pos + 4, "IHDR") || b.Is(pos + 4, "JHDR")) {
            if (length < 8 || !b.Has(pos + 8, 8)) return HeaderSizeBroken;
            *w = Be32(b.data + pos + 8);
            *h = Be32(b.data + pos + 12);
            return HeaderSizeFound;
        }
        if (length > b.size) return HeaderSizeBroken;
        pos += 12 + length;  // length, type, data, CRC
    }
    return HeaderSizeBroken;
}

// XBM is C text: "#define name_width 16" and "#define name_height 16".
bool XbmNumber(const std::string& text, const char* key, uint64_t* value)
{
    size_t at = text.find(key);
    if (at == std::string::npos) return false;
    const char* start = text.c_str() + at + strlen(key);
    char* stop;
    unsigned long long n = strtoull(start, &stop, 10);
    if (stop == start) return false;
    *value = n;
    return true;
}

HeaderSizeResult Xbm(Bytes b, uint64_t* w, uint64_t* h)
{
    std::string head((const char*)b.data, b.size < 4096 ? b.size : 4096);
    if (!XbmNumber(head, "_width", w) || !XbmNumber(head, "_height", h))
        return HeaderSizeBroken;
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
