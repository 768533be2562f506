#include "model/types.h"

#include <cstdio>

int ImagesPerPage(LayoutMode mode)
{
    if (mode == LayoutTwoPerPage) return 2;
    if (mode == LayoutFourPerPage) return 4;
    return 1;
}

int PageCount(int n, LayoutMode mode)
{
    if (n <= 0) return 0;
    int per = ImagesPerPage(mode);
    return (n + per - 1) / per;
}

char* FormatCount(long long n, char* out, size_t outSize)
{
    if (!out || outSize == 0) return out;
    // Counts are never negative in the program; show a negative one as 000 rather than
    // a confusing "0-5".
    if (n < 0) n = 0;
    snprintf(out, outSize, "%03lld", n);
    return out;
}
