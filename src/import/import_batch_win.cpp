#include "import/import_batch_win.h"

#include <cstdio>

#include "app/progress_win.h"
#include "app/statusbar_win.h"
#include "app/wide_text_win.h"
#include "import/thumbnail_win.h"
#include "listview/image_listview_win.h"

// Every progress line is formatted into this much text, terminator included.
enum { ProgressTextChars = MaxPathBytes + 80 };

int OpenImportBatch(int count)
{
    if (count <= 0) return 0;
    ImportActive = 1;
    EnableWindow(MainWindow, FALSE);
    AddImagesProgressDialog = CreateDialogParamA(AppInstance,
                                                 MAKEINTRESOURCEA(IDD_ADD_IMAGES_PROGRESS),
                                                 MainWindow, AddImagesProgressProc, 0);
    if (!AddImagesProgressDialog) {
        EnableWindow(MainWindow, TRUE);
        return 0;
    }
    HWND bar = GetDlgItem(AddImagesProgressDialog, IDC_ADD_PROGRESS_BAR);
    // The classic range message carries 16 bits: a larger drop would wrap round, so it
    // takes the 32-bit range instead.
    if (count <= 0xFFFF) SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, count));
    else SendMessageA(bar, PBM_SETRANGE32, 0, count);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    ShowWindow(AddImagesProgressDialog, SW_SHOW);
    return count;
}

void CloseImportBatch(int count)
{
    if (count > 0) {
        EnableWindow(MainWindow, TRUE);
        if (IsWindow(AddImagesProgressDialog)) DestroyWindow(AddImagesProgressDialog);
        AddImagesProgressDialog = NULL;
        RefreshItemCount();
    }
    ImportActive = 0;
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
}  // namespace

void AddImageFile(const char* path)
{
    PictureRect pictureRect;
    HBITMAP bitmap = MakeThumbnail(MainWindow, path, &pictureRect);
    if (!bitmap) {
        SetProgressLine(IDC_ADD_MESSAGE, "Unknown File Format: %s", path);
        return;
    }
    HIMAGELIST list = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    ImageListStore store(list, bitmap);
    int slot = list ? TakeThumbnailSlot(FreeSlotQueue, store) : -1;
    if (slot >= 0) ImageCollection.push_back(MakeImageEntry(slot, path, pictureRect));
    DeleteObject(bitmap);
    RefreshItemCount();
    UpdateStatusCounts();
}
