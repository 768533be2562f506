#include "pdf_test_support.h"

#include <FreeImage.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/collection.h"

namespace fs = std::filesystem;

namespace pdftest {

std::string TestFolder(const std::string& name)
{
    static std::string root;
    if (root.empty()) {
        const char* given = getenv("TOLVANE_TEST_TMP");
        if (given && *given) {
            root = given;
            fs::create_directories(root);
        } else {
            char pattern[] = "/tmp/tolvane-tests-XXXXXX";
            root = mkdtemp(pattern) ? pattern : "/tmp";
        }
    }
    std::string folder = root + "/" + name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

bool WriteFileReplacing(const char* path, const uint8_t* data, size_t size)
{
    std::string temp = std::string(path) + ".partial";
    FILE* f = fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(data, 1, size, f) == size;
    ok = fclose(f) == 0 && ok;
    if (ok) ok = rename(temp.c_str(), path) == 0;
    if (!ok) remove(temp.c_str());
    return ok;
}

bool ReplacingWriter(const char* path, const uint8_t* data, size_t size, void* context)
{
    return WriteFileReplacing(path, data, size);
}

bool FileExists(const std::string& path) { return fs::exists(path); }

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void SavePicture(const std::string& path, unsigned w, unsigned h, Rgb left)
{
    SavePicture(path, w, h, left, left);
}

void SavePicture(const std::string& path, unsigned w, unsigned h, Rgb left, Rgb right)
{
    FIBITMAP* bitmap = FreeImage_Allocate(w, h, 24);
    for (unsigned y = 0; y < h; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (unsigned x = 0; x < w; ++x) {
            const Rgb& c = x < w / 2 ? left : right;
            row[x * 3 + FI_RGBA_RED] = c.red;
            row[x * 3 + FI_RGBA_GREEN] = c.green;
            row[x * 3 + FI_RGBA_BLUE] = c.blue;
        }
    }
    FREE_IMAGE_FORMAT fif = FreeImage_GetFIFFromFilename(path.c_str());
    FreeImage_Save(fif, bitmap, path.c_str(), 0);
    FreeImage_Unload(bitmap);
}

namespace {

double Number(QPDFObjectHandle o) { return o.isNumber() ? o.getNumericValue() : 0; }

std::string EncodingOf(QPDFObjectHandle font)
{
    QPDFObjectHandle e = font.getKey("/Encoding");
    if (e.isName()) return e.getName();
    if (e.isDictionary()) return "/Differences";
    return "";
}

// Collects rectangles, image placements and texts from one page's content stream.
class ContentReader : public QPDFObjectHandle::ParserCallbacks {
public:
    ContentReader(QPDFObjectHandle resources, PageContent* page)
        : resources_(resources), page_(page)
    {
    }

    void handleObject(QPDFObjectHandle o) override
    {
        if (!o.isOperator()) {
            operands_.push_back(o);
            return;
        }
        std::string op = o.getOperatorValue();
        auto n = [&](size_t i) { return i < operands_.size() ? Number(operands_[i]) : 0; };
        if (op == "re") {
            pendingRect_ = {n(0), n(1), n(2), n(3), false};
            havePendingRect_ = true;
        } else if ((op == "f" || op == "S") && havePendingRect_) {
            pendingRect_.filled = op == "f";
            page_->rects.push_back(pendingRect_);
            havePendingRect_ = false;
        } else if (op == "cm") {
            for (int i = 0; i < 6; ++i) matrix_[i] = n(i);
        } else if (op == "Do" && !operands_.empty()) {
            QPDFObjectHandle image =
                resources_.getKey("/XObject").getKey(operands_[0].getName()).getDict();
            page_->images.push_back({matrix_[4], matrix_[5], matrix_[0], matrix_[3],
                                     (int)Number(image.getKey("/Width")),
                                     (int)Number(image.getKey("/Height"))});
        } else if (op == "Tf" && operands_.size() == 2) {
            font_ = resources_.getKey("/Font").getKey(operands_[0].getName());
            fontSize_ = n(1);
        } else if (op == "Td") {
            textX_ += n(0);
            textY_ += n(1);
        } else if (op == "Tm") {
            textX_ = n(4);
            textY_ = n(5);
        } else if (op == "BT") {
            textX_ = textY_ = 0;
        } else if ((op == "Tj" || op == "'") && !operands_.empty()) {
            std::string base;
            if (font_.isDictionary() && font_.getKey("/BaseFont").isName())
                base = font_.getKey("/BaseFont").getName();
            page_->texts.push_back({operands_[0].getStringValue(), textX_, textY_, fontSize_,
                                    font_.isDictionary() ? EncodingOf(font_) : "", base});
        }
        operands_.clear();
    }
    void handleEOF() override {}

private:
    QPDFObjectHandle resources_;
    PageContent* page_;
    std::vector<QPDFObjectHandle> operands_;
    DrawnRect pendingRect_ = {};
    bool havePendingRect_ = false;
    double matrix_[6] = {1, 0, 0, 1, 0, 0};
    QPDFObjectHandle font_;
    double fontSize_ = 0, textX_ = 0, textY_ = 0;
};

}  // namespace

PdfReadBack ReadPdf(const std::string& path, const char* password)
{
    PdfReadBack result;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(path.c_str(), password);
        result.opened = true;
        QPDF::encryption_method_e stream, string, file;
        result.encrypted = pdf.isEncrypted(result.R, result.P, result.V, stream, string, file);
        result.aes256 = result.encrypted && stream == QPDF::e_aesv3 && string == QPDF::e_aesv3;
        QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
        if (info.isDictionary())
            for (const std::string& key : info.getKeys())
                if (info.getKey(key).isString())
                    result.info[key] = info.getKey(key).getStringValue();
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            PageContent content = {};
            QPDFObjectHandle box = page.getObjectHandle().getKey("/MediaBox");
            for (int i = 0; i < 4; ++i) content.mediaBox[i] = Number(box.getArrayItem(i));
            QPDFObjectHandle stream = page.getObjectHandle().getKey("/Contents");
            if (stream.isStream()) {
                QPDFObjectHandle filter = stream.getDict().getKey("/Filter");
                if (filter.isArray() && filter.getArrayNItems() == 1)
                    filter = filter.getArrayItem(0);
                if (filter.isName()) content.contentFilter = filter.getName();
            }
            ContentReader reader(page.getAttribute("/Resources", false), &content);
            page.parseContents(&reader);
            result.pages.push_back(content);
        }
    } catch (const std::exception& e) {
        result.error = e.what();
    }
    return result;
}

