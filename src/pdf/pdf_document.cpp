// A PDF document on libharu (pages, images, text), written again by libqpdf (spooled
// pictures, encryption).
#include "pdf/pdf_document.h"

#include "model/pdf_settings.h"
#include "picture/byte_order.h"
#include "picture/jpeg_segments.h"

#include <hpdf.h>
#include <hpdf_doc.h>      // the document's stream, see SaveToMemory
#include <hpdf_pages.h>    // HPDF_Page_SetFilter: per-page compression
#include <hpdf_streams.h>  // HPDF_CallbackWriter_New
#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const double LargestCoordinate = 32767;  // libharu's limit for real numbers
const char CaptionFontName[] = "Helvetica";
const double LargestTextSize = 10, SmallestTextSize = 4;
const int PermissionBase = (int)0xFFFFF0C0u;  // reserved bits of /P that are always 1

int TextCodePage = 1252;

bool IsCoordinate(double v) { return std::isfinite(v) && std::fabs(v) <= LargestCoordinate; }

bool IsRectangle(double left, double top, double width, double height)
{
    return IsCoordinate(left) && IsCoordinate(top) && IsCoordinate(width) &&
           IsCoordinate(height) && width >= 0 && height >= 0 && IsCoordinate(top - height);
}

HPDF_REAL Colour(double c)
{
    if (!std::isfinite(c)) return 0;
    return (HPDF_REAL)std::min(1.0, std::max(0.0, c));
}

// The caption font for the text code page. Single-byte pages use Helvetica with libharu's
// encoder of that page; the East Asian double-byte pages use libharu's built-in CJK fonts
// with the CMap that reads the page's bytes as they are.
struct CaptionFace {
    int codePage;
    HPDF_STATUS (*useFonts)(HPDF_Doc);
    HPDF_STATUS (*useEncodings)(HPDF_Doc);
    const char* font;
    const char* encoding;
};
const CaptionFace CjkFaces[] = {
    {932, HPDF_UseJPFonts, HPDF_UseJPEncodings, "MS-Gothic", "90ms-RKSJ-H"},
    {936, HPDF_UseCNSFonts, HPDF_UseCNSEncodings, "SimHei", "GBK-EUC-H"},
    {949, HPDF_UseKRFonts, HPDF_UseKREncodings, "Dotum", "KSCms-UHC-H"},
    {950, HPDF_UseCNTFonts, HPDF_UseCNTEncodings, "MingLiU", "ETen-B5-H"},
};

const CaptionFace* CjkFace(int codePage)
{
    for (const CaptionFace& face : CjkFaces)
        if (face.codePage == codePage) return &face;
    return nullptr;
}

const char* EncodingName(int codePage)
{
    static const char* const Names[] = {"CP1250", "CP1251", "WinAnsiEncoding",
                                        "CP1253", "CP1254", "CP1255",
                                        "CP1256", "CP1257", "CP1258"};
    if (codePage >= 1250 && codePage <= 1258) return Names[codePage - 1250];
    return "WinAnsiEncoding";
}

// A spooled picture's place in the document: a JPEG of its frame header alone (libharu
// reads the size and colours from it), led by a comment naming where the picture waits.
const char SpoolTag[] = "Tolvane spool";
const size_t SpoolTagSize = sizeof SpoolTag - 1;

