// One PDF document: page content through libharu, encryption through libqpdf. Portable;
// never opens a file itself: its pictures wait in the spool it is given and its finished
// bytes go to the output it is given.
//
// Every operation works on the current page (the last one added), survives bad
// arguments, and does nothing once the document is written. An operation that fails
// leaves the document damaged: its pages are not what was asked for, and Write refuses it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "picture/picture_turn.h"

// Where the document's bytes go, as they are made: Start opens a temporary file beside
// path, Write adds the next bytes, End(true) replaces path with the finished file and
// End(false) drops it, leaving path as it was.
class PdfOutput {
public:
    virtual ~PdfOutput() {}
    virtual bool Start(const char* path) = 0;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
    virtual bool End(bool keep) = 0;
};

// Where the document's pictures wait until Write copies them into the file, so that
// memory does not grow with the document: the document keeps only their place.
class PdfImageSpool {
public:
    virtual ~PdfImageSpool() {}
    // Adds the bytes at the end; *offset tells where they start.
    virtual bool Append(const uint8_t* data, size_t size, uint64_t* offset) = 0;
    // Reads bytes appended, or bytes the spool holds by other means (AddSpooledJpeg).
    virtual bool Read(uint64_t offset, uint8_t* data, size_t size) = 0;
};

// Keys of SetInfoEntry.
enum PdfInfoKey {
    PdfInfoAuthor,
    PdfInfoTitle,
    PdfInfoSubject,
    PdfInfoKeywords,
    PdfInfoCreator,
    PdfInfoProducer,
};

class PdfDocument {
public:
    // A document with one current page ("Letter", portrait); Opened() tells whether it
    // could be made.
    PdfDocument(PdfOutput& output, PdfImageSpool& spool);
    ~PdfDocument();  // releases the libharu document
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    bool Opened() const;
    // True once an operation has failed.
    bool Damaged() const;

    void SetInfoEntry(PdfInfoKey key, const char* text);

    // "Letter" (612 x 792 points) or "A4" (595.276 x 841.89), each optionally followed by
    // " Landscape" (width and height exchanged); sets the current page's size. Other names
    // leave the page as it is.
    void SetPaper(const char* paperName);
    // The current page's size in points; 0 when there is none.
    double PageWidth() const;
    double PageHeight() const;
    // Adds a page after the last one and makes it current. It has the size of the page
    // before it; colours and line width start over (black, 1 point).
    bool AppendPage();

    // Colours 0..1 (clamped); they apply to the current page from now on.
    void SetFillRgb(double red, double green, double blue);
    void SetStrokeRgb(double red, double green, double blue);
    void SetStrokeWidth(double width);
    void CompressPage();  // the current page's content

    // Rectangles are left edge, top edge, width, height; y grows upwards from the page's
    // bottom edge.
    // Copies a whole JPEG file into the spool. Returns an image id (above 0), 0 when the
    // data is not a JPEG the library can embed (the document is unharmed) or it could not
    // be added (the spool refused it, no memory: the document is damaged).
    int AddJpeg(const uint8_t* data, size_t size);
    // The same for a JPEG of `size` bytes that waits in the spool already at `offset`;
    // head holds its first bytes, up to its first scan.
    int AddSpooledJpeg(const uint8_t* head, size_t headSize, uint64_t offset, uint64_t size);
    // Makes an image current for PlaceImage; an unknown id leaves no image current.
    void UseImage(int imageId);
    void FillRect(double left, double top, double width, double height);
    void StrokeRect(double left, double top, double width, double height);
    // Draws the current image scaled into the rectangle, laid down as turn says (the
    // rectangle is the turned picture's). True when drawn.
    bool PlaceImage(double left, double top, double width, double height,
                    const PictureTurn& turn = PictureTurn());
    // One line of text centred in the box, in black, in Helvetica sized for the box; a
    // text too wide for the box is drawn smaller, and cut when even the smallest size does
    // not fit. The text is in the code page set with PdfSetTextCodePage.
    void DrawTextInBox(double left, double top, double width, double height, const char* text);

    // Marks the document to be encrypted when written, with AES-256 (revision 6).
    // Passwords are UTF-8; permissions as made by PdfMakePermissions. Null passwords make
    // Write fail rather than write the document open.
    void Encrypt(const char* ownerPassword, const char* userPassword, int permissions);
    // Makes the document's bytes and hands them to the output. True when the output
    // reported them written. The document's pictures are released on the way, so whatever
    // the result, nothing more can be done with the document.
    bool Write(const char* path);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The permissions value from eight flags (1 = allowed): printing, changing the content,
// copying, annotating, filling in forms, extraction for accessibility, assembling
// (pages inserted, rotated, removed), printing at full quality. The value is the
// document's /P entry.
int PdfMakePermissions(int print, int modify, int copy, int annotate, int fillForms,
                       int accessibility, int assemble, int printFullQuality);

// The code page of the captions handed over: 1250 to 1258 (Helvetica), or 932, 936,
// 949, 950 (the Japanese, simplified and traditional Chinese and Korean built-in fonts);
// anything else is taken as 1252. Set once at start-up with the system's code page;
// 1252 until then.
void PdfSetTextCodePage(int codePage);
