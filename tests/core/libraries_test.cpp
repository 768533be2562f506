#include <gtest/gtest.h>

#include <FreeImage.h>
#include <hpdf.h>
#include <qpdf/QPDF.hh>

#include "app/credits.h"

TEST(Libraries, WrapParagraphs)
{
    struct { const char* text; size_t width; const char* expected; } cases[] = {
        {"one two three", 7, "one two\r\nthree"},
        {"one two\n\nthree", 20, "one two\r\n\r\nthree"},
        {"a https://very.long/address b", 5, "a\r\nhttps://very.long/address\r\nb"},
        {"  spaced   out  ", 20, "spaced out"},
    };
    for (auto& c : cases) EXPECT_EQ(c.expected, WrapParagraphs(c.text, c.width)) << c.text;
}

TEST(Libraries, CreditsNameTheVersionsTheLibrariesReportAndFitTheirWidth)
{
    std::string credits = LibraryCredits(51);
    std::string flat = credits;
    for (size_t at; (at = flat.find("\r\n")) != std::string::npos;) flat.replace(at, 2, " ");
    for (std::string mention : {std::string("FreeImage open source image library, version ") +
                                    FreeImage_GetVersion(),
                                std::string("libharu ") + HPDF_GetVersion(),
                                "qpdf " + QPDF::QPDFVersion()})
        EXPECT_NE(std::string::npos, flat.find(mention)) << mention << " in " << flat;
    size_t start = 0, end;
    do {
        end = credits.find("\r\n", start);
        std::string line = credits.substr(start, end == std::string::npos ? end : end - start);
        EXPECT_LE(line.size(), 51u) << line;
        start = end + 2;
    } while (end != std::string::npos);
}
