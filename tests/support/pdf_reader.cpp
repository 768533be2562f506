#include "support/pdf_reader.h"

#include <FreeImage.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <cstdio>
#include <fstream>
#include <iterator>

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
        if (op == "re") {
            rect_ = {n(0), n(1), n(2), n(3), false, 0, 0};
        } else if (op == "f" || op == "S") {
            rect_.filled = op == "f";
            page_->rects.push_back(rect_);
        } else if (op == "cm") {
            for (int i = 0; i < 6; ++i) m_[i] = n(i);
        } else if (op == "Do" && !operands_.empty()) {
            QPDFObjectHandle image =
                res_.getKey("/XObject").getKey(operands_[0].getName()).getDict();
            page_->images.push_back({m_[4], m_[5], m_[0], m_[3], true,
                                     (int)Number(image.getKey("/Width")),
                                     (int)Number(image.getKey("/Height"))});
        } else if (op == "Tf" && !operands_.empty()) {
            QPDFObjectHandle e = res_.getKey("/Font").getKey(operands_[0].getName()).getKey("/Encoding");
            encoding_ = e.isName() ? e.getName() : "";
        } else if (op == "Td") {
            x_ += n(0), y_ += n(1);
        } else if (op == "BT") {
            x_ = y_ = 0;
        } else if (op == "Tj" && !operands_.empty()) {
            page_->texts.push_back({operands_[0].getStringValue(), x_, y_, encoding_});
        }
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
    std::ifstream in(path, std::ios::binary);
    return ReadPdf(std::string(std::istreambuf_iterator<char>(in), {}), password);
}

std::vector<FIBITMAP*> RenderPages(const std::string& path, int dpi)
{
    std::string prefix = path + ".page";
    std::string command = "pdftoppm -q -png -r " + std::to_string(dpi) + " '" + path + "' '" +
                          prefix + "' 2>/dev/null";
    std::vector<FIBITMAP*> pages;
    if (system(command.c_str()) != 0) return pages;
    int pageCount = (int)ReadPdfFile(path).pages.size();
    int digits = (int)std::to_string(pageCount).size();
    for (int i = 1; i <= pageCount; i++) {
        char name[32];
        snprintf(name, sizeof name, "-%0*d.png", digits, i);
        std::string png = prefix + name;
        FIBITMAP* loaded = FreeImage_Load(FIF_PNG, png.c_str(), 0);
        remove(png.c_str());
        if (!loaded) break;
        pages.push_back(FreeImage_ConvertTo24Bits(loaded));
        FreeImage_Unload(loaded);
    }
    return pages;
}