std::vector<uint8_t> SpoolStandIn(const uint8_t* jpeg, size_t frameAt, uint64_t offset,
                                  uint64_t size)
{
    std::vector<uint8_t> out = {0xFF, 0xD8, 0xFF, 0xFE};
    AppendBigEndian(&out, 2 + SpoolTagSize + 16, 2);
    out.insert(out.end(), SpoolTag, SpoolTag + SpoolTagSize);
    AppendBigEndian(&out, offset, 8);
    AppendBigEndian(&out, size, 8);
    const size_t frameSize = 2 + Be16(jpeg + frameAt + 2);
    out.insert(out.end(), jpeg + frameAt, jpeg + frameAt + frameSize);
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

struct SpoolPlace {
    uint64_t offset, size;
};

bool ReadStandIn(const Buffer& data, SpoolPlace* place)
{
    const size_t head = 6 + SpoolTagSize;
    if (data.getSize() < head + 16) return false;
    const uint8_t* p = data.getBuffer();
    if (p[0] != 0xFF || p[1] != 0xD8 || p[2] != 0xFF || p[3] != 0xFE ||
        memcmp(p + 6, SpoolTag, SpoolTagSize) != 0)
        return false;
    *place = SpoolPlace{ReadBigEndian(p + head, 8), ReadBigEndian(p + head + 8, 8)};
    return true;
}

// Hands qpdf the spooled pictures while it writes, a piece at a time.
class SpoolReader : public QPDFObjectHandle::StreamDataProvider {
public:
    explicit SpoolReader(PdfImageSpool& spool) : spool_(spool) {}
    std::map<QPDFObjGen, SpoolPlace> places;

    void provideStreamData(QPDFObjGen const& og, Pipeline* pipeline) override
    {
        const SpoolPlace place = places.at(og);
        std::vector<uint8_t> piece(256 * 1024);
        for (uint64_t done = 0; done < place.size;) {
            const size_t n = (size_t)std::min<uint64_t>(piece.size(), place.size - done);
            if (!spool_.Read(place.offset + done, piece.data(), n))
                throw std::runtime_error("spool read failed");
            pipeline->write(piece.data(), n);
            done += n;
        }
        pipeline->finish();
    }

private:
    PdfImageSpool& spool_;
};

// Receives the document's bytes as libharu writes them.
HPDF_STATUS CollectBytes(HPDF_Stream stream, const HPDF_BYTE* data, HPDF_UINT size)
{
    try {
        auto* out = static_cast<std::vector<uint8_t>*>(stream->attr);
        out->insert(out->end(), data, data + size);
        return HPDF_OK;
    } catch (const std::exception&) {  // never through libharu's C frames
        return HPDF_FAILD_TO_ALLOC_MEM;
    }
}

// Passes qpdf's output on to the document's output; a refusal stops the writing.
class OutputSink : public Pipeline {
public:
    explicit OutputSink(PdfOutput& output) : Pipeline("tolvane output", nullptr), output_(output)
    {
    }
    void write(unsigned char const* data, size_t len) override
    {
        if (!output_.Write(data, len)) throw std::runtime_error("output refused the bytes");
    }
    void finish() override {}

private:
    PdfOutput& output_;
};

bool Allowed(int permissions, int bit) { return (permissions & bit) != 0; }

// Failures come back to the caller as status codes.
void IgnoreHaruError(HPDF_STATUS, HPDF_STATUS, void*) {}

}  // namespace

struct PdfDocument::Parts {
    Parts(PdfOutput& o, PdfImageSpool& s) : output(o), spool(s) {}
    ~Parts()
    {
        if (doc) HPDF_Free(doc);
    }

    PdfOutput& output;
    PdfImageSpool& spool;
    HPDF_Doc doc = nullptr;
    HPDF_Page page = nullptr;  // the current page; none once written
    std::vector<HPDF_Image> images;
    HPDF_Image currentImage = nullptr;
    HPDF_Font font = nullptr;
    size_t pageCount = 1;
    bool opened = false;
    bool spooled = false;  // some pictures wait in the spool
    bool encrypt = false;
    bool encryptionRefused = false;  // asked for with passwords that are not there
    bool damaged = false;
    std::string ownerPassword, userPassword;
    int permissions = 0;

    bool Fail()
    {
        damaged = true;
        return false;
    }
    // Records a libharu failure and clears libharu's error state so the document stays
    // usable.
    bool Check(HPDF_STATUS status)
    {
        if (status == HPDF_OK) return true;
        HPDF_ResetError(doc);
        return Fail();
    }
    // The current page of a document not written yet.
    HPDF_Page Page()
    {
        if (!page) Fail();
        return page;
    }
    HPDF_Page PageFor(double left, double top, double width, double height)
    {
        if (!page || !IsRectangle(left, top, width, height)) return Fail(), nullptr;
        return page;
    }
    HPDF_Font CaptionFont();
    void DrawRect(double left, double top, double width, double height,
                  HPDF_STATUS (*paint)(HPDF_Page));
    bool SaveToMemory(std::vector<uint8_t>* out);
    void SetEncryption(QPDFWriter* writer);
    bool Rewrite(const std::vector<uint8_t>& plain);
};

