#include "picture/page_picture.h"

#include <FreeImage.h>

#include <utility>

#include "picture/exif_orientation.h"
#include "picture/image_load.h"
#include "picture/bicubic_resize.h"
#include "model/page_geometry.h"
#include "picture/jpeg_encode.h"
#include "picture/jpeg_segments.h"
#include "picture/picture_turn.h"

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

namespace {

// The pixels for the page from a file whose header has been read.
BitmapOwner PixelsFor(PictureFile& file, const PagePlan& plan, unsigned* turnedWidth,
                      unsigned* turnedHeight)
{
    // The turned size from the header first: it decides the cell, and the cell how few
    // pixels the decode may give.
    const PixelPlan wanted = PlanPixels(plan, file.Header());

    // Resampled in its stored orientation and turned after, so that a turn copies the
    // smaller picture (the filter is the same both ways along each side). A JPEG is
    // decoded reduced, to no fewer pixels than the resample needs in either direction.
    BitmapOwner picture = file.DecodeAsStored(wanted.resample ? wanted.storedWidth : 0,
                                              wanted.resample ? wanted.storedHeight : 0);
    if (!picture) return nullptr;
    // Planned again from the decode's own header, which may differ: a camera raw file
    // comes turned already.
    const PixelPlan p = PlanPixels(plan, file.Header());
    // A reduced decode is resampled even at the size wanted: the filter's softening keeps
    // it like the full-size picture resampled.
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
}

// The file's own JPEG data as it is (as pieces of the file when leaveInFile), with the
// turn the page is to give it. False when it cannot be kept.
bool OwnJpeg(const uint8_t* data, size_t size, int orientation, const PagePlan& plan,
             bool leaveInFile, PagePicture* out)
{
    std::vector<FilePiece> pieces;
    JpegFrame frame;
    if (!IsJpeg(data, size) || !KeepJpegData(data, size, &pieces, &frame)) return false;
    out->turn = TurnOf(orientation, plan.flips, plan.rotation);
    if (leaveInFile)
        out->filePieces.swap(pieces);
    else
        out->jpeg = JoinPieces(data, pieces);
    return true;
}

// The size of a JPEG as it was made or left in its file.
uint64_t JpegSize(const PagePicture& picture)
{
    uint64_t size = picture.jpeg.size();
    for (const FilePiece& piece : picture.filePieces) size += piece.length;
    return size;
}

}  // namespace

BitmapOwner MakePagePixels(const uint8_t* data, size_t size, const char* fileName,
                           const PagePlan& plan, unsigned* turnedWidth, unsigned* turnedHeight)
{
    try {
        PictureFile file;
        if (!file.ReadHeader(data, size, fileName)) return nullptr;
        return PixelsFor(file, plan, turnedWidth, turnedHeight);
    } catch (...) {
        return nullptr;  // out of memory in the scaling: not readable here
    }
}

bool MakePagePicture(const uint8_t* data, size_t size, const char* fileName,
                     const PagePlan& plan, PagePicture* out, bool leaveInFile)
{
    *out = PagePicture();
    try {
        PictureFile file;
        if (!file.ReadHeader(data, size, fileName)) return false;
        // A JPEG that keeps its own size goes in as it is (the page turns it): at the
        // highest quality always, elsewhere when not larger than the picture encoded
        // (which is turned already).
        const PixelPlan wanted = PlanPixels(plan, file.Header());
        const bool highest = !(plan.quality * 10 < 10);
        if (!wanted.resample &&
            OwnJpeg(data, size, file.Header().orientation, plan, leaveInFile, out)) {
            out->width = wanted.width;
            out->height = wanted.height;
            std::vector<uint8_t> encoded;
            unsigned w, h;
            if (!highest && EncodePictureAsJpeg(PixelsFor(file, plan, &w, &h), &encoded) &&
                encoded.size() < JpegSize(*out)) {
                out->jpeg.swap(encoded);
                out->filePieces.clear();
                out->turn = PictureTurn();
            }
            return true;
        }
        BitmapOwner picture = PixelsFor(file, plan, &out->width, &out->height);
        return picture && EncodePictureAsJpeg(std::move(picture), &out->jpeg);
    } catch (...) {
        return false;  // out of memory in the scaling or the encoding: not readable here
    }
}
