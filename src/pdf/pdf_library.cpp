// PDF operations on libharu (pages, images, text) and libqpdf (encryption).
#include "pdf/pdf_library.h"

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
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const double LargestCoordinate = 32767;  // libharu's limit for real numbers
const char CaptionFontName[] = "Helvetica";
const double LargestTextSize = 10, SmallestTextSize = 4;
const int PermissionBase = (int)0xFFFFF0C0u;  // reserved bits of /P that are always 1

struct OpenDocument {
    int id = 0;
    HPDF_Doc doc = nullptr;
    HPDF_Page page = nullptr;  // the current page
    std::vector<HPDF_Image> images;
    HPDF_Image currentImage = nullptr;
    HPDF_Font font = nullptr;
    size_t jpegBytes = 0;  // the pictures' bytes held by the document
    bool spooled = false;  // some pictures wait in the spool
    size_t pageCount = 1;
    bool spent = false;    // written: its content has been released
    bool encrypt = false;
    bool encryptionRefused = false;  // asked for a strength we do not offer
    bool damaged = false;  // an operation failed: the pages are not what was asked for
    std::string ownerPassword, userPassword;
    int permissions = 0;
};

OpenDocument* Open = nullptr;
int LastDocumentId = 0;
unsigned long LastError = 0;
int TextCodePage = 1252;
PdfFileWriter Writer = nullptr;
void* WriterContext = nullptr;
PdfOutput* Output = nullptr;
PdfImageSpool* Spool = nullptr;

void OnHaruError(HPDF_STATUS error, HPDF_STATUS detail, void* context)
{
    LastError = error;  // recorded only: libharu returns the error code to our caller
}

// Records a libharu failure and clears libharu's error state so the document stays usable.
bool Check(HPDF_STATUS status)
{
    if (status == HPDF_OK) return true;
    LastError = status;
    if (Open) {
        HPDF_ResetError(Open->doc);
        Open->damaged = true;
    }
    return false;
}

void Fail(unsigned long error)
{
    LastError = error;
    if (Open) Open->damaged = true;
}

// An open document that has not been written yet.
bool Usable()
{
    if (Open && !Open->spent) return true;
    Fail(PdfErrorNoDocument);
    return false;
}

HPDF_Page CurrentPage()
{
    if (!Open || !Open->page) {
        Fail(PdfErrorNoDocument);
        return nullptr;
    }
    return Open->page;
}

bool IsCoordinate(double v) { return std::isfinite(v) && std::fabs(v) <= LargestCoordinate; }

