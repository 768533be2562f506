#include "picture/picture_turn.h"

#include "model/collection.h"

namespace {

// A turn as a matrix taking a pixel's place (x to the right, y down, from the centre) to
// its new place.
struct Matrix {
    int a, b, c, d;  // x' = a x + b y, y' = c x + d y
};

Matrix Times(const Matrix& m, const Matrix& n)
{
    return Matrix{m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d, m.c * n.a + m.d * n.c,
                  m.c * n.b + m.d * n.d};
}

const Matrix Same = {1, 0, 0, 1}, MirrorAcross = {-1, 0, 0, 1}, MirrorDown = {1, 0, 0, -1},
             Transpose = {0, 1, 1, 0}, QuarterLeft = {0, 1, -1, 0}, QuarterRight = {0, -1, 1, 0},
             HalfTurn = {-1, 0, 0, -1};

// As ApplyExifOrientation turns and mirrors the stored picture upright.
Matrix Orientation(int orientation)
{
    switch (orientation) {
    case 2: return MirrorAcross;
    case 3: return HalfTurn;
    case 4: return MirrorDown;
    case 5: return Transpose;
    case 6: return QuarterRight;
    case 7: return Times(MirrorDown, QuarterRight);  // transverse
    case 8: return QuarterLeft;
    default: return Same;
    }
}

}  // namespace

PictureTurn TurnOf(int orientation, int flips, int rotation)
{
    Matrix m = Orientation(orientation);
    if (flips & FlipLeftRightFlag) m = Times(MirrorAcross, m);
    if (flips & FlipTopBottomFlag) m = Times(MirrorDown, m);
    for (int quarter = ((rotation % 360 + 360) % 360) / 90; quarter > 0; quarter--)
        m = Times(QuarterLeft, m);  // rotations turn counter-clockwise
    // m = mirrors x transpose: diagonal without the transpose, the other diagonal with it.
    PictureTurn turn;
    turn.transpose = m.a == 0;
    turn.mirrorAcross = (turn.transpose ? m.b : m.a) < 0;
    turn.mirrorDown = (turn.transpose ? m.c : m.d) < 0;
    return turn;
}
