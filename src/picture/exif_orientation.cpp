#include "picture/exif_orientation.h"

#include <FreeImage.h>

bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

BitmapOwner ApplyExifOrientation(BitmapOwner picture, int orientation)
{
    // Each value says where the stored rows and columns belong; the fix is its inverse.
    // Angles are FreeImage's: positive turns counter-clockwise.
    double turn = 0;
    bool mirrorLeftRight = false, mirrorTopBottom = false;
    switch (orientation) {
    case 2: mirrorLeftRight = true; break;
    case 3: turn = 180; break;
    case 4: mirrorTopBottom = true; break;
    case 5: turn = -90; mirrorLeftRight = true; break;  // transpose
    case 6: turn = -90; break;                          // stored turned a quarter left
    case 7: turn = -90; mirrorTopBottom = true; break;  // transverse
    case 8: turn = 90; break;
    default: return picture;
    }
    if (turn != 0) {
        FIBITMAP* turned = FreeImage_Rotate(picture.get(), turn, nullptr);
        if (!turned) return picture;
        picture.reset(turned);
    }
    if (mirrorLeftRight) FreeImage_FlipHorizontal(picture.get());
    if (mirrorTopBottom) FreeImage_FlipVertical(picture.get());
    return picture;
}
