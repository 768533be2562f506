#include "picture/page_picture.h"

#include <FreeImage.h>

#include <utility>

#include "picture/exif_orientation.h"
#include "picture/image_load.h"
#include "picture/bicubic_resize.h"
#include "model/page_geometry.h"
#include "picture/jpeg_encode.h"

PlannedPage PlanPage(const PagePlan& plan, unsigned width, unsigned height)
{
    if (!plan.startsPage)
        return PlannedPage{plan.pageWidth, plan.pageHeight, plan.cellWidth, plan.cellHeight};
    const PageSize page =
        TurnPage(ChoosePaperTurn(plan.cellsPerPage, width, height, plan.pageWidth, plan.pageHeight),
                 plan.pageWidth, plan.pageHeight);
    const PageCells cells =
        ComputePageCells(plan.cellsPerPage, page.width, page.height, plan.margin, plan.gap);
    return PlannedPage{page.width, page.height, cells.cellWidth, cells.cellHeight};
}

namespace {

// Where a picture's pixels go: its turned size, and the size it is resampled to, turned
// and in its stored orientation.
struct PixelPlan {
    unsigned width, height;
    bool resample;
    DrawnSize resampled;
    unsigned storedWidth, storedHeight;
};

PixelPlan PlanPixels(const PagePlan& plan, const PictureHeader& header)
{
    const bool quarterTurn = (plan.rotation / 90) % 2 != 0;
    const bool swap = OrientationSwapsSides(header.orientation) != quarterTurn;
    PixelPlan p;
    p.width = swap ? header.height : header.width;
    p.height = swap ? header.width : header.height;
    const PlannedPage page = PlanPage(plan, p.width, p.height);
    const DrawnSize drawn = FitPicture(p.width, p.height, page.cellWidth, page.cellHeight);
    p.resampled = {p.width, p.height};
    p.resample = ResampledSize(p.width, p.height, drawn, plan.quality, &p.resampled);
    p.storedWidth = swap ? p.resampled.height : p.resampled.width;
    p.storedHeight = swap ? p.resampled.width : p.resampled.height;
    return p;
}

}  // namespace

BitmapOwner MakePagePixels(const uint8_t* data, size_t size, const char* fileName,
                           const PagePlan& plan, unsigned* turnedWidth, unsigned* turnedHeight)
{
    try {
        // The turned size from the header first: it decides the cell, and the cell how
        // few pixels the decode may give.
        PictureFile file;
        if (!file.ReadHeader(data, size, fileName)) return nullptr;
        const PixelPlan wanted = PlanPixels(plan, file.Header());

        // Resampled in its stored orientation and turned after, so that a turn copies the
        // smaller picture (the filter is the same both ways along each side). A JPEG is
        // decoded reduced, to no fewer pixels than the resample needs in either direction.
        BitmapOwner picture = file.DecodeAsStored(wanted.resample ? wanted.storedWidth : 0,
                                                  wanted.resample ? wanted.storedHeight : 0);
        if (!picture) return nullptr;
        // Planned again from the decode's own header, which may differ: a camera raw
        // file comes turned already.
        const PixelPlan p = PlanPixels(plan, file.Header());
        // A reduced decode is resampled even at the size wanted: the filter's softening
        // keeps it like the full-size picture resampled.
        if (p.resample || FreeImage_GetWidth(picture.get()) != p.storedWidth ||
            FreeImage_GetHeight(picture.get()) != p.storedHeight) {
            picture = ResizeBicubic(picture.get(), p.storedWidth, p.storedHeight);
            if (!picture) return nullptr;
        }
        picture = OrientForEntry(ApplyExifOrientation(std::move(picture), file.Header().orientation),
                                 plan.flips, plan.rotation);
        if (FreeImage_GetWidth(picture.get()) != p.resampled.width ||
            FreeImage_GetHeight(picture.get()) != p.resampled.height)
            return nullptr;  // a turn failed for want of memory
        *turnedWidth = p.width;
        *turnedHeight = p.height;
        return picture;
    } catch (...) {
        return nullptr;  // out of memory in the scaling: not readable here
    }
}

bool MakePagePicture(const uint8_t* data, size_t size, const char* fileName,
                     const PagePlan& plan, PagePicture* out)
{
    out->jpeg.clear();
    BitmapOwner picture = MakePagePixels(data, size, fileName, plan, &out->width, &out->height);
    try {
        return picture && EncodePictureAsJpeg(std::move(picture), &out->jpeg);
    } catch (...) {
        return false;
    }
}
