// Writing the collection as one PDF. Portable: everything that touches windows or
// files goes through BuildHost, so the builder also runs natively in tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/collection.h"
#include "picture/page_picture.h"
#include "model/pdf_settings.h"

enum { MaxPdfImages = 200 };

// What became of a picture handed to a worker.
enum PictureOutcome {
    PictureMade,
    PictureUnreadable,  // not a picture the program reads: left out, with a message
    PictureTooSlow,     // took longer to read than allowed: left out, with a message
    PictureCancelled,   // the user cancelled meanwhile
    PictureFailed,      // the program could not make it (no memory, no worker): the save fails
};

class BuildHost {
public:
    virtual ~BuildHost() {}
    // Files. Paths are the program's own (Windows paths under Wine).
    virtual bool ReadFileBytes(const char* path, std::vector<uint8_t>* out) = 0;
    virtual bool FileExists(const char* path) = 0;
    // Writes the PDF as it is made: StartFile opens a temporary file in the target's
    // folder, WriteToFile adds bytes to it, EndFile(true) replaces the target with it and
    // EndFile(false) deletes it, leaving the target as it was.
    virtual bool StartFile(const char* path) = 0;
    virtual bool WriteToFile(const uint8_t* data, size_t size) = 0;
    virtual bool EndFile(bool keep) = 0;
    // A temporary store where the finished pictures wait until the PDF is written, so
    // that memory does not grow with the document. Gone with the host.
    virtual bool SpoolAppend(const uint8_t* data, size_t size, uint64_t* offset) = 0;
    virtual bool SpoolRead(uint64_t offset, uint8_t* data, size_t size) = 0;
    virtual bool DeleteFileAt(const char* path) = 0;
    // Why the last step failed (a file step, the spool, a picture that could not be
    // made), in the system's words ("" when unknown); it is added to the "PDF Save
    // Failed." message.
    virtual void DescribeFailure(char* out, size_t outSize) { if (outSize) out[0] = 0; }
    // The entry's picture made ready for its page (see MakePagePicture). By default the
    // file is read through ReadFileBytes and decoded in this process; the program does it
    // in a decoder process, out of reach of a hostile file.
    virtual bool DecodePagePicture(const ImageEntry& entry, const PagePlan& plan,
                                   PagePicture* out);
    // Pictures may be made side by side by PictureWorkers() workers (at most
    // MaxPictureWorkers; asked again before each picture is handed out, so that the host
    // may take fewer as it goes), one picture each at a time: StartPagePicture gives worker
    // `worker` the entry's picture to make (false: it could not, and the save fails),
    // FinishPagePicture waits for it, DropPagePictures forgets the pictures started and
    // not finished (after a cancel or a failure). By default one worker makes each picture
    // at Start through DecodePagePicture.
    enum { MaxPictureWorkers = 4 };
    virtual int PictureWorkers() { return 1; }
    virtual bool StartPagePicture(int worker, const ImageEntry& entry, const PagePlan& plan);
    virtual PictureOutcome FinishPagePicture(int worker, PagePicture* out);
    virtual void DropPagePictures();
    // The progress dialog.
    virtual void SetProgressRange(int count) = 0;
    virtual void StepProgress() = 0;
    virtual void ResetProgress() = 0;
    virtual void SetMessageLine(const char* text) = 0;
    // Handles pending window messages; returns false once the user has cancelled.
    virtual bool PumpAndContinue() = 0;
    // The "PDF Error" box.
    virtual void ShowFailure(const char* message) = 0;

private:
    PagePicture made_[MaxPictureWorkers];  // the default workers' pictures
    bool madeOk_[MaxPictureWorkers] = {};
};

// 1 when the run ended without a failure (written, or cancelled: PumpAndContinue said
// false or a picture was cancelled); 0 after a failure, which has been reported through
// the host. A picture that could not be added fails the run: a PDF is never written
// without a picture that was to be in it, except the files that cannot be read.
int BuildPdfDocument(const ImageCollectionType& images, const PdfSettingsRecord& settings,
                     const char* pdfPath, BuildHost& host);
