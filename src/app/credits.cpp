#include "app/credits.h"

#include <FreeImage.h>
#include <dav1d/dav1d.h>
#include <hpdf.h>
#include <libheif/heif.h>
#include <qpdf/QPDF.hh>
#ifndef TOLVANE_WITHOUT_HEVC
#include <libde265/de265.h>
#endif

#include <sstream>

std::string WrapParagraphs(const std::string& text, size_t width)
{
    std::string out, line, word;
    std::istringstream words;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find("\n\n", start);
        if (end == std::string::npos) end = text.size();
        if (!out.empty()) out += "\r\n\r\n";
        words.clear();
        words.str(text.substr(start, end - start));
        line.clear();
        while (words >> word) {
            if (!line.empty() && line.size() + 1 + word.size() > width) {
                out += line + "\r\n";
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
        }
        out += line;
        start = end + 2;
    }
    return out;
}

std::string LibraryCredits(size_t width)
{
    std::string text =
        std::string("This software uses the FreeImage open source image library, version ") +
        FreeImage_GetVersion() +
        ". See https://freeimage.sourceforge.io for details. FreeImage is used under the "
        "FreeImage Public License, version 1.0.\n\n"
        "libharu " + HPDF_GetVersion() +
        " (PDF page content): zlib/libpng License, https://github.com/libharu/libharu\n\n"
        "qpdf " + QPDF::QPDFVersion() +
        " (PDF encryption, writing): Apache License 2.0, https://qpdf.sourceforge.io\n\n"
        "libheif " + heif_get_version() +
        " (HEIF and AVIF photos): GNU LGPL 3.0, https://github.com/strukturag/libheif\n\n"
#ifndef TOLVANE_WITHOUT_HEVC
        "libde265 " + de265_get_version() +
        " (HEVC pictures): GNU LGPL 3.0, https://github.com/strukturag/libde265\n\n"
#endif
        "dav1d " + dav1d_version() +
        " (AV1 pictures): BSD 2-Clause License, https://code.videolan.org/videolan/dav1d";
    std::string builtIn = BuiltInLibraryCredits();
    if (!builtIn.empty()) text += "\n\n" + builtIn;
    return WrapParagraphs(text, width);
}
