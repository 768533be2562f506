// The PDF builder's link to the program, a class for each of its roles: files through
// Win32 calls, page pictures from the decoder processes, and progress and messages in the
// "Make PDF" progress dialog, the pump and its Cancel flag, the "PDF Error" box.
#pragma once
#include "ui/globals_win.h"
#include "pdf/pdf_builder.h"

#include "platform/file_io_win.h"

// Where the PDF's bytes go: a temporary file beside the PDF that replaces it once whole,
// and the spool, a file in the user's temporary folder (a file beside the PDF could land
// on a slow or full network share) deleted when closed. It keeps why the last step
// failed, for the "PDF Save Failed." message.
class WindowsPdfFiles : public PdfFiles {
public:
    bool Start(const char* path) override;
    bool Write(const uint8_t* data, size_t size) override;
    bool End(bool keep) override;
    bool Append(const uint8_t* data, size_t size, uint64_t* offset) override;
    bool Read(uint64_t offset, uint8_t* data, size_t size) override;
    bool FileExists(const char* path) override;
    bool DeleteFileAt(const char* path) override;
    void DescribeFailure(char* out, size_t outSize) override;
    // Notes a step that failed, by GetLastError()'s code or in the program's own words.
    bool Failed(DWORD error, const char* text = nullptr);
    // Takes a picture a decoder left in its file (held open by OpenUnchangeable, fileSize
    // bytes) as the pieces named, and reads its head, up to its first scan, into
    // picture->jpeg: the picture then waits in the spool (spooledAt, spooledSize). False
    // when the pieces are not in the file or do not start a JPEG the PDF can embed.
    bool Hold(ScopedHandle file, uint64_t fileSize, PagePicture* picture);

private:
    bool Noted(BOOL ok);

    ReplacingFile output_;
    TempSpool spool_;
    DWORD error_ = 0;
    const char* failureText_ = nullptr;
};

// The page pictures from the decoder processes, one picture in each at a time (see
// decoder/host_win.h); a JPEG the decoder keeps as it is stays in its file. The first picture goes alone; two are made side by side only while
// every decoder's peak memory stays within SharedDecoderPeakBytes, so that big pictures
// (or a high quality) do not take two decoders' worth of memory at once.
class DecoderPictures : public PagePictures {
public:
    explicit DecoderPictures(WindowsPdfFiles& failures) : failures_(failures) {}
    int PictureWorkers() override;
    bool StartPagePicture(int worker, const ImageEntry& entry, const PagePlan& plan) override;
    PictureOutcome FinishPagePicture(int worker, PagePicture* out) override;
    void DropPagePictures() override;

private:
    WindowsPdfFiles& failures_;  // told why a picture could not be made, holds files
    int picturesMade_ = 0;
    // Each worker's file, held unchangeable while its picture is made: a JPEG kept as it
    // is then stays there until the PDF is written.
    ScopedHandle files_[MaxPictureWorkers];
    uint64_t fileSizes_[MaxPictureWorkers] = {};
};

// The bar and the message line of MakePdfProgressDialog (nothing once it is gone), the
// pump with its Cancel, and the "PDF Error" box.
class DialogProgress : public BuildProgress {
public:
    void SetProgressRange(int count) override;
    void StepProgress() override;
    void ResetProgress() override;
    void SetMessageLine(const char* text) override;
    // Handles waiting messages; false once Cancel has cleared PdfBuildActive.
    bool PumpAndContinue() override;
    void ShowFailure(const char* message) override;
};

// Writes ImageCollection into PdfPath with PdfSettings. 1 when written or cancelled (tell
// them apart by PdfBuildActive), 0 after a failure, which has then been reported.
int BuildPdf();