HPDF_Font PdfDocument::Parts::CaptionFont()
{
    if (!font) {
        if (const CaptionFace* face = CjkFace(TextCodePage)) {
            if (face->useFonts(doc) == HPDF_OK && face->useEncodings(doc) == HPDF_OK)
                font = HPDF_GetFont(doc, face->font, face->encoding);
        } else {
            font = HPDF_GetFont(doc, CaptionFontName, EncodingName(TextCodePage));
        }
        if (!font) {
            HPDF_ResetError(doc);
            font = HPDF_GetFont(doc, CaptionFontName, "WinAnsiEncoding");
        }
    }
    return font;
}

// The whole document as PDF bytes. libharu saves only into a memory stream of its own,
// a second copy of the PDF beside ours; a callback stream in its place (the document's
// `stream` member, public in hpdf_doc.h) hands the bytes straight over. What the
// document held is released at once: nothing more can be added afterwards.
bool PdfDocument::Parts::SaveToMemory(std::vector<uint8_t>* out)
{
    try {
        out->reserve(pageCount * 4096 + 65536);
    } catch (const std::exception&) {
        // no room to reserve: the vector grows as the bytes come
    }
    HPDF_Stream sink = HPDF_CallbackWriter_New(doc->mmgr, CollectBytes, out);
    if (!sink) {
        HPDF_ResetError(doc);
        return false;
    }
    if (doc->stream) HPDF_Stream_Free(doc->stream);
    doc->stream = sink;
    const bool saved = Check(HPDF_SaveToStream(doc)) && !out->empty();
    HPDF_FreeDocAll(doc);
    page = nullptr;
    currentImage = nullptr;
    images.clear();
    font = nullptr;
    return saved;
}

void PdfDocument::Parts::SetEncryption(QPDFWriter* writer)
{
    const int p = permissions;
    qpdf_r3_print_e print = !Allowed(p, 1 << 2)  ? qpdf_r3p_none
                            : Allowed(p, 1 << 11) ? qpdf_r3p_full
                                                  : qpdf_r3p_low;
    writer->setR6EncryptionParameters(
        userPassword.c_str(), ownerPassword.c_str(), Allowed(p, 1 << 9), Allowed(p, 1 << 4),
        Allowed(p, 1 << 10), Allowed(p, 1 << 5), Allowed(p, 1 << 8), Allowed(p, 1 << 3), print,
        true);
}

// libharu's document written again by libqpdf, straight to the output: the spooled
// pictures come in as it writes them (one at a time in memory), and encryption, when
// asked for, is AES-256 (revision 6): libharu offers only RC4 and AES-128, and refuses an
// owner password equal to the user password.
bool PdfDocument::Parts::Rewrite(const std::vector<uint8_t>& plain)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("document", (const char*)plain.data(), plain.size());
        auto reader = std::make_shared<SpoolReader>(spool);
        for (QPDFObjectHandle object : pdf.getAllObjects()) {
            SpoolPlace place;
            if (!object.isStream() || !object.getDict().getKey("/Subtype").isNameAndEquals("/Image") ||
                !ReadStandIn(*object.getRawStreamData(), &place))
                continue;
            reader->places[object.getObjGen()] = place;
            object.replaceStreamData(reader, QPDFObjectHandle::newName("/DCTDecode"),
                                     QPDFObjectHandle::newNull());
        }
        QPDFWriter writer(pdf);
        OutputSink sink(output);
        writer.setOutputPipeline(&sink);
        writer.setDecodeLevel(qpdf_dl_none);  // libharu's streams are kept as they are
        if (encrypt) SetEncryption(&writer);
        writer.write();
        return true;
    } catch (const std::exception&) {
        return Fail();
    }
}

PdfDocument::PdfDocument(PdfOutput& output, PdfImageSpool& spool)
    : parts_(new Parts(output, spool))
{
    Parts& d = *parts_;
    d.doc = HPDF_New(IgnoreHaruError, nullptr);
    if (!d.doc) return;
    d.page = HPDF_AddPage(d.doc);
    double width = 0, height = 0;
    PaperSizeInPoints("Letter", &width, &height);
    d.opened = d.page && HPDF_Page_SetWidth(d.page, (HPDF_REAL)width) == HPDF_OK &&
               HPDF_Page_SetHeight(d.page, (HPDF_REAL)height) == HPDF_OK;
    if (!d.opened) d.page = nullptr;
}

