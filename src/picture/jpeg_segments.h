// The marker segments of a JPEG file, read with every length checked against the bytes at
// hand: the one walk over a JPEG's markers. Lets the program read the camera orientation
// itself, hand FreeImage a JPEG without the metadata blocks that its own readers parse
// unchecked, check a decoder's JPEG before the PDF library takes it, and put a file's own
// JPEG data in a PDF.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/types.h"

bool IsJpeg(const uint8_t* data, size_t size);  // starts with the start-of-image marker

// Calls visit(marker, payload, payloadSize) for each segment from the start of the file
// up to the start of scan (excluded); stops early when visit returns false. False when the
// segments run past the end of the bytes or break off before a start of scan. *scanAt
// (when given): where the start-of-scan marker is, once the walk has reached it.
typedef bool (*JpegSegmentVisitor)(uint8_t marker, const uint8_t* payload, size_t size,
                                   void* context);
bool WalkJpegSegments(const uint8_t* data, size_t size, JpegSegmentVisitor visit,
                      void* context, size_t* scanAt = nullptr);

// A JPEG that the PDF library can embed: libharu copies whatever follows the start marker,
// and a reader shows it only with one frame of 8-bit samples (baseline, extended or
// progressive), a size and 1, 3 or 4 components, followed by a whole scan header.
// *frameAt: where the frame header's marker starts.
bool IsEmbeddableJpeg(const uint8_t* data, size_t size, size_t* frameAt);

// The JPEG without its metadata segments (APP1 to APP13, APP15, comments); APP0 (JFIF)
// and APP14 (Adobe colour transform) stay, as they change how pixels decode. False when
// there was nothing to leave out or the segments are broken (then *out is empty).
bool JpegWithoutMetadata(const uint8_t* data, size_t size, std::vector<uint8_t>* out);

// A kept JPEG's frame: its size and how its components are sampled.
struct JpegFrame {
    unsigned width = 0, height = 0;
    int components = 0;                      // 1, 3 or 4
    int hSampling[4] = {}, vSampling[4] = {};  // 1..4 each
    int maxHSampling = 1, maxVSampling = 1;
};

// The file's JPEG data as a PDF can keep it: its segments up to the end-of-image marker,
// without the metadata (Exif and GPS, XMP, maker notes, comments, other application
// blocks) and without what follows the picture (a camera's second pictures), keeping what
// decoding needs (the JFIF block, an ICC profile, the Adobe block): *pieces of the file,
// in order, to be joined. The whole file is walked, scans included, and checked as a PDF
// reader will read it: one 8-bit Huffman frame (baseline, extended or progressive), grey,
// colour or Adobe CMYK (the PDF's Decode array inverts it as Adobe stores it), every table
// a scan uses defined, an end. False otherwise (arithmetic coding, 12 bits, lossless or
// hierarchical pictures, RGB or CMYK without the Adobe block to say so, a file cut short):
// such a picture is re-encoded.
bool KeepJpegData(const uint8_t* data, size_t size, std::vector<FilePiece>* pieces, JpegFrame* frame);
// The pieces of data joined.
std::vector<uint8_t> JoinPieces(const uint8_t* data, const std::vector<FilePiece>& pieces);
