// A JPEG turned as a page picture wants it, without decoding it to colours: a file that
// KeepJpegData (picture/jpeg_segments.h) keeps goes in, and a JPEG of the turned picture
// with the blocks it keeps comes out.
#pragma once
#include <cstdint>
#include <vector>

#include "picture/jpeg_segments.h"
#include "picture/picture_turn.h"

// True when the turn moves whole blocks only: a mirror needs the side it mirrors to be a
// whole number of the frame's MCUs (a transpose moves no edge).
bool TurnIsLossless(const JpegFrame& frame, const PictureTurn& turn);

// Each block's coefficients moved and their signs changed, as libjpeg-turbo's jpegtran
// does: the picture is exactly the original's, turned. For a turn TurnIsLossless allows.
// The entropy coding is made again, with tables fitted to the picture.
bool TurnJpegLosslessly(const uint8_t* jpeg, size_t size, const PictureTurn& turn,
                        std::vector<uint8_t>* out);

// Any turn: the picture decoded to its planes of samples (no colour conversion, chroma at
// its own resolution), turned, and encoded again with its own quantization tables and
// sampling. Blocks that stay whole come back all but unchanged; the others lose what one
// more quantization loses. Takes a byte a sample (half what coefficients take).
bool TurnJpegSamples(const uint8_t* jpeg, size_t size, const PictureTurn& turn,
                     std::vector<uint8_t>* out);
