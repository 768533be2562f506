// Writing the collection as one PDF. Portable: everything that touches windows, files or
// decoder processes goes through the three roles below, so the builder also runs
// natively in tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/collection.h"
#include "model/pdf_settings.h"
#include "pdf/pdf_document.h"
#include "picture/page_picture.h"

enum { MaxPdfImages = 200 };

// Where the PDF's bytes go: the file being written (PdfOutput: a temporary file in the
// target's folder that replaces the target once whole) and the spool where the finished
// pictures wait until the file is written (PdfImageSpool, gone with the object).
class PdfFiles : public PdfOutput, public PdfImageSpool {
public:
    // Paths are the program's own (Windows paths under Wine).
    virtual bool FileExists(const char* path) = 0;
    virtual bool DeleteFileAt(const char* path) = 0;
    // Why the last step failed (a file step, the spool, a picture that could not be
    // made), in the system's words ("" when unknown); it is added to the "PDF Save
    // Failed." message.
    virtual void DescribeFailure(char* out, size_t outSize) = 0;
};

// What became of a picture handed to a worker.
enum PictureOutcome {
    PictureMade,
    PictureUnreadable,  // not a picture the program reads: left out, with a message
    PictureTooSlow,     // took longer to read than allowed: left out, with a message
    PictureCancelled,   // the user cancelled meanwhile
    PictureFailed,      // the program could not make it (no memory, no worker): the save fails
};

// Where the page pictures come from (see MakePagePicture): the program makes them in
// decoder processes, out of reach of a hostile file. Pictures may be made side by side by
// PictureWorkers() workers (at most MaxPictureWorkers; asked again before each picture is
// handed out, so that the source may take fewer as it goes), one picture each at a time:
// StartPagePicture gives worker `worker` the entry's picture to make (false: it could
// not, and the save fails), FinishPagePicture waits for it, DropPagePictures forgets the
// pictures started and not finished (after a cancel or a failure).
class PagePictures {
public:
    enum { MaxPictureWorkers = 4 };
    virtual ~PagePictures() {}
    virtual int PictureWorkers() = 0;
    virtual bool StartPagePicture(int worker, const ImageEntry& entry, const PagePlan& plan) = 0;
    virtual PictureOutcome FinishPagePicture(int worker, PagePicture* out) = 0;
    virtual void DropPagePictures() = 0;
};

// Who hears how the run goes: the progress bar, the message line, the pump that lets the
// user cancel, and the "PDF Error" box.
class BuildProgress {
public:
    virtual ~BuildProgress() {}
    virtual void SetProgressRange(int count) = 0;
    virtual void StepProgress() = 0;
    virtual void ResetProgress() = 0;
    virtual void SetMessageLine(const char* text) = 0;
    // Handles pending window messages; returns false once the user has cancelled.
    virtual bool PumpAndContinue() = 0;
    virtual void ShowFailure(const char* message) = 0;
};

// 1 when the run ended without a failure (written, or cancelled: PumpAndContinue said
// false or a picture was cancelled); 0 after a failure, which has been reported through
// progress. A picture that could not be added fails the run: a PDF is never written
// without a picture that was to be in it, except the files that cannot be read.
int BuildPdfDocument(const ImageCollectionType& images, const PdfSettingsRecord& settings,
                     const char* pdfPath, PdfFiles& files, PagePictures& pictures,
                     BuildProgress& progress);
