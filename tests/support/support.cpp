#include "support/support.h"

#include <FreeImage.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "picture/exif_orientation.h"
#include "picture/image_load.h"

FIBITMAP* MakeSolid(unsigned width, unsigned height, Rgb colour)
{
    FIBITMAP* picture = FreeImage_Allocate(width, height, 24);
    RGBQUAD fill = {(BYTE)colour.b, (BYTE)colour.g, (BYTE)colour.r, 0};
    if (picture) FreeImage_FillBackground(picture, &fill);
    return picture;
}

void FillRect(FIBITMAP* picture, int x, int yFromTop, int w, int h, Rgb colour)
{
    FreeImage_Paste(picture, BitmapOwner(MakeSolid(w, h, colour)).get(), x, yFromTop, 256);
}

Rgb PixelAt(FIBITMAP* picture, int x, int yFromTop)
{
    const BYTE* p = FreeImage_GetScanLine(picture, FreeImage_GetHeight(picture) - 1 - yFromTop) + x * 3;
    return Rgb{p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]};
}

Rgb ThumbPixel(const uint8_t* bgra, int x, int yFromTop)
{
    const uint8_t* p = bgra + ((95 - yFromTop) * 96 + x) * 4;
    return Rgb{p[2], p[1], p[0]};
}

bool Near(Rgb a, Rgb b, int tolerance)
{
    return abs(a.r - b.r) <= tolerance && abs(a.g - b.g) <= tolerance &&
           abs(a.b - b.b) <= tolerance;
}

ByteVec EncodeAndUnload(FIBITMAP* unloaded, int format, int flags)
{
    const BitmapOwner picture(unloaded);
    const MemoryStreamOwner stream(FreeImage_OpenMemory());
    BYTE* data = nullptr;
    DWORD size = 0;
    if (picture && FreeImage_SaveToMemory((FREE_IMAGE_FORMAT)format, picture.get(), stream.get(), flags) &&
        FreeImage_AcquireMemory(stream.get(), &data, &size))
        return ByteVec(data, data + size);
    return ByteVec();
}

ByteVec MakeTestImageBytes(int width, int height, const char* format, uint8_t r, uint8_t g,
                           uint8_t b)
{
    FIBITMAP* picture = MakeSolid(width, height, Rgb{r, g, b});
    int mark = (width < height ? width : height) / 4;
    FillRect(picture, 0, 0, mark, mark, Black);
    if (strcmp(format, "gif") == 0)
        return EncodeAndUnload(FreeImage_ColorQuantize(BitmapOwner(picture).get(), FIQ_WUQUANT), FIF_GIF);
    FREE_IMAGE_FORMAT fif = strcmp(format, "jpg") == 0   ? FIF_JPEG
                            : strcmp(format, "bmp") == 0 ? FIF_BMP
                                                         : FIF_PNG;
    return EncodeAndUnload(picture, fif);
}

BitmapOwner LoadUpright(const ByteVec& bytes, const char* fileName)
{
    PictureFile file;
    if (!file.ReadHeader(bytes.data(), bytes.size(), fileName)) return nullptr;
    BitmapOwner picture = file.DecodeAsStored();
    return picture ? ApplyExifOrientation(std::move(picture), file.Header().orientation) : nullptr;
}

ByteVec WithExifOrientation(const ByteVec& jpeg, int orientation)
{
    const uint8_t tiff[] = {
        'I', 'I', 42, 0, 8, 0, 0, 0,   // little-endian, IFD0 at offset 8
        1, 0,                          // one entry: Orientation, SHORT, count 1
        0x12, 0x01, 3, 0, 1, 0, 0, 0, (uint8_t)orientation, 0, 0, 0,
        0, 0, 0, 0,                    // no next IFD
    };
    ByteVec app1 = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff, tiff + sizeof tiff);
    app1[3] = (uint8_t)(app1.size() - 2);  // the length counts itself, not the marker
    ByteVec out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), app1.begin(), app1.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