PdfDocument::~PdfDocument() = default;

bool PdfDocument::Opened() const { return parts_->opened; }

bool PdfDocument::Damaged() const { return parts_->damaged; }

void PdfDocument::SetInfoEntry(PdfInfoKey key, const char* text)
{
    static const HPDF_InfoType Types[] = {HPDF_INFO_AUTHOR,   HPDF_INFO_TITLE,
                                          HPDF_INFO_SUBJECT,  HPDF_INFO_KEYWORDS,
                                          HPDF_INFO_CREATOR,  HPDF_INFO_PRODUCER};
    Parts& d = *parts_;
    if (!d.Page()) return;
    if (!text || key < PdfInfoAuthor || key > PdfInfoProducer) return (void)d.Fail();
    d.Check(HPDF_SetInfoAttr(d.doc, Types[key], text));
}

void PdfDocument::SetPaper(const char* paperName)
{
    Parts& d = *parts_;
    HPDF_Page page = d.Page();
    if (!page) return;
    if (!paperName) return (void)d.Fail();
    static const char Landscape[] = " Landscape";
    std::string name = paperName;
    bool landscape = name.size() > strlen(Landscape) &&
                     name.compare(name.size() - strlen(Landscape), std::string::npos,
                                  Landscape) == 0;
    if (landscape) name.resize(name.size() - strlen(Landscape));
    double width, height;
    if (!PaperSizeInPoints(name.c_str(), &width, &height)) return (void)d.Fail();
    if (landscape) std::swap(width, height);
    d.Check(HPDF_Page_SetWidth(page, (HPDF_REAL)width));
    d.Check(HPDF_Page_SetHeight(page, (HPDF_REAL)height));
}

double PdfDocument::PageWidth() const
{
    return parts_->page ? HPDF_Page_GetWidth(parts_->page) : 0;
}

double PdfDocument::PageHeight() const
{
    return parts_->page ? HPDF_Page_GetHeight(parts_->page) : 0;
}

bool PdfDocument::AppendPage()
{
    Parts& d = *parts_;
    HPDF_Page before = d.Page();
    if (!before) return false;
    HPDF_Page page = HPDF_AddPage(d.doc);
    if (!page) return d.Check(HPDF_GetError(d.doc));
    d.page = page;
    ++d.pageCount;
    // A new page keeps the size of the page before it.
    d.Check(HPDF_Page_SetWidth(page, HPDF_Page_GetWidth(before)));
    d.Check(HPDF_Page_SetHeight(page, HPDF_Page_GetHeight(before)));
    return true;
}

void PdfDocument::SetFillRgb(double red, double green, double blue)
{
    Parts& d = *parts_;
    if (HPDF_Page page = d.Page())
        d.Check(HPDF_Page_SetRGBFill(page, Colour(red), Colour(green), Colour(blue)));
}

void PdfDocument::SetStrokeRgb(double red, double green, double blue)
{
    Parts& d = *parts_;
    if (HPDF_Page page = d.Page())
        d.Check(HPDF_Page_SetRGBStroke(page, Colour(red), Colour(green), Colour(blue)));
}

void PdfDocument::SetStrokeWidth(double width)
{
    Parts& d = *parts_;
    HPDF_Page page = d.Page();
    if (!page) return;
    if (!IsCoordinate(width) || width < 0) return (void)d.Fail();
    d.Check(HPDF_Page_SetLineWidth(page, (HPDF_REAL)width));
}

void PdfDocument::CompressPage()
{
    if (HPDF_Page page = parts_->Page()) HPDF_Page_SetFilter(page, HPDF_STREAM_FILTER_FLATE_DECODE);
}

int PdfDocument::AddJpeg(const uint8_t* data, size_t size)
{
    Parts& d = *parts_;
    if (!d.Page()) return 0;
    if (!data || size == 0 || size > INT32_MAX) return d.Fail(), 0;
    size_t frameAt = 0;
    if (!IsEmbeddableJpeg(data, size, &frameAt)) return 0;  // refused; the document stays as it was
    uint64_t offset = 0;
    if (!d.spool.Append(data, size, &offset)) return d.Fail(), 0;
    return AddSpooledJpeg(data, size, offset, size);
}