bool IsRectangle(double left, double top, double width, double height)
{
    bool ok = IsCoordinate(left) && IsCoordinate(top) && IsCoordinate(width) &&
              IsCoordinate(height) && width >= 0 && height >= 0 &&
              IsCoordinate(top - height);
    if (!ok) Fail(PdfErrorBadArgument);
    return ok;
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

HPDF_Font CaptionFont()
{
    if (!Open->font) {
        if (const CaptionFace* face = CjkFace(TextCodePage)) {
            if (face->useFonts(Open->doc) == HPDF_OK && face->useEncodings(Open->doc) == HPDF_OK)
                Open->font = HPDF_GetFont(Open->doc, face->font, face->encoding);
        } else {
            Open->font = HPDF_GetFont(Open->doc, CaptionFontName, EncodingName(TextCodePage));
        }
        if (!Open->font) {
            HPDF_ResetError(Open->doc);
            Open->font = HPDF_GetFont(Open->doc, CaptionFontName, "WinAnsiEncoding");
        }
    }
    return Open->font;
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
    explicit SpoolReader(PdfImageSpool* spool) : spool_(spool) {}
    std::map<QPDFObjGen, SpoolPlace> places;

    void provideStreamData(QPDFObjGen const& og, Pipeline* pipeline) override
    {
        const SpoolPlace place = places.at(og);
        std::vector<uint8_t> piece(256 * 1024);
        for (uint64_t done = 0; done < place.size;) {
            const size_t n = (size_t)std::min<uint64_t>(piece.size(), place.size - done);
            if (!spool_->Read(place.offset + done, piece.data(), n))
                throw std::runtime_error("spool read failed");
            pipeline->write(piece.data(), n);
            done += n;
        }
        pipeline->finish();
    }

private:
    PdfImageSpool* spool_;
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

// The whole document as PDF bytes. libharu saves only into a memory stream of its own,
// a second copy of the PDF beside ours; a callback stream in its place (the document's
// `stream` member, public in hpdf_doc.h) hands the bytes straight over. The pictures
// held by the document are released at once: the document is spent afterwards.
bool SaveToMemory(std::vector<uint8_t>* out)
{
    try {
        out->reserve(Open->jpegBytes + Open->pageCount * 4096 + 65536);
    } catch (const std::exception&) {
        // no room to reserve: the vector grows as the bytes come
    }
    HPDF_Stream sink = HPDF_CallbackWriter_New(Open->doc->mmgr, CollectBytes, out);
    if (!sink) {
        HPDF_ResetError(Open->doc);
        return false;
    }
    if (Open->doc->stream) HPDF_Stream_Free(Open->doc->stream);
    Open->doc->stream = sink;
    const bool saved = Check(HPDF_SaveToStream(Open->doc)) && !out->empty();
    HPDF_FreeDocAll(Open->doc);
    Open->page = nullptr;
    Open->currentImage = nullptr;
    Open->images.clear();
    Open->font = nullptr;
    Open->spent = true;
    return saved;
}

// Passes qpdf's output on to the installed output; a refusal stops the writing.
class OutputSink : public Pipeline {
public:
    explicit OutputSink(PdfOutput* output) : Pipeline("tolvane output", nullptr), output_(output)
    {
    }
    void write(unsigned char const* data, size_t len) override
    {
        if (!output_->Write(data, len)) throw std::runtime_error("output refused the bytes");
    }
    void finish() override {}

private:
    PdfOutput* output_;
};

// Collects the whole file for a PdfFileWriter.
class WholeFileOutput : public PdfOutput {
public:
    bool Start(const char* path) override
    {
        path_ = path;
        return true;
    }
    bool Write(const uint8_t* data, size_t size) override
    {
        try {
            bytes_.insert(bytes_.end(), data, data + size);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
    bool End(bool keep) override
    {
        return keep && Writer(path_.c_str(), bytes_.data(), bytes_.size(), WriterContext);
    }

private:
    std::string path_;
    std::vector<uint8_t> bytes_;
};

bool Allowed(int permissions, int bit) { return (permissions & bit) != 0; }

void SetEncryption(QPDFWriter* writer)
{
    int p = Open->permissions;
    qpdf_r3_print_e print = !Allowed(p, 1 << 2)  ? qpdf_r3p_none
                            : Allowed(p, 1 << 11) ? qpdf_r3p_full
                                                  : qpdf_r3p_low;
    writer->setR6EncryptionParameters(
        Open->userPassword.c_str(), Open->ownerPassword.c_str(), Allowed(p, 1 << 9),
        Allowed(p, 1 << 4), Allowed(p, 1 << 10), Allowed(p, 1 << 5), Allowed(p, 1 << 8),
        Allowed(p, 1 << 3), print, true);
}

// libharu's document written again by libqpdf, straight to the output: the spooled
// pictures come in as it writes them (one at a time in memory), and encryption, when
// asked for, is AES-256 (revision 6): libharu offers only RC4 and AES-128, and refuses an
// owner password equal to the user password.
bool Rewrite(const std::vector<uint8_t>& plain, PdfOutput* output)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("document", (const char*)plain.data(), plain.size());
        auto reader = std::make_shared<SpoolReader>(Spool);
        if (Open->spooled) {
            if (!Spool) throw std::runtime_error("no spool");
            for (QPDFObjectHandle object : pdf.getAllObjects()) {
                SpoolPlace place;
                if (!object.isStream() || !object.getDict().getKey("/Subtype").isNameAndEquals("/Image") ||
                    !ReadStandIn(*object.getRawStreamData(), &place))
                    continue;
                reader->places[object.getObjGen()] = place;
                object.replaceStreamData(reader, QPDFObjectHandle::newName("/DCTDecode"),
                                         QPDFObjectHandle::newNull());
            }
        }
        QPDFWriter writer(pdf);
        OutputSink sink(output);
        writer.setOutputPipeline(&sink);
        writer.setDecodeLevel(qpdf_dl_none);  // libharu's streams are kept as they are
        if (Open->encrypt) SetEncryption(&writer);
        writer.write();
        return true;
    } catch (const std::exception&) {
        Fail(Open->encrypt ? PdfErrorEncryption : PdfErrorSpool);
        return false;
    }
}

}  // namespace

int PdfCreateDocument()
{
    if (Open) {
        Fail(PdfErrorBadArgument);  // one document at a time
        return 0;
    }
    LastError = 0;
    HPDF_Doc doc = HPDF_New(OnHaruError, nullptr);
    if (!doc) return 0;
    HPDF_Page page = HPDF_AddPage(doc);
    double width = 0, height = 0;
    PaperSizeInPoints("Letter", &width, &height);
    if (!page || HPDF_Page_SetWidth(page, (HPDF_REAL)width) != HPDF_OK ||
        HPDF_Page_SetHeight(page, (HPDF_REAL)height) != HPDF_OK) {
        HPDF_Free(doc);
        return 0;
    }
    Open = new OpenDocument;
    Open->id = ++LastDocumentId;
    Open->doc = doc;
    Open->page = page;
    return Open->id;
}

void PdfFreeDocument(int documentId)
{
    if (!Open || documentId != Open->id) {
        Fail(PdfErrorNoDocument);
        return;
    }
    HPDF_Free(Open->doc);
    delete Open;
    Open = nullptr;
}

void PdfSetInfoEntry(int key, const char* text)
{
    static const HPDF_InfoType Types[] = {HPDF_INFO_AUTHOR,   HPDF_INFO_TITLE,
                                          HPDF_INFO_SUBJECT,  HPDF_INFO_KEYWORDS,
                                          HPDF_INFO_CREATOR,  HPDF_INFO_PRODUCER};
    if (!Usable()) return;
    if (!text || key < PdfInfoAuthor || key > PdfInfoProducer) return Fail(PdfErrorBadArgument);
    Check(HPDF_SetInfoAttr(Open->doc, Types[key - 1], text));
}

void PdfSetPaper(const char* paperName)
{
    HPDF_Page page = CurrentPage();
    if (!page) return;
    if (!paperName) return Fail(PdfErrorBadArgument);
    static const char Landscape[] = " Landscape";
    std::string name = paperName;
    bool landscape = name.size() > strlen(Landscape) &&
                     name.compare(name.size() - strlen(Landscape), std::string::npos,
                                  Landscape) == 0;
    if (landscape) name.resize(name.size() - strlen(Landscape));
    double width, height;
    if (!PaperSizeInPoints(name.c_str(), &width, &height)) return Fail(PdfErrorBadArgument);
    if (landscape) std::swap(width, height);
    Check(HPDF_Page_SetWidth(page, (HPDF_REAL)width));
    Check(HPDF_Page_SetHeight(page, (HPDF_REAL)height));
}

double PdfGetPageDimension(int box, int dimension)
{
    HPDF_Page page = CurrentPage();
    if (!page) return 0;
    if (box != PdfMediaBox) {
        Fail(PdfErrorBadArgument);
        return 0;
    }
    if (dimension == PdfWidth) return HPDF_Page_GetWidth(page);
    if (dimension == PdfHeight) return HPDF_Page_GetHeight(page);
    Fail(PdfErrorBadArgument);
    return 0;
}

int PdfAppendPage()
{
    HPDF_Page before = CurrentPage();
    if (!before) return 0;
    HPDF_Page page = HPDF_AddPage(Open->doc);
    if (!page) {
        Check(HPDF_GetError(Open->doc));
        return 0;
    }
    Open->page = page;
    ++Open->pageCount;
    // A new page keeps the size of the page before it.
    Check(HPDF_Page_SetWidth(page, HPDF_Page_GetWidth(before)));
    Check(HPDF_Page_SetHeight(page, HPDF_Page_GetHeight(before)));
    return 1;
}

void PdfSetFillRgb(double red, double green, double blue)
{
    if (HPDF_Page page = CurrentPage())
        Check(HPDF_Page_SetRGBFill(page, Colour(red), Colour(green), Colour(blue)));
}

void PdfSetStrokeRgb(double red, double green, double blue)
{
    if (HPDF_Page page = CurrentPage())
        Check(HPDF_Page_SetRGBStroke(page, Colour(red), Colour(green), Colour(blue)));
}

void PdfSetStrokeWidth(double width)
{
    HPDF_Page page = CurrentPage();
    if (!page) return;
    if (!IsCoordinate(width) || width < 0) return Fail(PdfErrorBadArgument);
    Check(HPDF_Page_SetLineWidth(page, (HPDF_REAL)width));
}

void PdfSetPageOption(int option)
{
    HPDF_Page page = CurrentPage();
    if (!page) return;
    if (option != PdfCompressPage) return Fail(PdfErrorBadArgument);
    HPDF_Page_SetFilter(page, HPDF_STREAM_FILTER_FLATE_DECODE);
}

int PdfAddJpegFromMemory(const void* data, int size, int options)
{
    if (!Usable()) return 0;
    if (!data || size <= 0 || options != 0) {
        Fail(PdfErrorBadArgument);
        return 0;
    }
    size_t frameAt = 0;
    if (!IsEmbeddableJpeg((const uint8_t*)data, (size_t)size, &frameAt)) {
        LastError = PdfErrorNotJpeg;  // refused; the document stays as it was
        return 0;
    }
    const HPDF_BYTE* bytes = (const HPDF_BYTE*)data;
    HPDF_UINT count = (HPDF_UINT)size;
    std::vector<uint8_t> standIn;
    if (Spool) {  // the picture waits in the spool; the document keeps a stand-in
        uint64_t offset = 0;
        try {
            if (!Spool->Append(bytes, (size_t)size, &offset)) throw std::runtime_error("spool");
            standIn = SpoolStandIn(bytes, frameAt, offset, (uint64_t)size);
        } catch (const std::exception&) {
            Fail(PdfErrorSpool);
            return 0;
        }
        bytes = standIn.data();
        count = (HPDF_UINT)standIn.size();
    }
    HPDF_Image image = HPDF_LoadJpegImageFromMem(Open->doc, bytes, count);
    if (!image) {
        const HPDF_STATUS error = HPDF_GetError(Open->doc);
        if (error == HPDF_FAILD_TO_ALLOC_MEM) return Check(error), 0;
        HPDF_ResetError(Open->doc);
        LastError = PdfErrorNotJpeg;  // libharu's own reading refused it
        return 0;
    }
    Open->images.push_back(image);
    if (Spool) Open->spooled = true;
    else Open->jpegBytes += (size_t)size;
    return (int)Open->images.size();
}

void PdfUseImage(int imageId)
{
    if (!Usable()) return;
    bool known = imageId >= 1 && (size_t)imageId <= Open->images.size();
    Open->currentImage = known ? Open->images[imageId - 1] : nullptr;
    if (!known) Fail(PdfErrorBadArgument);
}

void PdfDrawRect(double left, double top, double width, double height, int mode)
{
    HPDF_Page page = CurrentPage();
    if (!page || !IsRectangle(left, top, width, height)) return;
    if (mode != PdfRectFilled && mode != PdfRectOutline) return Fail(PdfErrorBadArgument);
    if (!Check(HPDF_Page_Rectangle(page, (HPDF_REAL)left, (HPDF_REAL)(top - height),
                                   (HPDF_REAL)width, (HPDF_REAL)height)))
        return;
    Check(mode == PdfRectFilled ? HPDF_Page_Fill(page) : HPDF_Page_Stroke(page));
}

int PdfPlaceImage(double left, double top, double width, double height)
{
    HPDF_Page page = CurrentPage();
    if (!page || !IsRectangle(left, top, width, height)) return 0;
    if (!Open->currentImage) {
        Fail(PdfErrorBadArgument);
        return 0;
    }
    return Check(HPDF_Page_DrawImage(page, Open->currentImage, (HPDF_REAL)left,
                                     (HPDF_REAL)(top - height), (HPDF_REAL)width,
                                     (HPDF_REAL)height))
               ? 1
               : 0;
}

void PdfDrawTextInBox(double left, double top, double width, double height, const char* text,
                      int options)
{
    HPDF_Page page = CurrentPage();
    if (!page || !IsRectangle(left, top, width, height)) return;
    if (!text || options != 0) return Fail(PdfErrorBadArgument);
    HPDF_Font font = CaptionFont();
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
    if (!Check(HPDF_Page_GSave(page))) return;
    Check(HPDF_Page_SetRGBFill(page, 0, 0, 0));
    if (Check(HPDF_Page_BeginText(page))) {
        if (Check(HPDF_Page_SetFontAndSize(page, font, (HPDF_REAL)size)))
            Check(HPDF_Page_TextOut(page, (HPDF_REAL)x, (HPDF_REAL)baseline, line.c_str()));
        Check(HPDF_Page_EndText(page));
    }
    Check(HPDF_Page_GRestore(page));
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

void PdfEncrypt(const char* ownerPassword, const char* userPassword, int strength,
                int permissions)
{
    if (!Usable()) return;
    if (strength != PdfAes256 || !ownerPassword || !userPassword) {
        Open->encryptionRefused = true;
        return Fail(PdfErrorBadArgument);
    }
    Open->encrypt = true;
    Open->ownerPassword = ownerPassword;  // revision 6 takes UTF-8, as given
    Open->userPassword = userPassword;
    Open->permissions = permissions;
}

int PdfWriteFile(const char* path)
{
    if (!Usable()) return 0;
    if (!path || !*path || Open->encryptionRefused || Open->damaged) {
        Fail(PdfErrorBadArgument);
        return 0;
    }
    if (!Output && !Writer) {
        Fail(PdfErrorNoWriter);
        return 0;
    }
    std::vector<uint8_t> bytes;
    if (!SaveToMemory(&bytes)) return 0;
    WholeFileOutput whole;
    PdfOutput* output = Output ? Output : &whole;
    if (!output->Start(path)) return 0;
    bool written;
    if (Open->spooled || Open->encrypt) {
        written = Rewrite(bytes, output);
    } else {
        written = output->Write(bytes.data(), bytes.size());
    }
    std::vector<uint8_t>().swap(bytes);  // before the writer's copy, if it makes one
    return output->End(written) && written ? 1 : 0;
}

void PdfSetFileWriter(PdfFileWriter writer, void* context)
{
    Writer = writer;
    WriterContext = context;
}

void PdfSetOutput(PdfOutput* output) { Output = output; }

void PdfSetImageSpool(PdfImageSpool* spool) { Spool = spool; }

void PdfGetFileWriter(PdfFileWriter* writer, void** context)
{
    *writer = Writer;
    *context = WriterContext;
}

void PdfSetTextCodePage(int codePage)
{
    bool known = (codePage >= 1250 && codePage <= 1258) || CjkFace(codePage);
    TextCodePage = known ? codePage : 1252;
}

int PdfTextCodePage() { return TextCodePage; }

unsigned long PdfLastError() { return LastError; }

int PdfDocumentDamaged() { return Open && Open->damaged ? 1 : 0; }
