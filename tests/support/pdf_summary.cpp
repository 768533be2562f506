#include "pdf_summary.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>

static double Number(QPDFObjectHandle o)
{
    return o.isNumber() ? o.getNumericValue() : 0;
}

PdfSummary SummarizePdf(const std::vector<uint8_t>& bytes, const char* password)
{
    PdfSummary summary;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("written.pdf", reinterpret_cast<const char*>(bytes.data()),
                              bytes.size(), password);
        summary.opened = true;
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            PdfPageSummary p;
            QPDFObjectHandle box = page.getAttribute("/MediaBox", false);
            if (box.isArray() && box.getArrayNItems() == 4) {
                p.width = Number(box.getArrayItem(2)) - Number(box.getArrayItem(0));
                p.height = Number(box.getArrayItem(3)) - Number(box.getArrayItem(1));
            }
            p.images = (int)page.getImages().size();
            summary.pages.push_back(p);
        }
    } catch (const std::exception& e) {
        summary.opened = false;
        summary.error = e.what();
    }
    return summary;
}
