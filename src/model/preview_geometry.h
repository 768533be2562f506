// Where pages, cells and pictures go in the preview's page pictures. Portable and pure,
// so the numbers are tested natively.
#pragma once
#include "model/types.h"

// Sizes in pixels of a page picture for a paper of L x S points (long and short side).
// The paper less three 36-point strips along its long side is drawn 192 pixels long:
// two 96-pixel cells.
struct PreviewGeometry {
    int PL;  // long side of the page
    int PS;  // short side of the page
    int M;   // margin along the long side
    int GL;  // gap between cells along the long side
    int A;   // short side of a 96-pixel-long cell with the paper's proportions
    int G;   // margin and gap along the short side
    int E;   // side of the square page picture
};

// widthPoints and heightPoints as the PDF layer reports them; truncated toward zero.
PreviewGeometry ComputePreviewGeometry(double widthPoints, double heightPoints);

// The page's current orientation with its margins and gaps; carried from page to page.
struct PreviewPage {
    int W, H;    // page width and height
    int mx, my;  // margins left/right and top/bottom
    int gx, gy;  // gaps between columns and between rows
};

PreviewPage LandscapePreviewPage(const PreviewGeometry& g);
void TurnPreviewPage(PreviewPage* page);

// Whether a new page turns for its first picture (pw x ph): on one- and four-up pages the
// page follows the picture, on two-up pages it takes the other orientation; a square
// picture never turns it.
bool PreviewPageTurns(LayoutMode layout, int pw, int ph, const PreviewPage& page);

struct PreviewCells {
    int ox, oy;      // the page's top-left corner in the E x E picture
    int cw, ch;      // size of every cell
    int x[4], y[4];  // top-left corner of each cell, in fill order
    int count;       // 1, 2 or 4
};

PreviewCells LayOutPreviewCells(LayoutMode layout, int E, const PreviewPage& page);

// Fits pw x ph into cw x ch keeping its proportions (rounded to the nearest pixel).
void FitPreviewPicture(int pw, int ph, int cw, int ch, int* dw, int* dh);
