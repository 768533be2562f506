// Sizes at a screen's DPI. The program's sizes in pixels are those of 96 DPI (100 %); at
// another DPI each is scaled by DPI / 96, so that everything keeps the size the user sees
// at 100 % and is drawn at the screen's own resolution. Portable: tested natively.
#pragma once

enum { BaseDpi = 96 };

// pixels (at 96 DPI) at dpi, rounded to the nearest pixel.
int ScaleToDpi(int pixels, int dpi);

// The side of the thumbnails made for a window at dpi: 96 at 100 %, scaled, kept within
// MinThumbnailSide and MaxThumbnailSide.
int ThumbnailSideAt(int dpi);

// The toolbar pictures at dpi: drawn at 24 pixels x the scale, from the strip of
// stripSide (24, 36 or 48) pixels: the one of that size, else the next larger one scaled
// down (shrinking keeps lines crisp where stretching would blur them), or the largest
// scaled up beyond 200 %.
struct ToolbarArt {
    int stripSide;
    int side;
};
ToolbarArt ToolbarArtAt(int dpi);
