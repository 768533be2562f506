// The native helper code of the core and the UI tests (FreeImage, libqpdf): pictures made
// at run time, their bytes and pixels, hostile files and PNG screenshots; written PDFs
// taken apart with libqpdf or rendered with pdftoppm (the UI tests hand over the file's
// bytes); scratch folders, whole files, page pictures made in this process, and the PDF
// builder's other roles on real files, recording what it shows. No FreeImage.h here: the
// UI tests include this beside windows.h.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "pdf/pdf_builder.h"

struct FIBITMAP;
typedef std::vector<uint8_t> ByteVec;

struct Rgb {
    int r, g, b;
};
const Rgb White = {255, 255, 255}, Black = {0, 0, 0}, Red = {255, 0, 0}, Blue = {0, 0, 255};

// A 24-bit picture of one colour; FillRect paints a rectangle given from the top left.
FIBITMAP* MakeSolid(unsigned width, unsigned height, Rgb colour);
void FillRect(FIBITMAP* picture, int x, int yFromTop, int w, int h, Rgb colour);
// The colour at (x, y) of a 24-bit picture, y counted from the top row.
Rgb PixelAt(FIBITMAP* picture, int x, int yFromTop);
// The same for 96 x 96 thumbnail pixels (BGRA, rows bottom-up).
Rgb ThumbPixel(const uint8_t* bgra, int x, int yFromTop);
bool Near(Rgb a, Rgb b, int tolerance = 24);

// The picture encoded (format: a FREE_IMAGE_FORMAT; empty on failure), then unloaded.
ByteVec EncodeAndUnload(FIBITMAP* picture, int format, int flags = 0);

// A width x height picture file's bytes, filled with (r, g, b) with a black square of a
// quarter of the shorter side in its top-left corner. format: "png", "jpg", "bmp", "gif".
ByteVec MakeTestImageBytes(int width, int height, const char* format, uint8_t r = 40,
                           uint8_t g = 120, uint8_t b = 200);

// A picture file's bytes decoded as the program decodes them and turned upright (the EXIF
// orientation applied); null when they are not a readable picture.
BitmapOwner LoadUpright(const ByteVec& bytes, const char* fileName = "C:\\pics\\a.jpg");

// A JPEG with an EXIF block holding only the Orientation tag.
ByteVec WithExifOrientation(const ByteVec& jpeg, int orientation);

// Files that crash, hang or exhaust FreeImage 3.18 (`does`: what they did to it, in this
// program's own process before), made here or read from dataDir/hostile. coreRefuses: the
// core turns it away before FreeImage reads it; the others only a decoder process survives.
struct HostileFile {
    const char* name;
    std::string bytes;
    const char* does;
    bool coreRefuses;
};
std::vector<HostileFile> HostileFiles(const std::string& dataDir);

// A 24-bit picture of width x height BGRA pixels (rows bottom-up, as in a 32-bit DIB),
// and the same saved as a PNG at a Linux path.
BitmapOwner FromBgra(const uint8_t* bgra, int width, int height);
bool SavePngBgra(const char* unixPath, const uint8_t* bgra, int width, int height);

// Peak resident memory of this process so far, in kilobytes.
long PeakMemoryKb();

struct PdfRect {
    double x, y, width, height;  // lower-left corner; for images from the `cm` before `Do`
    bool filled;                 // rectangles: `f` (true) or `S`
    int pixelWidth, pixelHeight; // images: the XObject's /Width and /Height
    std::string data;            // images: the stream's bytes, filters not undone
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

// Every page rendered at dpi, as 24-bit bitmaps; empty on failure.
std::vector<BitmapOwner> RenderPages(const std::string& path, int dpi);

// A new empty folder for this process, under $TOLVANE_TEST_TMP or /tmp; whole files.
std::string TestFolder(const std::string& name);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);  // "" when missing
bool FileExists(const std::string& path);

// Page pictures made in this process, the file read and decoded at Finish (the program
// makes them in its decoder processes): for the tests and the PDF benchmark.
class InProcessPictures : public PagePictures {
public:
    int PictureWorkers() override { return 1; }
    bool StartPagePicture(int worker, const ImageEntry& entry, const PagePlan& plan) override
    {
        started_[worker] = {entry.path, plan};
        return true;
    }
    PictureOutcome FinishPagePicture(int worker, PagePicture* out) override;
    void DropPagePictures() override {}

private:
    std::pair<std::string, PagePlan> started_[MaxPictureWorkers];
};

// Real files for the builder, written whole at the end, with faults on request, and a
// record of what it shows.
class FakeHost : public PdfFiles, public InProcessPictures, public BuildProgress {
public:
    bool FileExists(const char* path) override { return ::FileExists(path); }
    bool Start(const char* path) override;
    bool Write(const uint8_t* data, size_t size) override { file_.append((const char*)data, size); return !failWrites; }
    bool End(bool keep) override { return keep && WriteWholeFile(path_, file_); }
    bool Append(const uint8_t* data, size_t size, uint64_t* offset) override;
    bool Read(uint64_t offset, uint8_t* data, size_t size) override
    {
        return offset <= spool.size() && spool.copy((char*)data, size, offset) == size;
    }
    bool DeleteFileAt(const char* path) override { deleted.push_back(path); return remove(path) == 0; }
    void DescribeFailure(char* out, size_t outSize) override { out[0] = 0; }
    void SetProgressRange(int) override {}
    void StepProgress() override { ++steps; }
    void ResetProgress() override {}
    void SetMessageLine(const char* text) override { messages.push_back(text); }
    bool PumpAndContinue() override { return continuePumps < 0 || ++pumps <= continuePumps; }
    void ShowFailure(const char* message) override { failures.push_back(message); }
    int PictureWorkers() override { return workers; }

    int workers = 2;           // pictures made ahead of their turn, as the program does
    int continuePumps = -1;    // pumps answered true before the cancel; -1: never cancel
    bool failWrites = false;   // Write fails...
    bool leaveJunk = false;    // ...after Start left a few bytes at the path
    int spoolRoom = -1;        // pictures the spool takes before it fails; -1: all
    int pumps = 0, steps = 0, writes = 0;
    std::vector<std::string> messages, failures, deleted;
    std::string spool;  // the spooled pictures

private:
    std::string path_, file_;
};

ImageEntry Entry(const std::string& path, const char* caption = "[no caption]", int rotation = 0);
