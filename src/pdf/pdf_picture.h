// The pictures of the PDF: a decoded picture encoded as the JPEG drawn in a cell.
#pragma once
#include <cstdint>
#include <vector>

#include "import/bitmap_owner.h"

// Converts the picture to 24 bits when needed and encodes it as JPEG with FreeImage's
// default settings (quality 75, 4:2:0). The picture is released here in every case.
// False (and *jpeg empty) when no JPEG could be made.
bool EncodePictureAsJpeg(BitmapOwner picture, std::vector<uint8_t>* jpeg);

// EncodePictureAsJpeg, then adds the JPEG to the open PDF document. Returns the
// library's image id (0 when the library refused the data), or -1 when no JPEG could be
// made.
int AddPictureAsJpeg(BitmapOwner picture);
