#include "model/preview_geometry.h"

#include <algorithm>
#include <cmath>

#include "model/types.h"

namespace {

int Pixels(double points, double pixelsPerPoint) { return (int)std::lround(points * pixelsPerPoint); }

// The shadow's offset beside 96-pixel thumbnails: the canvas is this much wider than the
// page's long side.
const int ShadowPixels = 4;

}  // namespace

PreviewPages::PreviewPages(unsigned paperWidth, unsigned paperHeight, unsigned margin,
                           unsigned gap, int cellsPerPage, int thumbnailSide)
    : margin_(margin), gap_(gap), cellsPerPage_(cellsPerPage),
      page_{std::max(paperWidth, paperHeight), std::min(paperWidth, paperHeight)}
{
    const double longSide = page_.width;
    const double twoCells = longSide - 2.0 * margin - gap;
    pixelsPerPoint_ = 2.0 * thumbnailSide / (twoCells > 0 ? twoCells : longSide);
    shadow_ = std::max(1, (ShadowPixels * thumbnailSide + ThumbnailSize / 2) / ThumbnailSize);
    canvasSide_ = Pixels(longSide, pixelsPerPoint_) + shadow_;
}

CanvasRect PreviewPages::OnCanvas(double left, double top, double width, double height) const
{
    // Each edge rounded on its own, so that neighbouring rectangles keep their gaps.
    const double fromTop = (double)page_.height - top;
    const int x = Pixels(left, pixelsPerPoint_), y = Pixels(fromTop, pixelsPerPoint_);
    return CanvasRect{sheet_.left + x, sheet_.top + y,
                      Pixels(left + width, pixelsPerPoint_) - x,
                      Pixels(fromTop + height, pixelsPerPoint_) - y};
}

bool PreviewPages::Place(unsigned width, unsigned height)
{
    const bool startsPage = cellIndex_ == 0;
    if (startsPage) {
        page_ = TurnPage(ChoosePaperTurn(cellsPerPage_, width, height, page_.width, page_.height),
                         page_.width, page_.height);
        cells_ = ComputePageCells(cellsPerPage_, page_.width, page_.height, margin_, gap_);
        sheet_ = CanvasRect{1, 1, Pixels(page_.width, pixelsPerPoint_),
                            Pixels(page_.height, pixelsPerPoint_)};
        if (sheet_.width < sheet_.height) sheet_.left += (canvasSide_ - sheet_.width) / 2;
        if (sheet_.width > sheet_.height) sheet_.top += (canvasSide_ - sheet_.height) / 2;
    }
    const PageCell& cell = cells_.cells[cellIndex_];
    cell_ = OnCanvas(cell.left, cell.top, cells_.cellWidth, cells_.cellHeight);
    const DrawnSize drawn = FitPicture(width, height, cells_.cellWidth, cells_.cellHeight);
    const PageCell at = PicturePosition(cells_, cellIndex_, drawn);
    picture_ = OnCanvas(at.left, at.top, drawn.width, drawn.height);
    cellIndex_ = (cellIndex_ + 1) % std::max(1, cellsPerPage_);
    return startsPage;
}
