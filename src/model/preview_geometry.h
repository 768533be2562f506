// Where the preview draws its page pictures: the PDF's own pages, turns, cells and fitted
// pictures (page_geometry.h) scaled onto a small square canvas, so that the preview and
// the PDF cannot disagree. Pure, so the numbers are tested natively.
#pragma once
#include "model/page_geometry.h"

// Pixels on the canvas, y down from its top edge.
struct CanvasRect {
    int left, top, width, height;
};

// The preview's pages, laid out picture by picture as the PDF run lays out its own.
class PreviewPages {
public:
    // Paper of paperWidth x paperHeight whole points, with the PDF's margin and gap and
    // cellsPerPage pictures a page, drawn from thumbnails of thumbnailSide. The document
    // starts out landscape, as the PDF does.
    PreviewPages(unsigned paperWidth, unsigned paperHeight, unsigned margin, unsigned gap,
                 int cellsPerPage, int thumbnailSide = ThumbnailSize);

    // The side of the square canvas. The scale makes a four-up page's two cells along its
    // long side thumbnail-sized; the canvas holds the page at either turn and its shadow.
    int CanvasSide() const { return canvasSide_; }
    // How far the page's shadow lies right of and below it: 4 pixels beside 96-pixel
    // thumbnails.
    int ShadowOffset() const { return shadow_; }
    // Places the next picture, of the proportions of width x height (its thumbnail): true
    // when it starts a new page, turned for it as the PDF's page is.
    bool Place(unsigned width, unsigned height);
    // The current page, centred across its long side; the last picture's cell, and the
    // picture fitted and centred in it.
    const CanvasRect& Sheet() const { return sheet_; }
    const CanvasRect& Cell() const { return cell_; }
    const CanvasRect& Picture() const { return picture_; }

private:
    // A rectangle of the current page in points (left and top edge, y up from the
    // page's bottom) on the canvas.
    CanvasRect OnCanvas(double left, double top, double width, double height) const;

    const unsigned margin_, gap_;
    const int cellsPerPage_;
    double pixelsPerPoint_;
    int shadow_, canvasSide_;
    PageSize page_;
    PageCells cells_ = {};
    int cellIndex_ = 0;
    CanvasRect sheet_ = {}, cell_ = {}, picture_ = {};
};
