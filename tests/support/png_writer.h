// Saves test screenshots as PNG files. Native code: the Win32 tests hand it pixels.
#pragma once
#include <cstdint>

// bgra: width x height pixels, 4 bytes each, rows bottom-up (a 32-bit Windows DIB).
// unixPath is a Linux path. Returns true when the file was written.
bool SavePngBgra(const char* unixPath, const uint8_t* bgra, int width, int height);
