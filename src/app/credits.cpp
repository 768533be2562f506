#include "app/credits.h"

#include <FreeImage.h>
#include <hpdf.h>
#include <qpdf/QPDF.hh>

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
        " (PDF encryption, writing): Apache License 2.0, https://qpdf.sourceforge.io";
    std::string builtIn = BuiltInLibraryCredits();
    if (!builtIn.empty()) text += "\n\n" + builtIn;
    return WrapParagraphs(text, width);
}
