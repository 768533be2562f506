// A written PDF read back with libqpdf (native code): the UI tests hand it the file's
// bytes and get plain numbers back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PdfPageSummary {
    double width = 0, height = 0;  // media box, points
    int images = 0;                // image XObjects the page uses
};
struct PdfSummary {
    bool opened = false;
    std::vector<PdfPageSummary> pages;
    std::string error;  // why it could not be read
};

// password: the user password (UTF-8), for an encrypted PDF.
PdfSummary SummarizePdf(const std::vector<uint8_t>& bytes, const char* password = nullptr);
