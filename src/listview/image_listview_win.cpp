// The owner-data thumbnail list: it holds no item data and asks the collection for each
// item's caption and thumbnail slot when it paints.
#include "listview/image_listview_win.h"

#include "app/statusbar_win.h"
#include "listview/remove_win.h"
#include "listview/reorder_win.h"

static WNDPROC PreviousImageListViewProc;

static LRESULT CALLBACK ImageListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The key that started a caption edit has already been typed into the editor.
    if (message == WM_CHAR && CaptionEditActive) return 0;
    return CallWindowProcA(PreviousImageListViewProc, window, message, wParam, lParam);
}

HWND CreateImageListView(HWND parent)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&init)) return NULL;

    RECT client = {0, 0, 0, 0}, bar = {0, 0, 0, 0}, status = {0, 0, 0, 0};
    GetClientRect(parent, &client);
    GetClientRect(MainToolbar, &bar);
    GetClientRect(StatusBar, &status);
    int top = bar.bottom + 2;
    int height = client.bottom - (status.bottom - status.top) - top;

    HWND view = CreateWindowExA(WS_EX_ACCEPTFILES, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_AUTOARRANGE |
                                    LVS_EDITLABELS | LVS_OWNERDATA,
                                0, top, client.right, height, parent,
                                (HMENU)(INT_PTR)IDC_IMAGE_LIST_VIEW, AppInstance, NULL);
    if (!view) return NULL;
    ImageListView = view;

    DWORD extended = (DWORD)SendMessageA(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_BORDERSELECT);
    SendMessageA(view, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));

    HIMAGELIST thumbnails = ImageList_Create(ThumbnailSize, ThumbnailSize,
                                             ILC_COLORDDB | ILC_MASK, 4, 36);
    HIMAGELIST old = (HIMAGELIST)SendMessageA(view, LVM_SETIMAGELIST, LVSIL_NORMAL,
                                              (LPARAM)thumbnails);
    if (old) ImageList_Destroy(old);
    ImageList_SetBkColor(thumbnails, CLR_NONE);

    SendMessageA(view, LVM_SETITEMCOUNT, ImageCollection.size(), 0);
    PreviousImageListViewProc = (WNDPROC)SetWindowLongPtrA(view, GWLP_WNDPROC,
                                                           (LONG_PTR)ImageListViewProc);
    return view;
}

void RestoreImageListViewProc()
{
    if (ImageListView && PreviousImageListViewProc)
        SetWindowLongPtrA(ImageListView, GWLP_WNDPROC, (LONG_PTR)PreviousImageListViewProc);
}

void AnswerImageDisplayInfo(NMLVDISPINFOA* request)
{
    LVITEMA* item = &request->item;
    if (item->iItem == -1) {
        OutputDebugStringA("LVOWNER: Request for -1 item?\n");
        return;
    }
    if (item->iItem < 0 || item->iItem >= (int)ImageCollection.size()) return;
    const ImageEntry& entry = ImageCollection[item->iItem];
    if ((item->mask & LVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        if (item->iSubItem == 0) lstrcpynA(item->pszText, entry.caption, item->cchTextMax);
        else if (item->iSubItem == 1) lstrcpynA(item->pszText, entry.path, item->cchTextMax);
    }
    if (item->mask & LVIF_IMAGE) item->iImage = entry.slot;
}

void RefreshItemCount()
{
    SendMessageA(ImageListView, LVM_SETITEMCOUNT, ImageCollection.size(), 0);
    // Wine places the items of an owner-data icon view only when it arranges them (new
    // items would all sit at the top left) and sizes the scroll range from those places:
    // arrange, then set the count once more for the scroll range.
    SendMessageA(ImageListView, LVM_ARRANGE, LVA_DEFAULT, 0);
    SendMessageA(ImageListView, LVM_SETITEMCOUNT, ImageCollection.size(), 0);
}

void OnImageListKeyDown(WORD key)
{
    if (key == VK_ESCAPE) {
        if (DragActive) EndReorderDrag(1);
    } else if (key == VK_DELETE) {
        RemoveSelectedImages();
        UpdateStatusCounts();
    } else if (key == VK_F2) {
        BeginCaptionEdit(ByF2, VK_F2);
    } else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        BeginCaptionEdit(ByTypedKey, key);
    }
}

void BeginCaptionEdit(CaptionEditMode, int)
{
    // Caption editing is not built yet.
}

void OnBeginCaptionEdit(NMLVDISPINFOA*)
{
}

void OnEndCaptionEdit(NMLVDISPINFOA*)
{
}

void ShowImageContextMenu(NMITEMACTIVATE*)
{
    // The context menu is not built yet.
}

void SelectAllImages()
{
    // Selecting all is not built yet.
}
