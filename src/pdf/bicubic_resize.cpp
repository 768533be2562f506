#include "pdf/bicubic_resize.h"

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

// Each scan line across, into `across` (destination width, source height, same depth).
template <int Bytes>
void ResizeAcross(FIBITMAP* source, const Taps& taps, FIBITMAP* across)
{
    const unsigned rows = FreeImage_GetHeight(source), width = FreeImage_GetWidth(across);
    for (unsigned y = 0; y < rows; y++) {
        const uint8_t* in = FreeImage_GetScanLine(source, y);
        uint8_t* out = FreeImage_GetScanLine(across, y);
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
}

// Each column down, a whole scan line at a time so that the inner loop runs along memory.
void ResizeDown(FIBITMAP* across, const Taps& taps, int bytes, FIBITMAP* out)
{
    const unsigned rows = FreeImage_GetHeight(out), lineBytes = FreeImage_GetWidth(out) * bytes;
    std::vector<int32_t> sum(lineBytes);
    const int32_t* w = taps.weights.data();
    for (unsigned y = 0; y < rows; y++) {
        std::fill(sum.begin(), sum.end(), 0);
        for (int k = 0; k < taps.count[y]; k++) {
            const uint8_t* in = FreeImage_GetScanLine(across, taps.first[y] + k);
            const int32_t weight = w[k];
            int32_t* s = sum.data();
            for (unsigned i = 0; i < lineBytes; i++) s[i] += weight * in[i];
        }
        uint8_t* line = FreeImage_GetScanLine(out, y);
        for (unsigned i = 0; i < lineBytes; i++) line[i] = ToByte(sum[i]);
        w += taps.count[y];
    }
}

}  // namespace

FIBITMAP* ResizeBicubic(FIBITMAP* picture, unsigned width, unsigned height)
{
    if (!picture || width == 0 || height == 0) return nullptr;
    const unsigned bpp = FreeImage_GetBPP(picture);
    if (FreeImage_GetImageType(picture) != FIT_BITMAP || (bpp != 24 && bpp != 32))
        return FreeImage_Rescale(picture, width, height, FILTER_BICUBIC);
    const int bytes = (int)bpp / 8;
    const unsigned sourceHeight = FreeImage_GetHeight(picture);
    FIBITMAP* across = FreeImage_Allocate(width, sourceHeight, bpp);
    FIBITMAP* out = across ? FreeImage_Allocate(width, height, bpp) : nullptr;
    if (!out) {
        if (across) FreeImage_Unload(across);
        return nullptr;
    }
    const Taps taps = MakeTaps(FreeImage_GetWidth(picture), width);
    if (bytes == 3) ResizeAcross<3>(picture, taps, across);
    else ResizeAcross<4>(picture, taps, across);
    ResizeDown(across, MakeTaps(sourceHeight, height), bytes, out);
    FreeImage_Unload(across);
    FreeImage_CloneMetadata(out, picture);
    return out;
}
