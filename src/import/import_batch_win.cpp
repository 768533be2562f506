#include "import/import_batch_win.h"

#include <cstdio>

#include "decoder/host_win.h"
#include "ui/operation_win.h"
#include "platform/message_loop_win.h"
#include "ui/progress_win.h"
#include "ui/statusbar_win.h"
#include "platform/wide_text_win.h"
#include "ui/dpi_win.h"
#include "ui/thumbnail_win.h"
#include "listview/image_listview_win.h"

// Every progress line is formatted into this much text, terminator included.
enum { ProgressTextChars = MaxPathBytes + 80 };

// Brings the view and the status bar's counts up to the collection.
static void ShowNewEntries()
{
    RefreshItemCount();
    UpdateStatusCounts();
}

int OpenImportBatch(int count)
{
    return count > 0 && BeginProgress(ImportOperation, count) ? count : 0;
}

void CloseImportBatch(int count)
{
    if (count <= 0) return;
    EndProgress();
    ShowNewEntries();
}

static void SetProgressLine(int id, const char* format, const char* text)
{
    char line[ProgressTextChars];
    snprintf(line, sizeof line, format, text);
    if (IsWindow(AddImagesProgressDialog))
        SetWindowTextUtf8(GetDlgItem(AddImagesProgressDialog, id), line);  // the path is UTF-8
}

void ShowImportProgress(int number, int count, const char* path)
{
    if (!IsWindow(AddImagesProgressDialog)) return;
    SendDlgItemMessageA(AddImagesProgressDialog, IDC_ADD_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    char numberText[24], countText[24], line[ProgressTextChars];
    snprintf(line, sizeof line, "Processing File %s of %s",
             FormatCount(number, numberText, sizeof numberText),
             FormatCount(count, countText, sizeof countText));
    SetDlgItemTextA(AddImagesProgressDialog, IDC_ADD_STATUS, line);
    SetProgressLine(IDC_ADD_MESSAGE, "Making Thumbnail for: %s", path);
    // Shown now: the decoding that follows holds the thread, and the user should see
    // which file it is busy with. Under Wine painted pixels reach the screen only when
    // the thread next looks at its queue, so it looks once (nothing is removed).
    UpdateWindow(AddImagesProgressDialog);
    MSG waiting;
    PeekMessageA(&waiting, NULL, 0, 0, PM_NOREMOVE);
}

namespace {
// Writes one thumbnail bitmap into the image list, for TakeThumbnailSlot.
class ImageListStore : public ThumbnailStore {
public:
    ImageListStore(HIMAGELIST list, HBITMAP bitmap) : list_(list), bitmap_(bitmap) {}
    bool ReplaceAt(int slot) override { return ReplaceThumbnail(list_, slot, bitmap_) != FALSE; }
    int Append() override { return ImageList_AddMasked(list_, bitmap_, ThumbnailMaskColour); }

private:
    HIMAGELIST list_;
    HBITMAP bitmap_;
};

DecodeOutcome ReceiveThumbnail(int slot, int side, ThumbnailPixels* pixels)
{
    std::vector<uint8_t> body;
    DecodeOutcome outcome = ReceiveDecodeReply(slot, DecodeThumbnail, &body);
    if (outcome == Decoded && !ParseThumbnailReply(body.data(), body.size(), pixels, side))
        outcome = DecodeUnreadableFile;
    return outcome;
}

// Puts the thumbnail in a free slot (or a new one) of the image list and appends the
// entry; the view is not refreshed. FALSE when the thumbnail could not be stored.
BOOL AddThumbnailEntry(const char* path, ThumbnailPixels* pixels)
{
    HIMAGELIST list = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    FitThumbnail(pixels, ImageListSide(list));
    const PictureRect pictureRect = pixels->pictureRect;
    ScopedBitmap bitmap = ThumbnailBitmap(MainWindow, pixels);
    if (!bitmap.Get()) return FALSE;
    ImageListStore store(list, bitmap.Get());  // the image list keeps a copy
    int slot = list ? TakeThumbnailSlot(FreeSlotQueue, store) : -1;
    if (slot >= 0) ImageCollection.push_back(MakeImageEntry(slot, path, pictureRect));
    return slot >= 0;
}

// Kept for the whole import: its pixels are not allocated again for every file.
ThumbnailPixels* PixelBuffer()
{
    static ThumbnailPixels* pixels = new ThumbnailPixels;
    return pixels;
}

// Makes the entry from the thumbnail decoder `slot` was asked for, or says on the
// message line why there is none.
BOOL AddOrReport(int slot, int side, BOOL sent, const char* path)
{
    DecodeOutcome outcome = ReceiveThumbnail(slot, side, PixelBuffer());  // cancelled if not sent
    if (outcome == Decoded && AddThumbnailEntry(path, PixelBuffer())) return TRUE;
    const char* format = !sent                      ? "Could Not Start the Decoder for: %s"
                         : outcome == Decoded       ? "Could Not Keep the Thumbnail of: %s"
                         : outcome == DecodeTooSlow ? "Took Too Long to Read: %s"
                                                    : "Unknown File Format: %s";
    if (outcome != DecodeCancelled) SetProgressLine(IDC_ADD_MESSAGE, format, path);
    return FALSE;
}

// The view is brought up to date this often during an import, not after every file:
// arranging and repainting a long list costs more than a thumbnail.
const DWORD ViewRefreshMs = 300;

}  // namespace

void ImportFiles(int count, ImportPathProc pathAt, void* context)
{
    // File i goes to decoder i % DecoderCount as soon as that decoder is free, so the
    // decoders work on the next files while the thumbnail of this one is stored.
    char paths[DecoderCount][MaxPathBytes];  // UTF-8
    BOOL fits[DecoderCount] = {}, sent[DecoderCount] = {};
    int sides[DecoderCount] = {};  // of the thumbnail asked for: the DPI may change meanwhile
    auto send = [&](int i) {
        int slot = i % DecoderCount;
        paths[slot][0] = 0;
        fits[slot] = pathAt(i, paths[slot], MaxPathBytes, context);
        sides[slot] = ThumbnailSideAt(WindowDpi);
        sent[slot] = fits[slot] && SendDecodeJob(slot, DecodeThumbnail, paths[slot], PagePlan(),
                                                 ThumbnailTimeLimitMs, sides[slot]);
    };
    for (int i = 0; i < count && i < DecoderCount; i++) send(i);
    DWORD shown = GetTickCount();
    for (int i = 0; i < count; i++) {
        PumpPendingMessages();
        if (!ImportActive || OperationCancelled()) break;  // the files not reached are skipped
        const int slot = i % DecoderCount;
        ShowImportProgress(i + 1, count, paths[slot]);
        BOOL added = FALSE;
        if (fits[slot]) added = AddOrReport(slot, sides[slot], sent[slot], paths[slot]);
        else SetProgressLine(IDC_ADD_MESSAGE, "Path Too Long: %s...", paths[slot]);
        if (added && GetTickCount() - shown >= ViewRefreshMs) {
            ShowNewEntries();
            shown = GetTickCount();
        }
        if (i + DecoderCount < count && ImportActive) send(i + DecoderCount);
    }
    EndBusyDecoders();  // the files sent ahead of a Cancel go with them
}
