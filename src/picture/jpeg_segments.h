// The marker segments at the head of a JPEG file, read with every length checked against
// the bytes at hand: the one walk over a JPEG's markers. Lets the program read the camera
// orientation itself, hand FreeImage a JPEG without the metadata blocks that its own
// readers parse unchecked, and check a decoder's JPEG before the PDF library takes it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

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
