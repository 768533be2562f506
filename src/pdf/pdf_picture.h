// A decoded picture handed to the PDF document as a JPEG file made in memory. Portable.
#pragma once
#include <cstdint>
#include <vector>

struct FIBITMAP;

// Converts the picture to 24 bits when needed and encodes it as JPEG with FreeImage's
// default settings. The picture is released here in every case. False (and *jpeg empty)
// when no JPEG could be made.
bool EncodePictureAsJpeg(FIBITMAP* picture, std::vector<uint8_t>* jpeg);

// EncodePictureAsJpeg, then adds the JPEG to the open PDF document. Returns the
// library's image id (0 when the library refused the data), or -1 when no JPEG could be
// made.
int AddPictureAsJpeg(FIBITMAP* picture);
