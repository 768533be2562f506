// The PDF builder's link to the program: files through Win32 calls, progress and messages
// in the "Make PDF" progress dialog, the pump and its Cancel flag, the "PDF Error" box.
#pragma once
#include "app/globals_win.h"
#include "pdf/pdf_builder.h"

class MakePdfDialogHost : public BuildHost {
public:
    bool ReadFileBytes(const char* path, std::vector<uint8_t>* out) override;
    bool FileExists(const char* path) override;
    bool WriteFileBytes(const char* path, const uint8_t* data, size_t size) override;
    bool DeleteFileAt(const char* path) override;
    void DescribeWriteFailure(char* out, size_t outSize) override;
    // In a decoder process (see decoder_host_win.h).
    bool DecodePagePicture(const ImageEntry& entry, const PagePlan& plan,
                           PagePicture* out) override;
    // The bar and the message line of MakePdfProgressDialog; nothing once it is gone.
    void SetProgressRange(int count) override;
    void StepProgress() override;
    void ResetProgress() override;
    void SetMessageLine(const char* text) override;
    // Handles waiting messages; false once Cancel has cleared PdfBuildActive.
    bool PumpAndContinue() override;
    void ShowFailure(const char* message) override;

private:
    DWORD writeError_ = 0;  // GetLastError() of the last failed write
};

// Writes ImageCollection into PdfPath with PdfSettings. 1 when written or cancelled (tell
// them apart by PdfBuildActive), 0 after a failure, which has then been reported.
int BuildPdf();
