// The pictures of the PDF: a file's bytes made into the JPEG drawn in a cell. Portable
// and pure, so that it can run wherever the bytes are.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pdf/pdf_page_geometry.h"

struct FIBITMAP;

// The size a picture is laid out by: shown upright (EXIF orientation applied), turned by
// the entry's rotation (degrees, multiples of 90), at full size. From the header where
// the format allows. False when the bytes are not a readable picture.
bool ReadPagePictureSize(const uint8_t* data, size_t size, const char* fileName, int rotation,
                         unsigned* width, unsigned* height);

struct PagePicture {
    unsigned width, height;     // as ReadPagePictureSize gives them
    DrawnSize drawn;            // the size drawn on the page, in points
    std::vector<uint8_t> jpeg;  // a JPEG file of the picture as drawn
};

// Decodes the bytes (a JPEG reduced while decoding, to no fewer pixels than the resample
// needs in either direction), applies the EXIF orientation and the entry's flips and
// rotation, fits the picture into the cell, resamples it (bicubic) to the size that the
// quality (0..1) gives and encodes it as JPEG. False when the bytes are not a readable
// picture or memory runs out.
bool MakePagePicture(const uint8_t* data, size_t size, const char* fileName, int flips,
                     int rotation, unsigned cellWidth, unsigned cellHeight, double quality,
                     PagePicture* out);

// MakePagePicture up to the JPEG: the resampled picture (the caller unloads it) with
// out's sizes set, or null.
FIBITMAP* MakePagePixels(const uint8_t* data, size_t size, const char* fileName, int flips,
                         int rotation, unsigned cellWidth, unsigned cellHeight, double quality,
                         PagePicture* out);

// Encodes the picture as a JPEG file with FreeImage's default settings (quality 75,
// 4:2:0), converted to 24 bits first when needed. The picture is released in every case.
bool EncodeJpegAndUnload(FIBITMAP* picture, std::vector<uint8_t>* out);

// Encodes the picture as EncodeJpegAndUnload does and adds it to the open PDF document.
// The picture is released here in every case. Returns the library's image id (0 when
// the library refused the data), or -1 when no JPEG could be made.
int AddPictureAsJpeg(FIBITMAP* picture);