std::vector<HostileFile> HostileFiles(const std::string& dataDir)
{
    // A BMHD and no BODY, in a FORM whose size never runs out: FreeImage looks for the
    // BODY for ever.
    const std::string endlessIff("FORM\0\0\0\x21ILBMBMHD\0\0\0\x14"
                                 "\0\x02\0\x02\0\0\0\0\x08\0\0\0\0\0\x01\x01\0\x02\0\x02", 40);
    std::vector<HostileFile> files = {
        {"A-xpm-sprintf-stack-overflow.xpm", "", "crash", false},  // "": stored
        {"J-psd-rle-overflow.psd", "", "crash", false},
        {"C-exr-bigalloc.exr", "", "endless header read", true},
        {"M-openexr-bigalloc.exr", "", "5.2 GB", true},
        {"one.pct", std::string(1, '\0'), "endless loop", true},
        {"cut.xbm", "#define c_width 64\n#define c_height 64\nstatic char c_bits[] = {\n0x01,",
         "endless loop", true},
        // The comment once gave the size; FreeImage reads the defines.
        {"huge.xbm", "/* c_width 8 c_height 8 */\n#define c_width 200000\n#define c_height 200000\n"
                     "static char c_bits[] = {\n0x01, 0x02 };\n", "5 GB", true},
        {"endless.iff", endlessIff, "hangs", false},
        {"ext.wbmp", std::string("\x00\x80\x80\x80\x80", 5), "endless loop", true},
        // libheif 1.15 (tests/data/heif/build_heif.py makes these).
        {"heif-huge-grid.heic", "", "10 GB, 2 minutes", true},
        {"heif-huge-ispe.heic", "", "claims 900 MP", true},
        {"heif-grid-loop.heic", "", "a reference loop", true},
        {"heif-cut.heic", "", "reads past the end", true},
    };
    for (HostileFile& f : files)
        if (f.bytes.empty()) f.bytes = ReadWholeFile(dataDir + "/hostile/" + f.name);
    return files;
}

BitmapOwner FromBgra(const uint8_t* bgra, int width, int height)
{
    const BitmapOwner image(FreeImage_ConvertFromRawBits((BYTE*)bgra, width, height, width * 4, 32,
                                                         FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                                         FI_RGBA_BLUE_MASK, FALSE));
    return BitmapOwner(image ? FreeImage_ConvertTo24Bits(image.get()) : nullptr);
}

bool SavePngBgra(const char* unixPath, const uint8_t* bgra, int width, int height)
{
    const BitmapOwner rgb = FromBgra(bgra, width, height);
    return rgb && FreeImage_Save(FIF_PNG, rgb.get(), unixPath, PNG_DEFAULT);
}

long PeakMemoryKb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

namespace {

double Number(QPDFObjectHandle o) { return o.isNumber() ? o.getNumericValue() : 0; }

// Collects rectangles, image placements and texts from one page's content stream.
class ContentReader : public QPDFObjectHandle::ParserCallbacks {
public:
    ContentReader(QPDFObjectHandle resources, PdfPage* page) : res_(resources), page_(page) {}
    void handleObject(QPDFObjectHandle o) override
    {
        if (!o.isOperator()) return operands_.push_back(o);
        std::string op = o.getOperatorValue();
        auto n = [&](size_t i) { return i < operands_.size() ? Number(operands_[i]) : 0; };
        if (op == "re") rect_ = {n(0), n(1), n(2), n(3), false, 0, 0};
        if (op == "f" || op == "S") rect_.filled = op == "f", page_->rects.push_back(rect_);
        if (op == "cm")
            for (int i = 0; i < 6; ++i) m_[i] = n(i);
        if (op == "Do" && !operands_.empty()) {
            QPDFObjectHandle xobject = res_.getKey("/XObject").getKey(operands_[0].getName());
            QPDFObjectHandle image = xobject.getDict();
            const auto data = xobject.getRawStreamData();
            page_->images.push_back({m_[4], m_[5], m_[0], m_[3], true, (int)Number(image.getKey("/Width")),
                                     (int)Number(image.getKey("/Height")),
                                     std::string((const char*)data->getBuffer(), data->getSize())});
        }
        if (op == "Tf" && !operands_.empty()) {
            QPDFObjectHandle e = res_.getKey("/Font").getKey(operands_[0].getName()).getKey("/Encoding");
            encoding_ = e.isName() ? e.getName() : "";
        }
        if (op == "Td") x_ += n(0), y_ += n(1);
        if (op == "BT") x_ = y_ = 0;
        if (op == "Tj" && !operands_.empty())
            page_->texts.push_back({operands_[0].getStringValue(), x_, y_, encoding_});
        operands_.clear();
    }
    void handleEOF() override {}

private:
    QPDFObjectHandle res_;
    PdfPage* page_;
    std::vector<QPDFObjectHandle> operands_;
    PdfRect rect_ = {};
    double m_[6] = {1, 0, 0, 1, 0, 0}, x_ = 0, y_ = 0;
    std::string encoding_;
};

}  // namespace