int PdfDocument::AddSpooledJpeg(const uint8_t* head, size_t headSize, uint64_t offset, uint64_t size)
{
    Parts& d = *parts_;
    if (!d.Page()) return 0;
    if (!head || headSize == 0 || size == 0) return d.Fail(), 0;
    size_t frameAt = 0;
    if (!IsEmbeddableJpeg(head, headSize, &frameAt)) return 0;  // refused; the document stays as it was
    // The picture waits in the spool; the document keeps a stand-in.
    std::vector<uint8_t> standIn;
    try {
        standIn = SpoolStandIn(head, frameAt, offset, size);
    } catch (const std::exception&) {
        return d.Fail(), 0;
    }
    HPDF_Image image = HPDF_LoadJpegImageFromMem(d.doc, standIn.data(), (HPDF_UINT)standIn.size());
    if (!image) {
        const HPDF_STATUS error = HPDF_GetError(d.doc);
        if (error == HPDF_FAILD_TO_ALLOC_MEM) return d.Check(error), 0;
        HPDF_ResetError(d.doc);
        return 0;  // libharu's own reading refused it
    }
    d.images.push_back(image);
    d.spooled = true;
    return (int)d.images.size();
}

void PdfDocument::UseImage(int imageId)
{
    Parts& d = *parts_;
    if (!d.Page()) return;
    bool known = imageId >= 1 && (size_t)imageId <= d.images.size();
    d.currentImage = known ? d.images[imageId - 1] : nullptr;
    if (!known) d.Fail();
}

void PdfDocument::Parts::DrawRect(double left, double top, double width, double height,
                                  HPDF_STATUS (*paint)(HPDF_Page))
{
    HPDF_Page at = PageFor(left, top, width, height);
    if (at && Check(HPDF_Page_Rectangle(at, (HPDF_REAL)left, (HPDF_REAL)(top - height),
                                        (HPDF_REAL)width, (HPDF_REAL)height)))
        Check(paint(at));
}

void PdfDocument::FillRect(double left, double top, double width, double height)
{
    parts_->DrawRect(left, top, width, height, HPDF_Page_Fill);
}

void PdfDocument::StrokeRect(double left, double top, double width, double height)
{
    parts_->DrawRect(left, top, width, height, HPDF_Page_Stroke);
}

bool PdfDocument::PlaceImage(double left, double top, double width, double height,
                             const PictureTurn& turn)
{
    Parts& d = *parts_;
    HPDF_Page page = d.PageFor(left, top, width, height);
    if (!page) return false;
    if (!d.currentImage) return d.Fail();
    const double bottom = top - height;
    if (turn.None())
        return d.Check(HPDF_Page_DrawImage(page, d.currentImage, (HPDF_REAL)left, (HPDF_REAL)bottom,
                                           (HPDF_REAL)width, (HPDF_REAL)height));
    // The image's unit square (u across, v up) mapped onto the rectangle: a corner of the
    // stored picture, x across and y down, lands where the turn takes it.
    auto corner = [&](double u, double v, double* x, double* y) {
        double across = u, down = 1 - v;
        if (turn.transpose) std::swap(across, down);
        if (turn.mirrorAcross) across = 1 - across;
        if (turn.mirrorDown) down = 1 - down;
        *x = left + across * width;
        *y = top - down * height;
    };
    double x0, y0, x1, y1, x2, y2;
    corner(0, 0, &x0, &y0);
    corner(1, 0, &x1, &y1);
    corner(0, 1, &x2, &y2);
    return d.Check(HPDF_Page_GSave(page)) &&
           d.Check(HPDF_Page_Concat(page, (HPDF_REAL)(x1 - x0), (HPDF_REAL)(y1 - y0),
                                    (HPDF_REAL)(x2 - x0), (HPDF_REAL)(y2 - y0), (HPDF_REAL)x0,
                                    (HPDF_REAL)y0)) &&
           d.Check(HPDF_Page_ExecuteXObject(page, d.currentImage)) && d.Check(HPDF_Page_GRestore(page));
}

