#include "pdf/page_picture.h"

#include <FreeImage.h>

#include <algorithm>
#include <utility>

#include "import/exif_orientation.h"
#include "import/image_load.h"
#include "pdf/bicubic_resize.h"
#include "pdf/pdf_page_geometry.h"
#include "pdf/pdf_picture.h"

PlannedPage PlanPage(const PagePlan& plan, unsigned width, unsigned height)
{
    if (!plan.startsPage)
        return PlannedPage{plan.pageWidth, plan.pageHeight, plan.cellWidth, plan.cellHeight};
    // Every page has the same paper: a turn only exchanges its sides.
    unsigned W = plan.pageWidth, H = plan.pageHeight;
    const unsigned shorter = std::min(W, H), longer = std::max(W, H);
    switch (ChoosePaperTurn(plan.cellsPerPage, width, height, W, H)) {
    case PaperUnchanged: break;
    case PaperNameAlone: W = shorter, H = longer; break;
    case PaperNameLandscape: W = longer, H = shorter; break;
    }
    PageCells cells = ComputePageCells(plan.cellsPerPage, W, H, plan.margin, plan.gap);
    return PlannedPage{W, H, cells.cellWidth, cells.cellHeight};
}

bool MakePagePicture(const uint8_t* data, size_t size, const char* fileName,
                     const PagePlan& plan, PagePicture* out)
{
    out->jpeg.clear();
    try {
        // The turned size from the header first: it decides the cell, and the cell how
        // few pixels the decode may give.
        PictureHeader header;
        if (!ReadPictureHeader(data, size, fileName, &header)) return false;
        const bool quarterTurn = (plan.rotation / 90) % 2 != 0;
        const bool swap = OrientationSwapsSides(header.orientation) != quarterTurn;
        unsigned w = header.width, h = header.height;
        if (swap) std::swap(w, h);
        const PlannedPage page = PlanPage(plan, w, h);
        const DrawnSize drawn = FitPicture(w, h, page.cellWidth, page.cellHeight);
        DrawnSize resampled = {w, h};
        const bool resample = ResampledSize(w, h, drawn, plan.quality, &resampled);

        // A JPEG is decoded reduced, to no fewer pixels than the resample needs in either
        // direction (counted in its stored orientation).
        unsigned needWidth = resample ? resampled.width : 0;
        unsigned needHeight = resample ? resampled.height : 0;
        if (swap) std::swap(needWidth, needHeight);
        FIBITMAP* picture =
            DecodeImageFromMemory(data, size, fileName, &header, needWidth, needHeight);
        if (!picture) return false;
        picture = OrientForEntry(ApplyExifOrientation(picture, header.orientation), plan.flips,
                                 plan.rotation);
        if (resample || FreeImage_GetWidth(picture) != w || FreeImage_GetHeight(picture) != h) {
            // (a reduced decode always resamples; the full size never needs it)
            FIBITMAP* smaller = ResizeBicubic(picture, resampled.width, resampled.height);
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
