// A decoded picture encoded as the JPEG that a PDF cell draws.
#pragma once
#include <cstdint>
#include <vector>

#include "picture/bitmap_owner.h"

// Converts the picture to 24 bits when needed and encodes it as JPEG with FreeImage's
// default settings (quality 75, 4:2:0). The picture is released here in every case.
// False (and *jpeg empty) when no JPEG could be made.
bool EncodePictureAsJpeg(BitmapOwner picture, std::vector<uint8_t>* jpeg);
