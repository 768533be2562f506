#include "picture/bicubic_resize.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <vector>

namespace {

// Mitchell-Netravali with B = C = 1/3, support 2: FreeImage's CBicubicFilter.
double Mitchell(double x)
{
    const double b = 1.0 / 3, c = 1.0 / 3;
    x = std::fabs(x);
    if (x < 1)
        return ((6 - 2 * b) + x * x * ((-18 + 12 * b + 6 * c) + x * (12 - 9 * b - 6 * c))) / 6;
    if (x < 2)
        return ((8 * b + 24 * c) + x * ((-12 * b - 48 * c) + x * ((6 * b + 30 * c) +
                                                                  x * (-b - 6 * c)))) / 6;
    return 0;
}

// Weights in fixed point: sums stay exact in 32 bits and the loops run as vector
// integer arithmetic; a weight is off by at most 1/32768, the result by under 0.1 level.
const int WeightBits = 14;

// For each destination pixel: the first source pixel and the weights of the pixels from
// there, normalised, as FreeImage's CWeightsTable makes them.
struct Taps {
    std::vector<int> first, count;
    std::vector<int32_t> weights;  // count of them for each destination pixel, in order
};

Taps MakeTaps(unsigned sourceSize, unsigned destinationSize)
{
    const double scale = (double)destinationSize / sourceSize;
    const double width = scale < 1 ? 2 / scale : 2, filterScale = scale < 1 ? scale : 1;
    Taps taps;
    std::vector<double> w;
    for (unsigned u = 0; u < destinationSize; u++) {
        const double centre = u / scale + 0.5 / scale;
        const int left = std::max(0, (int)(centre - width + 0.5));
        const int right = std::min((int)(centre + width + 0.5), (int)sourceSize);
        w.clear();
        double total = 0;
        for (int i = left; i < right; i++) {
            w.push_back(filterScale * Mitchell(filterScale * (i + 0.5 - centre)));
            total += w.back();
        }
        if (total > 0 && total != 1)
            for (double& v : w) v /= total;
        int n = (int)w.size();
        while (n > 0 && w[n - 1] == 0) n--;  // null weights at the right do nothing
        taps.first.push_back(left);
        taps.count.push_back(n);
        for (int i = 0; i < n; i++) taps.weights.push_back((int32_t)std::lround(w[i] * (1 << WeightBits)));
    }
    return taps;
}

inline uint8_t ToByte(int32_t sum)
{
    const int32_t v = (sum + (1 << (WeightBits - 1))) >> WeightBits;
    return (uint8_t)(v < 0 ? 0 : v > 255 ? 255 : v);
}

// One scan line across, from the source's width to the destination's.
template <int Bytes>
void ResizeLineAcross(const uint8_t* in, const Taps& taps, unsigned width, uint8_t* out)
{
    const int32_t* w = taps.weights.data();
    for (unsigned x = 0; x < width; x++) {
        const uint8_t* p = in + taps.first[x] * Bytes;
        int32_t sum[Bytes] = {};
        for (int k = 0; k < taps.count[x]; k++, p += Bytes)
            for (int c = 0; c < Bytes; c++) sum[c] += w[k] * p[c];
        for (int c = 0; c < Bytes; c++) out[x * Bytes + c] = ToByte(sum[c]);
        w += taps.count[x];
    }
}

// Each destination line from the source lines its column taps name, each of those
// resized across once and kept in a ring just deep enough for the widest column tap:
// the lines a destination line needs only move forward down the source.
template <int Bytes>
void Resize(FIBITMAP* source, const Taps& across, const Taps& down, FIBITMAP* out)
{
    const unsigned width = FreeImage_GetWidth(out), rows = FreeImage_GetHeight(out);
    const unsigned lineBytes = width * Bytes;
    const int depth = std::max(1, *std::max_element(down.count.begin(), down.count.end()));
    std::vector<uint8_t> ring((size_t)depth * lineBytes);
    std::vector<int> held(depth, -1);  // the source line in each ring slot
    std::vector<int32_t> sum(lineBytes);
    const int32_t* w = down.weights.data();
    for (unsigned y = 0; y < rows; y++) {
        std::fill(sum.begin(), sum.end(), 0);
        for (int k = 0; k < down.count[y]; k++) {
            const int line = down.first[y] + k;
            uint8_t* in = &ring[(size_t)(line % depth) * lineBytes];
            if (held[line % depth] != line) {
                ResizeLineAcross<Bytes>(FreeImage_GetScanLine(source, line), across, width, in);
                held[line % depth] = line;
            }
            const int32_t weight = w[k];
            int32_t* s = sum.data();
            for (unsigned i = 0; i < lineBytes; i++) s[i] += weight * in[i];
        }
        uint8_t* line = FreeImage_GetScanLine(out, y);
        for (unsigned i = 0; i < lineBytes; i++) line[i] = ToByte(sum[i]);
        w += down.count[y];
    }
}

}  // namespace

BitmapOwner ResizeBicubic(FIBITMAP* picture, unsigned width, unsigned height)
{
    if (!picture || width == 0 || height == 0) return nullptr;
    const unsigned bpp = FreeImage_GetBPP(picture);
    if (FreeImage_GetImageType(picture) != FIT_BITMAP || (bpp != 24 && bpp != 32))
        return BitmapOwner(FreeImage_Rescale(picture, width, height, FILTER_BICUBIC));
    BitmapOwner out(FreeImage_Allocate(width, height, bpp));
    if (!out) return nullptr;
    // Owned from here: the taps and line buffers below may still run out of memory.
    const Taps across = MakeTaps(FreeImage_GetWidth(picture), width);
    const Taps down = MakeTaps(FreeImage_GetHeight(picture), height);
    if (bpp == 24) Resize<3>(picture, across, down, out.get());
    else Resize<4>(picture, across, down, out.get());
    FreeImage_CloneMetadata(out.get(), picture);
    return out;
}