PdfReadBack ReadPdf(const std::string& bytes, const char* password)
{
    PdfReadBack result;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("written.pdf", bytes.data(), bytes.size(), password);
        result.opened = true;
        int V;
        QPDF::encryption_method_e stream, string, file;
        result.encrypted = pdf.isEncrypted(result.R, result.P, V, stream, string, file);
        result.aes256 = result.encrypted && stream == QPDF::e_aesv3 && string == QPDF::e_aesv3;
        QPDFObjectHandle creator = pdf.getTrailer().getKey("/Info").getKey("/Creator");
        if (creator.isString()) result.creator = creator.getStringValue();
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            PdfPage content;
            QPDFObjectHandle box = page.getAttribute("/MediaBox", false);
            content.width = Number(box.getArrayItem(2)) - Number(box.getArrayItem(0));
            content.height = Number(box.getArrayItem(3)) - Number(box.getArrayItem(1));
            ContentReader reader(page.getAttribute("/Resources", false), &content);
            page.parseContents(&reader);
            result.pages.push_back(content);
        }
    } catch (const std::exception& e) {
        result.opened = false;
        result.error = e.what();
    }
    return result;
}

PdfReadBack ReadPdfFile(const std::string& path, const char* password)
{
    return ReadPdf(ReadWholeFile(path), password);
}

std::vector<BitmapOwner> RenderPages(const std::string& path, int dpi)
{
    std::string prefix = path + ".page";
    std::string command = "pdftoppm -q -png -r " + std::to_string(dpi) + " '" + path + "' '" +
                          prefix + "' 2>/dev/null";
    std::vector<BitmapOwner> pages;
    if (system(command.c_str()) != 0) return pages;
    int pageCount = (int)ReadPdfFile(path).pages.size();
    int digits = (int)std::to_string(pageCount).size();
    for (int i = 1; i <= pageCount; i++) {
        char name[32];
        snprintf(name, sizeof name, "-%0*d.png", digits, i);
        std::string png = prefix + name;
        const BitmapOwner loaded(FreeImage_Load(FIF_PNG, png.c_str(), 0));
        remove(png.c_str());
        if (!loaded) break;
        pages.emplace_back(FreeImage_ConvertTo24Bits(loaded.get()));
    }
    return pages;
}

std::string TestFolder(const std::string& name)
{
    const char* given = getenv("TOLVANE_TEST_TMP");
    std::string folder = std::string(given && *given ? given : "/tmp") + "/tolvane-" + name +
                         "-" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    return (bool)out.write(bytes.data(), bytes.size());
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

PictureOutcome InProcessPictures::FinishPagePicture(int worker, PagePicture* out)
{
    const std::string bytes = ReadWholeFile(started_[worker].first);
    return MakePagePicture((const uint8_t*)bytes.data(), bytes.size(), started_[worker].first.c_str(),
                           started_[worker].second, out)
               ? PictureMade
               : PictureUnreadable;
}

bool FakeHost::Start(const char* path)
{
    ++writes;
    if (leaveJunk) std::ofstream(path, std::ios::binary) << "%PDF-junk";
    path_ = path;
    file_.clear();
    return true;
}

bool FakeHost::Append(const uint8_t* data, size_t size, uint64_t* offset)
{
    if (spoolRoom >= 0 && spoolRoom-- == 0) return false;
    *offset = spool.size();
    spool.append((const char*)data, size);
    return true;
}

ImageEntry Entry(const std::string& path, const char* caption, int rotation)
{
    ImageEntry entry = MakeImageEntry(0, path.c_str(), PictureRect{0, 0, 96, 96});
    SetEntryCaption(&entry, caption);
    entry.rotation = rotation;
    return entry;
}