void PdfDocument::DrawTextInBox(double left, double top, double width, double height,
                                const char* text)
{
    Parts& d = *parts_;
    HPDF_Page page = d.PageFor(left, top, width, height);
    if (!page) return;
    if (!text) return (void)d.Fail();
    HPDF_Font font = d.CaptionFont();
    if (!font || !*text || width <= 0 || height <= 0) return;
    std::string line(text, strnlen(text, HPDF_LIMIT_MAX_STRING_LEN));
    const double ascent = HPDF_Font_GetAscent(font) / 1000.0;
    const double descent = -HPDF_Font_GetDescent(font) / 1000.0;
    // As large as the box allows, smaller when the line is too wide, cut at the smallest.
    double size = std::min(LargestTextSize, height / (ascent + descent));
    double lineWidth = HPDF_Font_TextWidth(font, (const HPDF_BYTE*)line.data(),
                                           (HPDF_UINT)line.size()).width / 1000.0;
    if (lineWidth * size > width) size = width / lineWidth * 0.999;
    if (size < SmallestTextSize) {
        size = SmallestTextSize;
        HPDF_UINT fits = HPDF_Font_MeasureText(font, (const HPDF_BYTE*)line.data(),
                                               (HPDF_UINT)line.size(), (HPDF_REAL)width,
                                               (HPDF_REAL)size, 0, 0, HPDF_FALSE, nullptr);
        line.resize(fits);
        if (line.empty()) return;
        lineWidth = HPDF_Font_TextWidth(font, (const HPDF_BYTE*)line.data(),
                                        (HPDF_UINT)line.size()).width / 1000.0;
    }
    double x = left + (width - lineWidth * size) / 2;
    double baseline = top - height / 2 - (ascent - descent) * size / 2;
    // Black, whatever fill the cells use: a caption in the cell's grey reads poorly.
    if (!d.Check(HPDF_Page_GSave(page))) return;
    d.Check(HPDF_Page_SetRGBFill(page, 0, 0, 0));
    if (d.Check(HPDF_Page_BeginText(page))) {
        if (d.Check(HPDF_Page_SetFontAndSize(page, font, (HPDF_REAL)size)))
            d.Check(HPDF_Page_TextOut(page, (HPDF_REAL)x, (HPDF_REAL)baseline, line.c_str()));
        d.Check(HPDF_Page_EndText(page));
    }
    d.Check(HPDF_Page_GRestore(page));
}

void PdfDocument::Encrypt(const char* ownerPassword, const char* userPassword, int permissions)
{
    Parts& d = *parts_;
    if (!d.Page()) return;
    if (!ownerPassword || !userPassword) {
        d.encryptionRefused = true;
        return (void)d.Fail();
    }
    d.encrypt = true;
    d.ownerPassword = ownerPassword;  // revision 6 takes UTF-8, as given
    d.userPassword = userPassword;
    d.permissions = permissions;
}

bool PdfDocument::Write(const char* path)
{
    Parts& d = *parts_;
    if (!d.Page()) return false;
    if (!path || !*path || d.encryptionRefused || d.damaged) return d.Fail();
    std::vector<uint8_t> bytes;
    if (!d.SaveToMemory(&bytes) || !d.output.Start(path)) return false;
    const bool written = d.spooled || d.encrypt ? d.Rewrite(bytes)
                                                : d.output.Write(bytes.data(), bytes.size());
    std::vector<uint8_t>().swap(bytes);
    return d.output.End(written) && written;
}

int PdfMakePermissions(int print, int modify, int copy, int annotate, int fillForms,
                       int accessibility, int assemble, int printFullQuality)
{
    const int flags[8] = {print, modify, copy, annotate, fillForms,
                          accessibility, assemble, printFullQuality};
    const int bits[8] = {2, 3, 4, 5, 8, 9, 10, 11};  // bit numbers of /P, counted from 0
    int value = PermissionBase;
    for (int i = 0; i < 8; ++i)
        if (flags[i] == 1) value |= 1 << bits[i];
    return value;
}

void PdfSetTextCodePage(int codePage)
{
    bool known = (codePage >= 1250 && codePage <= 1258) || CjkFace(codePage);
    TextCodePage = known ? codePage : 1252;
}
