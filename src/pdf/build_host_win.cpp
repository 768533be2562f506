#include "pdf/build_host_win.h"

#include <algorithm>

#include "picture/jpeg_segments.h"

#include "decoder/host_win.h"
#include "ui/operation_win.h"
#include "platform/message_loop_win.h"
#include "ui/progress_win.h"
#include "platform/wide_text_win.h"

// The progress dialog may have gone with a Cancel while the builder still reports.
static HWND ProgressItem(int id)
{
    if (!MakePdfProgressDialog || !IsWindow(MakePdfProgressDialog)) return NULL;
    return GetDlgItem(MakePdfProgressDialog, id);
}

bool WindowsPdfFiles::FileExists(const char* path)
{
    return ::FileExists(path) != FALSE;
}

// Each step keeps the system's reason for a failure, which the message then gives.
bool WindowsPdfFiles::Noted(BOOL ok)
{
    return ok || Failed(GetLastError());
}

bool WindowsPdfFiles::Failed(DWORD error, const char* text)
{
    error_ = error;
    failureText_ = text;
    return false;
}

bool WindowsPdfFiles::Start(const char* path)
{
    Failed(0);
    return Noted(StartReplacing(&output_, path));
}

bool WindowsPdfFiles::Write(const uint8_t* data, size_t size)
{
    return Noted(WriteReplacing(&output_, data, size));
}

bool WindowsPdfFiles::End(bool keep)
{
    BOOL ok = EndReplacing(&output_, keep);
    return keep ? Noted(ok) : ok != FALSE;
}

bool WindowsPdfFiles::Append(const uint8_t* data, size_t size, uint64_t* offset)
{
    return Noted(AppendToSpool(&spool_, data, size, offset));
}

bool WindowsPdfFiles::Hold(ScopedHandle file, uint64_t fileSize, PagePicture* picture)
{
    if (!file.Valid()) return false;  // asked to keep the file, which was not held
    uint64_t at = 0, size = 0;
    if (!HoldInSpool(&spool_, std::move(file), fileSize, picture->filePieces, &at, &size))
        return false;
    // The head, up to the first scan: a few kilobytes, more with a large colour profile.
    size_t frameAt = 0;
    for (size_t want = 64 << 10;; want *= 4) {
        const size_t n = (size_t)std::min<uint64_t>(want, size);
        try {
            picture->jpeg.resize(n);
        } catch (...) {
            return Failed(ERROR_NOT_ENOUGH_MEMORY);
        }
        if (!Noted(ReadFromSpool(&spool_, at, picture->jpeg.data(), n))) return false;
        if (IsEmbeddableJpeg(picture->jpeg.data(), n, &frameAt)) break;
        if (n == size || n >= (16u << 20)) return false;
    }
    picture->filePieces.clear();
    picture->spooledAt = at;
    picture->spooledSize = size;
    return true;
}

bool WindowsPdfFiles::Read(uint64_t offset, uint8_t* data, size_t size)
{
    return Noted(ReadFromSpool(&spool_, offset, data, size));
}

void WindowsPdfFiles::DescribeFailure(char* out, size_t outSize)
{
    if (outSize) out[0] = 0;
    if (failureText_) CopyText(out, outSize, failureText_);
    else if (error_) DescribeSystemError(error_, out, outSize);
}

bool WindowsPdfFiles::DeleteFileAt(const char* path)
{
    return DeleteFileAtPath(path) != FALSE;
}

int DecoderPictures::PictureWorkers()
{
    if (picturesMade_ == 0) return 1;
    bool big = false;
    for (int slot = 0; slot < DecoderCount; slot++)
        big = big || DecoderPeakBytes(slot) > SharedDecoderPeakBytes;
    if (!big) return DecoderCount;
    // Decoder 0 makes the rest alone; the others give their memory back once idle.
    for (int slot = 1; slot < DecoderCount; slot++)
        if (!DecoderBusy(slot)) EndDecoder(slot);
    return 1;
}

bool DecoderPictures::StartPagePicture(int worker, const ImageEntry& entry,
                                         const PagePlan& plan)
{
    DWORD limit = plan.quality >= 1.0 ? FullQualityPageTimeLimitMs : PageTimeLimitMs;
    const bool held = OpenUnchangeable(entry.path, &files_[worker], &fileSizes_[worker]) != FALSE;
    // A start that a Cancel stopped is not a failure: the picture then comes back cancelled.
    return SendDecodeJob(worker, DecodePage, entry.path, plan, limit, ThumbnailSize, held) ||
           OperationCancelled() ||
           failures_.Failed(0, "The program's picture decoder could not be started.");
}

PictureOutcome DecoderPictures::FinishPagePicture(int worker, PagePicture* out)
{
    std::vector<uint8_t> body;
    picturesMade_++;
    bool inFile = false;
    const DecodeOutcome outcome = ReceiveDecodeReply(worker, DecodePage, &body, &inFile);
    ScopedHandle file(files_[worker].Release());  // let go, unless the picture stays in it
    if (outcome == Decoded && inFile)
        return ParsePageInFileReply(body.data(), body.size(), out) &&
                       failures_.Hold(std::move(file), fileSizes_[worker], out)
                   ? PictureMade
                   : PictureUnreadable;
    switch (outcome) {
    case Decoded: return ParsePageReply(std::move(body), out) ? PictureMade : PictureUnreadable;
    case DecodeTooSlow: return PictureTooSlow;
    case DecodeCancelled: return PictureCancelled;
    case DecodeNoMemory: failures_.Failed(ERROR_NOT_ENOUGH_MEMORY); return PictureFailed;
    case DecodeUnreadableFile: break;
    }
    return PictureUnreadable;
}

void DecoderPictures::DropPagePictures()
{
    EndBusyDecoders();
}

void DialogProgress::SetProgressRange(int count)
{
    if (HWND bar = ProgressItem(IDC_PDF_PROGRESS_BAR)) SetProgressBarRange(bar, count);
}

void DialogProgress::StepProgress()
{
    if (HWND bar = ProgressItem(IDC_PDF_PROGRESS_BAR)) SendMessageA(bar, PBM_STEPIT, 0, 0);
}

void DialogProgress::ResetProgress()
{
    if (HWND bar = ProgressItem(IDC_PDF_PROGRESS_BAR)) SendMessageA(bar, PBM_SETPOS, 0, 0);
}

void DialogProgress::SetMessageLine(const char* text)
{
    if (HWND line = ProgressItem(IDC_PDF_MESSAGE)) SetWindowTextUtf8(line, text);
}

bool DialogProgress::PumpAndContinue()
{
    PumpPendingMessages();
    return PdfBuildActive && !OperationCancelled();
}

void DialogProgress::ShowFailure(const char* message)
{
    MessageBoxUtf8(message, "PDF Error", MB_ICONWARNING);
}

int BuildPdf()
{
    WindowsPdfFiles files;
    DecoderPictures pictures(files);
    DialogProgress progress;
    return BuildPdfDocument(ImageCollection, PdfSettings, PdfPath, files, pictures, progress);
}
