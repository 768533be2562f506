#include "model/transform_rules.h"

#include <utility>

void ApplyTransformToEntry(ImageEntry* entry, TransformMode mode)
{
    bool quarterTurned = entry->rotation == 90 || entry->rotation == 270;
    switch (mode) {
    case FlipLeftRight:
        entry->flips ^= quarterTurned ? FlipTopBottomFlag : FlipLeftRightFlag;
        break;
    case FlipTopBottom:
        entry->flips ^= quarterTurned ? FlipLeftRightFlag : FlipTopBottomFlag;
        break;
    case RotateClockwise:
    case RotateCounterClockwise: {
        int rotation = entry->rotation + (mode == RotateClockwise ? -90 : 90);
        if (rotation < 0) rotation = 270;
        if (rotation >= 360) rotation = 0;
        entry->rotation = rotation;
        std::swap(entry->pictureRect.left, entry->pictureRect.top);
        std::swap(entry->pictureRect.right, entry->pictureRect.bottom);
        break;
    }
    }
}
