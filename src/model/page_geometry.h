// Where pictures go on the PDF's pages: page orientation, cells, fitting and the pixel
// size of the resampled picture. Pure functions; lengths in points, y upwards from the
// page's bottom edge.
#pragma once
#include "model/types.h"

// What the first picture of a new page does to the paper text.
enum PaperTurn {
    PaperUnchanged,     // keep the paper text of the page before
    PaperNameAlone,     // pageSizeName: portrait
    PaperNameLandscape  // pageSizeName followed by " Landscape"
};

// How the first picture of a page turns it. On one-up and four-up pages a picture keeps
// its own orientation; on two-up pages the page takes the other one, so that each of its
// two cells has the picture's. A square picture or a square page changes nothing.
// pictureWidth x pictureHeight: the picture's pixels (only their proportions count);
// pageWidth x pageHeight: the page so far.
PaperTurn ChoosePaperTurn(int cellsPerPage, unsigned pictureWidth, unsigned pictureHeight,
                          unsigned pageWidth, unsigned pageHeight);

struct PageSize {
    unsigned width, height;
};

// The page after the turn: every page has the same paper, a turn only exchanges its sides.
PageSize TurnPage(PaperTurn turn, unsigned pageWidth, unsigned pageHeight);

struct PageCell {
    unsigned left, top;  // top is the cell's upper edge
};

struct PageCells {
    unsigned cellWidth, cellHeight;  // shared by every cell of the page
    int count;                       // cells per page: 1, 2 or 4
    PageCell cells[4];               // in fill order
};

// The cells of a pageWidth x pageHeight page with a margin along its edges and a gap
// between cells. Two-up cells are stacked on a portrait page and side by side otherwise;
// four-up cells fill rows from the top left. A margin or gap too large for the page gives
// empty cells rather than wrapping.
PageCells ComputePageCells(int cellsPerPage, unsigned pageWidth, unsigned pageHeight,
                           unsigned margin, unsigned gap);

struct DrawnSize {
    unsigned width, height;
};

// A w x h picture fitted into a cellWidth x cellHeight cell keeping its proportions,
// truncated to whole points. A picture so thin that a side truncates to 0 still gets 1.
DrawnSize FitPicture(unsigned w, unsigned h, unsigned cellWidth, unsigned cellHeight);

// The pixel size to resample a w x h picture drawn at `drawn` to, for quality q (0..1):
// one pixel per point at 0, the full size at 1. False when the picture keeps its size:
// the highest quality, or a picture not larger than drawn in both directions.
bool ResampledSize(unsigned w, unsigned h, DrawnSize drawn, double quality, DrawnSize* out);

// The picture's left and top edges: centred in the cell.
PageCell PicturePosition(const PageCells& page, int cellIndex, DrawnSize drawn);
