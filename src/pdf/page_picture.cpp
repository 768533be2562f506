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

FIBITMAP* MakePagePixels(const uint8_t* data, size_t size, const char* fileName,
                         const PagePlan& plan, unsigned* turnedWidth, unsigned* turnedHeight)
{
    try {
        // The turned size from the header first: it decides the cell, and the cell how
        // few pixels the decode may give.
        PictureHeader header;
        if (!ReadPictureHeader(data, size, fileName, &header)) return nullptr;
        const bool quarterTurn = (plan.rotation / 90) % 2 != 0;
        const bool swap = OrientationSwapsSides(header.orientation) != quarterTurn;
        unsigned w = header.width, h = header.height;
        if (swap) std::swap(w, h);
        const PlannedPage page = PlanPage(plan, w, h);
        const DrawnSize drawn = FitPicture(w, h, page.cellWidth, page.cellHeight);
        DrawnSize resampled = {w, h};
        const bool resample = ResampledSize(w, h, drawn, plan.quality, &resampled);

        // Resampled in its stored orientation and turned after, so that a turn copies the
        // smaller picture (the filter is the same both ways along each side). A JPEG is
        // decoded reduced, to no fewer pixels than the resample needs in either direction.
        unsigned storedWidth = resampled.width, storedHeight = resampled.height;
        if (swap) std::swap(storedWidth, storedHeight);
        FIBITMAP* picture = DecodeImageFromMemory(data, size, fileName, &header,
                                                  resample ? storedWidth : 0,
                                                  resample ? storedHeight : 0);
        if (!picture) return nullptr;
        // A reduced decode is resampled even at the size wanted: the filter's softening
        // keeps it like the full-size picture resampled.
        if (resample || FreeImage_GetWidth(picture) != storedWidth ||
            FreeImage_GetHeight(picture) != storedHeight) {
            FIBITMAP* smaller = ResizeBicubic(picture, storedWidth, storedHeight);
            FreeImage_Unload(picture);
            if (!smaller) return nullptr;
            picture = smaller;
        }
        picture = OrientForEntry(ApplyExifOrientation(picture, header.orientation), plan.flips,
                                 plan.rotation);
        if (FreeImage_GetWidth(picture) != resampled.width ||
            FreeImage_GetHeight(picture) != resampled.height) {
            FreeImage_Unload(picture);  // a turn failed for want of memory
            return nullptr;
        }
        *turnedWidth = w;
        *turnedHeight = h;
        return picture;
    } catch (...) {
        return nullptr;  // out of memory in a reader or the scaling: not readable here
    }
}

bool MakePagePicture(const uint8_t* data, size_t size, const char* fileName,
                     const PagePlan& plan, PagePicture* out)
{
    out->jpeg.clear();
    FIBITMAP* picture = MakePagePixels(data, size, fileName, plan, &out->width, &out->height);
    try {
        return picture && EncodePictureAsJpeg(picture, &out->jpeg);
    } catch (...) {
        return false;
    }
}
