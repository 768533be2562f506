#include "ui/toolbar_art.h"

#include <cmath>

#include "picture/area_scale.h"
#include "picture/byte_order.h"

namespace {

// The bitmap's pixels as 32-bit, rows top-down; the grey of an 8-bit one see-through.
bool ReadPixels(const uint8_t* dib, size_t size, int* width, int* height,
                std::vector<uint8_t>* bgra)
{
    if (size < 40 || Le32(dib) < 40 || Le32(dib) > size) return false;
    const int w = (int)Le32(dib + 4), rows = (int)Le32(dib + 8), bits = (int)Le16(dib + 14);
    const int h = rows < 0 ? -rows : rows;
    const uint32_t colours = bits == 8 ? (Le32(dib + 32) ? Le32(dib + 32) : 256) : 0;
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096 || Le32(dib + 16) != 0 /* BI_RGB */ ||
        (bits != 8 && bits != 32) || colours > 256)
        return false;
    const size_t palette = Le32(dib), pixels = palette + colours * 4;
    const size_t stride = ((size_t)w * bits / 8 + 3) & ~(size_t)3;
    if (pixels + stride * h > size) return false;
    bgra->resize((size_t)w * h * 4);
    for (int y = 0; y < h; y++) {
        const uint8_t* line = dib + pixels + stride * (rows < 0 ? y : h - 1 - y);
        uint8_t* out = bgra->data() + (size_t)y * w * 4;
        for (int x = 0; x < w; x++, out += 4) {
            const uint8_t* p = bits == 32 ? line + x * 4 : dib + palette + 4 * (line[x] % colours);
            const bool grey = p[0] == StripGrey && p[1] == StripGrey && p[2] == StripGrey;
            out[0] = p[0], out[1] = p[1], out[2] = p[2];
            out[3] = bits == 32 ? p[3] : grey ? 0 : 255;
        }
    }
    *width = w;
    *height = h;
    return true;
}

// Back onto the grey, as the 8-bit strips are drawn.
void Flatten(std::vector<uint8_t>* bgra)
{
    for (size_t i = 0; i < bgra->size(); i += 4) {
        uint8_t* p = bgra->data() + i;
        const double cover = p[3] / 255.0;
        for (int c = 0; c < 3; c++)
            p[c] = cover < 0.4 ? StripGrey
                               : (uint8_t)std::lround(p[c] * cover + StripGrey * (1 - cover));
        // A covered pixel that came out grey would turn see-through.
        if (cover >= 0.4 && p[0] == StripGrey && p[1] == StripGrey && p[2] == StripGrey) p[0]--;
        p[3] = 255;
    }
}

}  // namespace

bool ToolbarStripPixels(const uint8_t* resource, size_t size, int count, int side,
                        std::vector<uint8_t>* out)
{
    std::vector<uint8_t> strip;
    int width = 0, height = 0;
    if (count <= 0 || side <= 0 || !ReadPixels(resource, size, &width, &height, &strip) ||
        width != count * height)
        return false;
    const bool flattened = Le16(resource + 14) == 8;
    out->resize((size_t)count * side * side * 4);
    // Each picture's edge falls on a whole pixel at either size: the pictures do not blend.
    ScaleByArea(strip.data(), width, height, out->data(), count * side, side);
    if (flattened) Flatten(out);
    return true;
}
