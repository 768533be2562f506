// libjpeg called straight, for what FreeImage does not offer or does slowly (reading a
// JPEG in place, reduced). libjpeg ends a fatal error in its error
// exit, which must not return: it jumps back to the setjmp of the step that was running.
// So each step is a function of its own that calls setjmp first and keeps no C++ object
// across libjpeg calls; its caller owns the libjpeg object and destroys it.
#pragma once
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h wants FILE and size_t declared

#include <jpeglib.h>

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Errors that jump back to errors->jump; warnings are dropped, so that a damaged file
// decodes as far as it goes, as FreeImage's reader lets it.
jpeg_error_mgr* UseJpegErrors(JpegErrors* errors);

// Destroys a libjpeg object on every way out of the function that made it.
struct JpegObjectOwner {
    j_common_ptr object;
    ~JpegObjectOwner() { jpeg_destroy(object); }
};
