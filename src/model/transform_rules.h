// How turning or mirroring a thumbnail changes its entry. Portable: no windows.h here.
#pragma once

#include "model/collection.h"

// The four rotate/flip commands; the values are the modes of the transform command.
enum TransformMode {
    FlipLeftRight = 1,
    FlipTopBottom = 2,
    RotateClockwise = 3,
    RotateCounterClockwise = 4,
};

// Records the command in the entry after its thumbnail has been transformed: a flip
// toggles its flag (the other flag when the picture is a quarter turn round, since flips
// describe the unturned picture); a turn changes rotation by -90 (clockwise) or +90,
// kept in 0..270, and exchanges pictureRect's left with top and right with bottom.
void ApplyTransformToEntry(ImageEntry* entry, TransformMode mode);
