#include "model/page_geometry.h"

#include <algorithm>
#include <cstdint>

namespace {

unsigned LessOrZero(unsigned a, unsigned b) { return a > b ? a - b : 0; }

// a x b / c truncated, exactly: no rounding of large products in floating point.
unsigned Scale(unsigned a, unsigned b, unsigned c)
{
    return c ? (unsigned)std::min<uint64_t>((uint64_t)a * b / c, UINT32_MAX) : 0;
}

}  // namespace

PaperTurn ChoosePaperTurn(int cellsPerPage, unsigned pictureWidth, unsigned pictureHeight,
                          unsigned pageWidth, unsigned pageHeight)
{
    bool wide = pictureWidth > pictureHeight, tall = pictureWidth < pictureHeight;
    bool portrait = pageWidth < pageHeight, landscape = pageWidth > pageHeight;
    if (cellsPerPage == 2) {
        if (wide && landscape) return PaperNameAlone;
        if (tall && portrait) return PaperNameLandscape;
    } else {
        if (wide && portrait) return PaperNameLandscape;
        if (tall && landscape) return PaperNameAlone;
    }
    return PaperUnchanged;
}

PageSize TurnPage(PaperTurn turn, unsigned pageWidth, unsigned pageHeight)
{
    const unsigned shorter = std::min(pageWidth, pageHeight);
    const unsigned longer = std::max(pageWidth, pageHeight);
    switch (turn) {
    case PaperUnchanged: break;
    case PaperNameAlone: return PageSize{shorter, longer};
    case PaperNameLandscape: return PageSize{longer, shorter};
    }
    return PageSize{pageWidth, pageHeight};
}

PageCells ComputePageCells(int cellsPerPage, unsigned pageWidth, unsigned pageHeight,
                           unsigned margin, unsigned gap)
{
    PageCells page = {};
    const unsigned innerWidth = LessOrZero(pageWidth, 2 * margin);
    const unsigned innerHeight = LessOrZero(pageHeight, 2 * margin);
    const unsigned top = LessOrZero(pageHeight, margin);
    if (cellsPerPage == 4) {
        page.count = 4;
        page.cellWidth = LessOrZero(innerWidth, gap) / 2;
        page.cellHeight = LessOrZero(innerHeight, gap) / 2;
        const unsigned right = LessOrZero(LessOrZero(pageWidth, margin), page.cellWidth);
        const unsigned lower = margin + page.cellHeight;
        page.cells[0] = {margin, top};
        page.cells[1] = {right, top};
        page.cells[2] = {margin, lower};
        page.cells[3] = {right, lower};
    } else if (cellsPerPage == 2 && pageWidth < pageHeight) {
        page.count = 2;
        page.cellWidth = innerWidth;
        page.cellHeight = LessOrZero(innerHeight, gap) / 2;
        page.cells[0] = {margin, top};
        page.cells[1] = {margin, margin + page.cellHeight};
    } else if (cellsPerPage == 2) {
        page.count = 2;
        page.cellWidth = LessOrZero(innerWidth, gap) / 2;
        page.cellHeight = innerHeight;
        page.cells[0] = {margin, top};
        page.cells[1] = {LessOrZero(LessOrZero(pageWidth, margin), page.cellWidth), top};
    } else {
        page.count = 1;
        page.cellWidth = innerWidth;
        page.cellHeight = innerHeight;
        page.cells[0] = {margin, top};
    }
    return page;
}

DrawnSize FitPicture(unsigned w, unsigned h, unsigned cellWidth, unsigned cellHeight)
{
    DrawnSize d;
    if (w > h) {
        d = {cellWidth, Scale(h, cellWidth, w)};
        if (d.height > cellHeight) d = {Scale(w, cellHeight, h), cellHeight};
    } else if (w < h) {
        d = {Scale(w, cellHeight, h), cellHeight};
        if (d.width > cellWidth) d = {cellWidth, Scale(h, cellWidth, w)};
    } else {
        d.width = d.height = std::min(cellWidth, cellHeight);
    }
    d.width = std::max(d.width, 1u);
    d.height = std::max(d.height, 1u);
    return d;
}

bool ResampledSize(unsigned w, unsigned h, DrawnSize drawn, double quality, DrawnSize* out)
{
    if (!(quality * 10 < 10) || w <= drawn.width || h <= drawn.height) return false;
    const double q = std::max(quality, 0.0);
    out->width = drawn.width + (unsigned)((w - drawn.width) * q);
    out->height = drawn.height + (unsigned)((h - drawn.height) * q);
    return true;
}

PageCell PicturePosition(const PageCells& page, int cellIndex, DrawnSize drawn)
{
    const PageCell& cell = page.cells[cellIndex];
    PageCell at = cell;
    if (drawn.width < page.cellWidth) at.left = cell.left + (page.cellWidth - drawn.width) / 2;
    if (drawn.height < page.cellHeight) at.top = cell.top - (page.cellHeight - drawn.height) / 2;
    return at;
}
