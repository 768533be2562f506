#include "pdf/page_picture.h"

#include <FreeImage.h>

#include <algorithm>

#include "import/image_load.h"
#include "pdf/pdf_page_geometry.h"
#include "pdf/pdf_picture.h"

void PlannedCell(const PagePlan& plan, unsigned width, unsigned height, unsigned* cellWidth,
                 unsigned* cellHeight)
{
    if (!plan.startsPage) {
        *cellWidth = plan.cellWidth;
        *cellHeight = plan.cellHeight;
        return;
    }
    // Every page has the same paper: a turn only exchanges its sides.
    unsigned W = plan.pageWidth, H = plan.pageHeight;
    const unsigned shorter = std::min(W, H), longer = std::max(W, H);
    switch (ChoosePaperTurn(plan.cellsPerPage, width, height, W, H)) {
    case PaperUnchanged: break;
    case PaperNameAlone: W = shorter, H = longer; break;
    case PaperNameLandscape: W = longer, H = shorter; break;
    }
    PageCells cells = ComputePageCells(plan.cellsPerPage, W, H, plan.margin, plan.gap);
    *cellWidth = cells.cellWidth;
    *cellHeight = cells.cellHeight;
}

bool MakePagePicture(const uint8_t* data, size_t size, const char* fileName,
                     const PagePlan& plan, PagePicture* out)
{
    out->jpeg.clear();
    try {
        FIBITMAP* picture = LoadImageFromMemory(data, size, fileName);
        if (!picture) return false;
        picture = OrientForEntry(picture, plan.flips, plan.rotation);
        const unsigned w = FreeImage_GetWidth(picture), h = FreeImage_GetHeight(picture);
        unsigned cellWidth, cellHeight;
        PlannedCell(plan, w, h, &cellWidth, &cellHeight);
        const DrawnSize drawn = FitPicture(w, h, cellWidth, cellHeight);
        DrawnSize resampled;
        if (ResampledSize(w, h, drawn, plan.quality, &resampled)) {
            FIBITMAP* smaller = FreeImage_Rescale(picture, resampled.width, resampled.height,
                                                  FILTER_BICUBIC);
            FreeImage_Unload(picture);
            if (!smaller) return false;
            picture = smaller;
        }
        out->width = w;
        out->height = h;
        return EncodePictureAsJpeg(picture, &out->jpeg);
    } catch (...) {
        return false;  // out of memory in a reader or the scaling: not readable here
    }
}
