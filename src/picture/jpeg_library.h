// libjpeg called straight, for what FreeImage does not offer (reading a JPEG in place,
// its coefficients, its planes) or does slowly. libjpeg ends a fatal error in its error
// exit, which must not return: it jumps back to the setjmp of the step that was running.
// So each step is a function of its own that calls setjmp first and keeps no C++ object
// across libjpeg calls; its caller owns the libjpeg object and destroys it.
#pragma once
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h wants FILE and size_t declared
#include <vector>

#include <jpeglib.h>

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Errors that jump back to errors->jump; warnings are dropped, so that a damaged file
// decodes as far as it goes, as FreeImage's reader lets it.
jpeg_error_mgr* UseJpegErrors(JpegErrors* errors);

// A compressor's output appended to *out, which grows as needed (a failure to grow is
// libjpeg's out-of-memory error). out must outlive the compression.
struct JpegVectorOutput {
    jpeg_destination_mgr manager;
    std::vector<uint8_t>* out;
};
void WriteJpegTo(j_compress_ptr info, JpegVectorOutput* output, std::vector<uint8_t>* out);

// Destroys a libjpeg object on every way out of the function that made it.
struct JpegObjectOwner {
    j_common_ptr object;
    ~JpegObjectOwner() { jpeg_destroy(object); }
};

// A JPEG being written again from another: the reader and the writer, which share one
// error manager (an error in either jumps back to the step running), destroyed together.
struct JpegRecoding {
    JpegErrors errors;
    jpeg_decompress_struct from{};
    jpeg_compress_struct to{};
    JpegVectorOutput output;
    JpegRecoding() { from.err = to.err = UseJpegErrors(&errors); }
    ~JpegRecoding()
    {
        jpeg_destroy((j_common_ptr)&to);
        jpeg_destroy((j_common_ptr)&from);
    }
    JpegRecoding(const JpegRecoding&) = delete;
    JpegRecoding& operator=(const JpegRecoding&) = delete;
};

// A JPEG written again from another: the blocks KeepJpegData keeps (JFIF, ICC profile,
// Adobe) saved while reading and written out as they were (no other block of theirs), and the source's coding
// parameters (colour space, components, sampling, quantization tables) taken over, with
// rows and columns exchanged when the picture is transposed.
void SaveKeptBlocks(j_decompress_ptr source);
void WriteKeptBlocks(j_decompress_ptr source, j_compress_ptr destination);
void TakeParameters(j_decompress_ptr source, j_compress_ptr destination, bool transpose);
