// Scaling small pictures (toolbar art, thumbnails) by area averaging. Portable.
#pragma once
#include <cstdint>

// Scales a w x h picture of 32-bit pixels (blue, green, red, alpha; straight alpha, not
// premultiplied) to toWidth x toHeight: each new pixel is the mean of the part of the
// old picture it covers, its colour weighted by alpha so that see-through pixels lend
// none of theirs. A whole-number enlargement repeats pixels exactly; a reduction keeps
// every old pixel's share. Rows may run either way: `to` keeps the order of `from`.
void ScaleByArea(const uint8_t* from, int width, int height, uint8_t* to, int toWidth,
                 int toHeight);
