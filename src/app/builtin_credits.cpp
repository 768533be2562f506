// Apart from credits.cpp: png.h and FreeImage.h both define PNG_Z_DEFAULT_COMPRESSION.
#include "app/credits.h"

// FREEIMAGE_LIB marks the static Windows build, which carries its own image libraries;
// the Winelib build links Debian's shared FreeImage, which brings its own.
#ifdef FREEIMAGE_LIB
#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

std::string BuiltInLibraryCredits()
{
    const int jpeg = LIBJPEG_TURBO_VERSION_NUMBER;  // 2001005 is 2.1.5
    return std::string("Built in: zlib ") + zlibVersion() + ", libpng " +
           png_get_libpng_ver(nullptr) + ", libjpeg-turbo " + std::to_string(jpeg / 1000000) +
           "." + std::to_string(jpeg / 1000 % 1000) + "." + std::to_string(jpeg % 1000) +
           " (this software is based in part on the work of the Independent JPEG Group), "
           "and the libraries FreeImage bundles: LibTIFF, OpenJPEG, OpenEXR, LibRaw, "
           "JPEG XR and libwebp.";
}
#else
std::string BuiltInLibraryCredits() { return ""; }
#endif
