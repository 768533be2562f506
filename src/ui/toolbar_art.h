// The toolbar's pictures at any size, from the strips in resources/ (README there):
// square pictures side by side, in a bitmap resource. Portable: the pixels only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The background grey that the 8-bit strips are flattened on.
const uint8_t StripGrey = 192;

// Reads a strip's bitmap resource (a BITMAPINFOHEADER, the palette of an 8-bit one, rows)
// of `count` pictures and makes them `side` pixels square: 32-bit pixels (blue, green,
// red, alpha), rows top-down, count x side wide. A 32-bit strip keeps its straight alpha.
// An 8-bit strip is cut out of its grey, scaled, and flattened on the grey again as it
// was drawn: pixels less than 40 % covered are the grey exactly, the others opaque.
// False for a bitmap of another kind or size.
bool ToolbarStripPixels(const uint8_t* resource, size_t size, int count, int side,
                        std::vector<uint8_t>* out);
