// Encoded test pictures made at run time (native code, FreeImage), for the UI tests to
// write into files with Win32 calls.
#pragma once
#include <cstdint>
#include <vector>

// A width x height picture filled with (r, g, b) and a distinct mark: a black square
// of a quarter of the shorter side in the top-left corner. format: "png", "jpg", "bmp"
// or "gif". Empty on failure.
std::vector<uint8_t> MakeTestImageBytes(int width, int height, const char* format,
                                        uint8_t r = 40, uint8_t g = 120, uint8_t b = 200);
