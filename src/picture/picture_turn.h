// How a picture's stored pixels become its page picture, as one of the eight ways to lay
// a rectangle down: the camera's EXIF orientation, then an entry's flips and rotation.
#pragma once

// Rows become columns first (a transpose about the top-left to bottom-right diagonal),
// then the picture is mirrored across (left to right) and down (top to bottom).
struct PictureTurn {
    bool transpose = false, mirrorAcross = false, mirrorDown = false;
    bool None() const { return !transpose && !mirrorAcross && !mirrorDown; }
};

// What ApplyExifOrientation(orientation) and then OrientForEntry(flips, rotation) do.
PictureTurn TurnOf(int orientation, int flips, int rotation);
