#include <gtest/gtest.h>

#include <FreeImage.h>
#include <hpdf.h>
#include <qpdf/QPDF.hh>

#include <sstream>

#include "app/libraries.h"

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
    std::istringstream lines(LibraryCredits(51) + "\r\n");
    std::string flat;  // the lines joined by spaces
    for (std::string line; std::getline(lines, line, '\n'); flat += line + " ") {
        ASSERT_TRUE(!line.empty() && line.back() == '\r') << "lines end with CR LF";
        line.pop_back();
        EXPECT_LE(line.size(), 51u) << line;
    }
    for (std::string mention : {std::string("FreeImage open source image library, version ") +
                                    FreeImage_GetVersion(),
                                std::string("libharu ") + HPDF_GetVersion(),
                                "qpdf " + QPDF::QPDFVersion()})
        EXPECT_NE(std::string::npos, flat.find(mention)) << mention << " in " << flat;
}
