// The PDF operations that the builder and the page preview use: page content through
// libharu, encryption through libqpdf. Portable; never opens a file itself: the finished
// bytes go to the writer that the caller installs.
//
// One document is open at a time. Every operation works on the open document and its
// current page, does nothing (or returns 0) when there is none, and survives bad
// arguments; the last library error is kept for PdfLastError.
#pragma once
#include <cstddef>
#include <cstdint>

// Keys of PdfSetInfoEntry.
enum {
    PdfInfoAuthor = 1,
    PdfInfoTitle = 2,
    PdfInfoSubject = 3,
    PdfInfoKeywords = 4,
    PdfInfoCreator = 5,
    PdfInfoProducer = 6,
};
// PdfGetPageDimension: the media box, its width or height.
enum { PdfMediaBox = 1, PdfWidth = 2, PdfHeight = 3 };
// PdfDrawRect modes.
enum { PdfRectOutline = 0, PdfRectFilled = 1 };
// PdfSetPageOption: compress the current page's content.
enum { PdfCompressPage = 1 };
// PdfEncrypt strength: AES with 256-bit keys (the only one offered).
enum { PdfAes256 = 1 };

// A new document with one current page ("Letter", portrait). Returns its id (above 0),
// or 0 when it cannot be made or a document is already open.
int PdfCreateDocument();
// Releases the document with this id; other ids are ignored.
void PdfFreeDocument(int documentId);

void PdfSetInfoEntry(int key, const char* text);

// "Letter" (612 x 792 points) or "A4" (595.276 x 841.89), each optionally followed by
// " Landscape" (width and height exchanged); sets the current page's size. Other names
// leave the page as it is.
void PdfSetPaper(const char* paperName);
// Width or height of the current page in points; 0 for anything else.
double PdfGetPageDimension(int box, int dimension);
// Adds a page after the last one and makes it current. It has the size of the page
// before it; colours and line width start over (black, 1 point). Non-zero on success.
int PdfAppendPage();

// Colours 0..1 (clamped); they apply to the current page from now on.
void PdfSetFillRgb(double red, double green, double blue);
void PdfSetStrokeRgb(double red, double green, double blue);
void PdfSetStrokeWidth(double width);
void PdfSetPageOption(int option);

// Rectangles are left edge, top edge, width, height; y grows upwards from the page's
// bottom edge.
// Copies a whole JPEG file into the document (into the image spool when one is set).
// Returns an image id (above 0), 0 when the data is not a JPEG the library can embed
// (PdfErrorNotJpeg; the document is unharmed) or it could not be added (the spool refused
// it, no memory: the document is damaged). options must be 0.
int PdfAddJpegFromMemory(const void* data, int size, int options);
// Makes an image current for PdfPlaceImage; an unknown id leaves no image current.
void PdfUseImage(int imageId);
void PdfDrawRect(double left, double top, double width, double height, int mode);
// Draws the current image scaled into the rectangle. Non-zero when drawn.
int PdfPlaceImage(double left, double top, double width, double height);
// One line of text centred in the box, in black, in Helvetica sized for
// the box; a text too wide for the box is drawn smaller, and cut when even the smallest
// size does not fit. options must be 0. Text is in the code page set with
// PdfSetTextCodePage.
void PdfDrawTextInBox(double left, double top, double width, double height,
                      const char* text, int options);

// The permissions value from eight flags (1 = allowed): printing, changing the content,
// copying, annotating, filling in forms, extraction for accessibility, assembling
// (pages inserted, rotated, removed), printing at full quality. The value is the
// document's /P entry.
int PdfMakePermissions(int print, int modify, int copy, int annotate, int fillForms,
                       int accessibility, int assemble, int printFullQuality);
// Marks the document to be encrypted when written. Passwords are UTF-8. Strength PdfAes256 (AES-256,
// revision 6) only: any other strength makes PdfWriteFile fail rather than write
// the document open.
void PdfEncrypt(const char* ownerPassword, const char* userPassword, int strength,
                int permissions);
// Makes the document's bytes and hands them to the installed output (or writer). Non-zero
// when the output reported them written. The document's pictures are released on the
// way, so whatever the result, the document can only be freed afterwards.
int PdfWriteFile(const char* path);

// Where PdfWriteFile's bytes go, as they are made: Start opens a temporary file beside
// path, Write adds the next bytes, End(true) replaces path with the finished file and
// End(false) drops it, leaving path as it was. Installed outputs win over writers.
class PdfOutput {
public:
    virtual ~PdfOutput() {}
    virtual bool Start(const char* path) = 0;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
    virtual bool End(bool keep) = 0;
};
void PdfSetOutput(PdfOutput* output);

// The whole document at once instead (it is held in memory for it). The writer must not
// leave a half-written file at path: it writes elsewhere first and replaces path only
// with complete data.
typedef bool (*PdfFileWriter)(const char* path, const uint8_t* data, size_t size,
                              void* context);
void PdfSetFileWriter(PdfFileWriter writer, void* context);
void PdfGetFileWriter(PdfFileWriter* writer, void** context);

// Where the open document's pictures wait until PdfWriteFile copies them into the file,
// so that memory does not grow with the document: the document keeps only their place.
// Without a spool (or after PdfFreeDocument) the document holds the pictures itself.
class PdfImageSpool {
public:
    virtual ~PdfImageSpool() {}
    // Adds the bytes at the end; *offset tells where they start.
    virtual bool Append(const uint8_t* data, size_t size, uint64_t* offset) = 0;
    virtual bool Read(uint64_t offset, uint8_t* data, size_t size) = 0;
};
void PdfSetImageSpool(PdfImageSpool* spool);

// The code page of the captions handed over: 1250 to 1258 (Helvetica), or 932, 936,
// 949, 950 (the Japanese, simplified and traditional Chinese and Korean built-in fonts);
// anything else is taken as 1252. Called once at start-up with the system's code page;
// 1252 until then.
void PdfSetTextCodePage(int codePage);
int PdfTextCodePage();

// The last error the library reported (libharu's error number, or one of the values
// below), 0 when none since PdfCreateDocument.
enum {
    PdfErrorNoDocument = 0x10001,
    PdfErrorBadArgument = 0x10002,
    PdfErrorEncryption = 0x10003,
    PdfErrorNoWriter = 0x10004,
    PdfErrorSpool = 0x10005,  // the image spool failed to take or give back a picture
    PdfErrorNotJpeg = 0x10006,
};
unsigned long PdfLastError();

// Non-zero once an operation on the open document has failed (a page or picture not
// added, a drawing refused, an argument out of range): its pages are not what was asked
// for, and PdfWriteFile refuses to write it.
int PdfDocumentDamaged();
