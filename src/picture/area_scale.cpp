#include "picture/area_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The old pixels one new pixel covers along an axis, from `first` on, and the share of
// the new pixel each takes (the shares add up to 1).
struct Span {
    int first;
    std::vector<double> shares;
};

std::vector<Span> Spans(int from, int to)
{
    std::vector<Span> spans(to);
    const double step = (double)from / to;
    for (int i = 0; i < to; i++) {
        const double start = i * step, end = (i + 1) * step;
        Span& span = spans[i];
        span.first = (int)start;
        for (int p = span.first; p < from && p < end; p++)
            span.shares.push_back((std::min<double>(p + 1, end) - std::max<double>(p, start)) / step);
    }
    return spans;
}

}  // namespace

void ScaleByArea(const uint8_t* from, int width, int height, uint8_t* to, int toWidth,
                 int toHeight)
{
    const std::vector<Span> columns = Spans(width, toWidth), rows = Spans(height, toHeight);
    for (int y = 0; y < toHeight; y++) {
        const Span& row = rows[y];
        for (int x = 0; x < toWidth; x++) {
            const Span& column = columns[x];
            double sum[4] = {};  // colours weighted by alpha, then alpha
            for (size_t j = 0; j < row.shares.size(); j++) {
                const uint8_t* line = from + (size_t)(row.first + j) * width * 4;
                for (size_t i = 0; i < column.shares.size(); i++) {
                    const uint8_t* p = line + (size_t)(column.first + i) * 4;
                    const double alpha = row.shares[j] * column.shares[i] * p[3];
                    for (int c = 0; c < 3; c++) sum[c] += alpha * p[c];
                    sum[3] += alpha;
                }
            }
            uint8_t* q = to + ((size_t)y * toWidth + x) * 4;
            for (int c = 0; c < 3; c++) q[c] = sum[3] > 0 ? (uint8_t)std::lround(sum[c] / sum[3]) : 0;
            q[3] = (uint8_t)std::lround(std::min(255.0, sum[3]));
        }
    }
}
