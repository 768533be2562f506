// The marker segments at the head of a JPEG file, read with every length checked against
// the bytes at hand. Lets the program read the camera orientation itself and hand
// FreeImage a JPEG without the metadata blocks that its own readers parse unchecked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

bool IsJpeg(const uint8_t* data, size_t size);  // starts with the start-of-image marker

// Calls visit(marker, payload, payloadSize) for each segment from the start of the file
// up to the start of scan (excluded); stops early when visit returns false. False when the
// segments run past the end of the bytes or break off before a start of scan.
typedef bool (*JpegSegmentVisitor)(uint8_t marker, const uint8_t* payload, size_t size,
                                   void* context);
bool WalkJpegSegments(const uint8_t* data, size_t size, JpegSegmentVisitor visit,
                      void* context);

// The JPEG without its metadata segments (APP1 to APP13, APP15, comments); APP0 (JFIF)
// and APP14 (Adobe colour transform) stay, as they change how pixels decode. False when
// there was nothing to leave out or the segments are broken (then *out is empty).
bool JpegWithoutMetadata(const uint8_t* data, size_t size, std::vector<uint8_t>* out);
