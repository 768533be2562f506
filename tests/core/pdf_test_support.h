// Helpers of the PDF tests: a scratch folder, pictures made at run time, a stdio writer
// that replaces files whole, a BuildHost that records what the builder does, and a
// reader that takes a written PDF apart with libqpdf (or renders it with pdftoppm).
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pdf/pdf_builder.h"

struct FIBITMAP;

// In a namespace of their own: the image tests have helpers of the same names.
namespace pdftest {

// A new empty folder for one test, under $TOLVANE_TEST_TMP or a mkdtemp folder.
std::string TestFolder(const std::string& name);

// Writes a temporary file beside path, then renames it over path: no half-written file
// is ever left at path.
bool WriteFileReplacing(const char* path, const uint8_t* data, size_t size);
bool ReplacingWriter(const char* path, const uint8_t* data, size_t size, void* context);

bool FileExists(const std::string& path);
std::string ReadWholeFile(const std::string& path);

struct Rgb {
    uint8_t red, green, blue;
};
// A w x h picture file (format from the extension): the left half `left`, the right half
// `right`, or all one colour when right is left out.
void SavePicture(const std::string& path, unsigned w, unsigned h, Rgb left);
void SavePicture(const std::string& path, unsigned w, unsigned h, Rgb left, Rgb right);

// What a page draws, from its content stream.
struct DrawnRect {
    double x, y, width, height;  // lower-left corner, as in the `re` operator
    bool filled;                 // `f` (true) or `S` (false)
};
struct PlacedImage {
    double x, y, width, height;  // from the `cm` before `Do`
    int pixelWidth, pixelHeight; // the XObject's /Width and /Height
};
struct ShownText {
    std::string bytes;  // the string operand, undecoded
    double x, y;        // text position
    double size;        // font size of `Tf`
    std::string encoding;  // the font's /Encoding name, or "/Differences" for a dictionary
    std::string baseFont;
};
struct PageContent {
    double mediaBox[4];
    std::vector<DrawnRect> rects;
    std::vector<PlacedImage> images;
    std::vector<ShownText> texts;
    std::string contentFilter;  // the content stream's /Filter, "" when none
};
struct PdfReadBack {
    bool opened = false;
    bool encrypted = false;
    int R = 0, P = 0, V = 0;
    bool aes256 = false;  // streams and strings encrypted with AES-256
    std::map<std::string, std::string> info;  // "/Author" -> text
    std::vector<PageContent> pages;
    std::string error;
};
PdfReadBack ReadPdf(const std::string& path, const char* password = "");

// Renders one page (1-based) at the resolution given; null when pdftoppm fails.
FIBITMAP* RenderPage(const std::string& path, int page, int dpi, const char* password = "");
// The colour at (x, y) counted from the top-left corner.
Rgb PixelAt(FIBITMAP* bitmap, unsigned x, unsigned y);
bool Near(Rgb a, Rgb b, int tolerance = 40);

// Reads files with std::ifstream, writes with WriteFileReplacing when the file ends,
// spools in memory, and records the rest.
class FakeHost : public BuildHost {
public:
    bool ReadFileBytes(const char* path, std::vector<uint8_t>* out) override;
    bool FileExists(const char* path) override;
    bool StartFile(const char* path) override;
    bool WriteToFile(const uint8_t* data, size_t size) override;
    bool EndFile(bool keep) override;
    bool SpoolAppend(const uint8_t* data, size_t size, uint64_t* offset) override;
    bool SpoolRead(uint64_t offset, uint8_t* data, size_t size) override;
    bool DeleteFileAt(const char* path) override;
    void SetProgressRange(int count) override;
    void StepProgress() override;
    void ResetProgress() override;
    void SetMessageLine(const char* text) override;
    bool PumpAndContinue() override;
    void ShowFailure(const char* message) override;

    int continuePumps = -1;    // pumps answered true before the cancel; -1: never cancel
    bool failWrites = false;   // WriteToFile returns false
    bool leaveJunk = false;    // ...after leaving a few bytes at the path, as careless writers do

    int pumps = 0, steps = 0, resets = 0, writes = 0;
    int progressRange = -1;
    std::vector<std::string> messages, failures, deleted;
    std::vector<std::string> events;  // "range", "step", "reset", "write", "message:..."
    std::string spool;                // the spooled pictures

private:
    std::string path_, file_;
};

// An entry for the builder.
ImageEntry Entry(const std::string& path, const char* caption = "[no caption]",
                 int rotation = 0, int flips = 0);

}  // namespace pdftest
