#include "ui/dpi.h"

#include <algorithm>

#include "model/types.h"

int ScaleToDpi(int pixels, int dpi)
{
    const long long scaled = (long long)pixels * dpi;
    return (int)((scaled + (scaled < 0 ? -BaseDpi : BaseDpi) / 2) / BaseDpi);
}

int ThumbnailSideAt(int dpi)
{
    const int side = ScaleToDpi(ThumbnailSize, dpi);
    return std::min<int>(MaxThumbnailSide, std::max<int>(MinThumbnailSide, side));
}

ToolbarArt ToolbarArtAt(int dpi)
{
    const int side = std::max(16, ScaleToDpi(24, dpi));
    for (int strip : {24, 36, 48})
        if (strip >= side) return ToolbarArt{strip, side};
    return ToolbarArt{48, std::min(side, 4 * 48)};
}
