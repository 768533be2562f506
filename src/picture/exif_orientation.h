// Camera orientation: phones and cameras store the sensor's rows as they came and record
// in the EXIF Orientation tag (1..8) how to turn them upright.
#pragma once
#include "picture/bitmap_owner.h"

// True for the values that exchange width and height (5 to 8).
bool OrientationSwapsSides(int orientation);

// Turns and mirrors the picture so that it shows upright. Returns the upright picture;
// the source is unloaded when a new bitmap replaces it. When a turn fails the picture
// comes back as it was.
BitmapOwner ApplyExifOrientation(BitmapOwner picture, int orientation);
