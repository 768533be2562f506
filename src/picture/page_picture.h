// One picture of the PDF made ready for its page: decoded, turned as its entry says,
// resampled for the cell it will fill and encoded as JPEG, or, for a JPEG that keeps its
// size, the file's own JPEG data. A pure function of the file's bytes and a small plan,
// so that it can run in a decoder process of its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/bitmap_owner.h"
#include "picture/jpeg_segments.h"
#include "picture/picture_turn.h"

// What the PDF run knows about where the picture goes.
struct PagePlan {
    int flips = 0, rotation = 0;  // as in ImageEntry
    int cellsPerPage = 1;
    // The picture is the first of a new page: it decides the page's turn, and with it the
    // cells (from the page so far, margin and gap). Otherwise it takes cellWidth x
    // cellHeight, the cells of the current page.
    bool startsPage = true;
    unsigned pageWidth = 0, pageHeight = 0;
    unsigned margin = 0, gap = 0;
    unsigned cellWidth = 0, cellHeight = 0;
    double quality = 0;  // 0..1, the PDF settings' image quality
};

struct PagePicture {
    unsigned width = 0, height = 0;  // the turned picture before resampling
    std::vector<uint8_t> jpeg;       // a whole JPEG file
    // Or, where the maker was asked to leave a JPEG kept as it is in its file: these
    // pieces of the file joined (jpeg is then empty).
    std::vector<FilePiece> filePieces;
    // The program's side: a picture that waits in the spool already, spooledSize bytes at
    // spooledAt (see PdfImageSpool); jpeg then holds its head, up to its first scan.
    uint64_t spooledAt = 0, spooledSize = 0;
    // How the PDF lays the JPEG down when it draws it: a JPEG kept as it is in its file
    // is stored as the camera wrote it and turned by the page's drawing, which loses
    // nothing and costs nothing. width x height is the picture turned.
    PictureTurn turn;
};

// The page a width x height (turned) picture will be on, and the cell it is fitted into.
struct PlannedPage {
    unsigned pageWidth, pageHeight, cellWidth, cellHeight;
};
PlannedPage PlanPage(const PagePlan& plan, unsigned width, unsigned height);

// The picture's pixels for its page, before encoding: decoded, resampled, turned.
// *turnedWidth x *turnedHeight is the turned picture's full size. Null when the bytes are
// not a readable picture.
BitmapOwner MakePagePixels(const uint8_t* data, size_t size, const char* fileName,
                           const PagePlan& plan, unsigned* turnedWidth, unsigned* turnedHeight);

// A JPEG is reduced while decoding (to no fewer pixels than the resample needs), the
// resample is bicubic (ResizeBicubic). A JPEG whose page picture has its own size is kept
// as it is, less its metadata (KeepJpegData), its turn left to the page (turn): at the
// highest quality always, at the others when that is not larger than the picture
// encoded; with leaveInFile, as its pieces. False when the bytes are not a readable
// picture or no JPEG could be made.
bool MakePagePicture(const uint8_t* data, size_t size, const char* fileName,
                     const PagePlan& plan, PagePicture* out, bool leaveInFile = false);