FIBITMAP* RenderPage(const std::string& path, int page, int dpi, const char* password)
{
    std::string prefix = path + ".render";
    std::ostringstream command;
    command << "pdftoppm -q -singlefile -png -r " << dpi << " -f " << page << " -l " << page;
    if (password && *password) command << " -upw '" << password << "'";
    command << " '" << path << "' '" << prefix << "' 2>/dev/null";
    if (system(command.str().c_str()) != 0) return nullptr;
    std::string png = prefix + ".png";
    FIBITMAP* loaded = FreeImage_Load(FIF_PNG, png.c_str(), 0);
    remove(png.c_str());
    if (!loaded) return nullptr;
    FIBITMAP* rgb = FreeImage_ConvertTo24Bits(loaded);
    FreeImage_Unload(loaded);
    return rgb;
}

Rgb PixelAt(FIBITMAP* bitmap, unsigned x, unsigned y)
{
    RGBQUAD q = {};
    FreeImage_GetPixelColor(bitmap, x, FreeImage_GetHeight(bitmap) - 1 - y, &q);
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

bool Near(Rgb a, Rgb b, int tolerance)
{
    return abs(a.red - b.red) <= tolerance && abs(a.green - b.green) <= tolerance &&
           abs(a.blue - b.blue) <= tolerance;
}

bool FakeHost::ReadFileBytes(const char* path, std::vector<uint8_t>* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool FakeHost::FileExists(const char* path) { return pdftest::FileExists(path); }

bool FakeHost::StartFile(const char* path)
{
    ++writes;
    events.push_back("write");
    if (leaveJunk) WriteFileReplacing(path, (const uint8_t*)"%PDF-junk", 9);
    path_ = path;
    file_.clear();
    return true;
}

bool FakeHost::WriteToFile(const uint8_t* data, size_t size)
{
    file_.append((const char*)data, size);
    return !failWrites;
}

bool FakeHost::EndFile(bool keep)
{
    return keep && WriteFileReplacing(path_.c_str(), (const uint8_t*)file_.data(), file_.size());
}

bool FakeHost::SpoolAppend(const uint8_t* data, size_t size, uint64_t* offset)
{
    *offset = spool.size();
    spool.append((const char*)data, size);
    return true;
}

bool FakeHost::SpoolRead(uint64_t offset, uint8_t* data, size_t size)
{
    if (offset + size > spool.size()) return false;
    memcpy(data, spool.data() + offset, size);
    return true;
}

bool FakeHost::DeleteFileAt(const char* path)
{
    deleted.push_back(path);
    return remove(path) == 0;
}

void FakeHost::SetProgressRange(int count)
{
    progressRange = count;
    events.push_back("range");
}

void FakeHost::StepProgress()
{
    ++steps;
    events.push_back("step");
}

void FakeHost::ResetProgress()
{
    ++resets;
    events.push_back("reset");
}

void FakeHost::SetMessageLine(const char* text)
{
    messages.push_back(text);
    events.push_back(std::string("message:") + text);
}

bool FakeHost::PumpAndContinue()
{
    ++pumps;
    events.push_back("pump");
    return continuePumps < 0 || pumps <= continuePumps;
}

void FakeHost::ShowFailure(const char* message) { failures.push_back(message); }

ImageEntry Entry(const std::string& path, const char* caption, int rotation, int flips)
{
    ImageEntry entry = MakeImageEntry(0, path.c_str(), PictureRect{0, 0, 96, 96});
    SetEntryCaption(&entry, caption);
    entry.rotation = rotation;
    entry.flips = flips;
    return entry;
}

}  // namespace pdftest
