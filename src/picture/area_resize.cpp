#include "picture/area_resize.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Along one side: which source pixels each new pixel covers, and how much of each, in
// units of 1 / (new size) of a source pixel, so that every new pixel covers the source
// size in units and the weights are whole numbers.
struct Cover {
    std::vector<unsigned> first, count;
    std::vector<uint32_t> weights;  // count of them for each new pixel, in order
};

Cover CoverOf(unsigned sourceSize, unsigned size)
{
    Cover c;
    for (uint64_t u = 0; u < size; u++) {
        const uint64_t from = u * sourceSize, to = from + sourceSize;  // in units
        const unsigned first = (unsigned)(from / size);
        c.first.push_back(first);
        unsigned n = 0;
        for (uint64_t i = first; i * size < to && i < sourceSize; i++, n++)
            c.weights.push_back(
                (uint32_t)(std::min(to, (i + 1) * size) - std::max(from, i * size)));
        c.count.push_back(n);
    }
    return c;
}

}  // namespace

BitmapOwner ResizeByArea(FIBITMAP* picture, unsigned width, unsigned height)
{
    if (!picture || width == 0 || height == 0) return nullptr;
    if (FreeImage_GetImageType(picture) != FIT_BITMAP || FreeImage_GetBPP(picture) != 24)
        return BitmapOwner(FreeImage_Rescale(picture, width, height, FILTER_BOX));
    const unsigned sourceWidth = FreeImage_GetWidth(picture);
    const unsigned sourceHeight = FreeImage_GetHeight(picture);
    BitmapOwner out(FreeImage_Allocate(width, height, 24));
    if (!out) return nullptr;
    const Cover across = CoverOf(sourceWidth, width), down = CoverOf(sourceHeight, height);
    // Each new line: the source lines under it, each summed across and weighted.
    std::vector<uint64_t> sums((size_t)width * height * 3);
    const uint32_t* downWeight = down.weights.data();
    for (unsigned v = 0; v < height; v++) {
        uint64_t* line = &sums[(size_t)v * width * 3];
        for (unsigned k = 0; k < down.count[v]; k++, downWeight++) {
            const BYTE* in = FreeImage_GetScanLine(picture, down.first[v] + k);
            const uint32_t* a = across.weights.data();
            for (unsigned u = 0; u < width; u++) {
                const BYTE* p = in + across.first[u] * 3;
                uint64_t s0 = 0, s1 = 0, s2 = 0;
                for (unsigned i = 0; i < across.count[u]; i++, p += 3)
                    s0 += (uint64_t)a[i] * p[0], s1 += (uint64_t)a[i] * p[1], s2 += (uint64_t)a[i] * p[2];
                a += across.count[u];
                line[u * 3] += s0 * *downWeight, line[u * 3 + 1] += s1 * *downWeight, line[u * 3 + 2] += s2 * *downWeight;
            }
        }
    }
    const uint64_t total = (uint64_t)sourceWidth * sourceHeight;
    for (unsigned v = 0; v < height; v++) {
        BYTE* o = FreeImage_GetScanLine(out.get(), v);
        for (unsigned i = 0; i < width * 3; i++)
            o[i] = (BYTE)((sums[(size_t)v * width * 3 + i] + total / 2) / total);
    }
    return out;
}
