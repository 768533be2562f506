// A written PDF taken apart with libqpdf, or rendered with pdftoppm (native code; the UI
// tests hand it the file's bytes).
#pragma once
#include <string>
#include <vector>

#include "support/pictures.h"

struct PdfRect {
    double x, y, width, height;  // lower-left corner; for images from the `cm` before `Do`
    bool filled;                 // rectangles: `f` (true) or `S`
    int pixelWidth, pixelHeight; // images: the XObject's /Width and /Height
};
struct PdfText {
    std::string bytes;     // the string operand, undecoded
    double x, y;           // text position
    std::string encoding;  // the font's /Encoding name
};
struct PdfPage {
    double width = 0, height = 0;  // media box
    std::vector<PdfRect> rects, images;
    std::vector<PdfText> texts;
};
struct PdfReadBack {
    bool opened = false, encrypted = false, aes256 = false;
    int R = 0, P = 0;
    std::string creator;  // the document information's /Creator
    std::vector<PdfPage> pages;
    std::string error;
};
PdfReadBack ReadPdf(const std::string& bytes, const char* password = "");
PdfReadBack ReadPdfFile(const std::string& path, const char* password = "");

// Every page rendered at dpi, as 24-bit bitmaps the caller unloads; empty on failure.
std::vector<FIBITMAP*> RenderPages(const std::string& path, int dpi);
