// The owner-data thumbnail list: it holds no item data and asks the collection for each
// item's caption and thumbnail slot when it paints.
#include "listview/image_listview_win.h"

#include "picture/area_scale.h"
#include "ui/dpi_win.h"
#include "ui/owner_data_win.h"
#include "ui/statusbar_win.h"
#include "ui/thumbnail_win.h"

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

    RECT client = {0, 0, 0, 0}, status = {0, 0, 0, 0};
    GetClientRect(parent, &client);
    GetClientRect(StatusBar, &status);
    int top = ToolbarBottom(parent);
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

    const int side = ThumbnailSideAt(WindowDpi);
    HIMAGELIST thumbnails = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 4, 36);
    HIMAGELIST old = (HIMAGELIST)SendMessageA(view, LVM_SETIMAGELIST, LVSIL_NORMAL,
                                              (LPARAM)thumbnails);
    if (old) ImageList_Destroy(old);
    ImageList_SetBkColor(thumbnails, CLR_NONE);

    SendMessageA(view, LVM_SETITEMCOUNT, ImageCollection.size(), 0);
    PreviousImageListViewProc = (WNDPROC)SetWindowLongPtrA(view, GWLP_WNDPROC,
                                                           (LONG_PTR)ImageListViewProc);
    return view;
}

void ResizeThumbnails(int side)
{
    HIMAGELIST former = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    const int formerSide = ImageListSide(former), count = ImageList_GetImageCount(former);
    if (!former || formerSide == side) return;
    HIMAGELIST list = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, count + 4, 36);
    ThumbnailWorkspace from(formerSide), to(side);
    bool copied = list && from.Ready() && to.Ready();
    for (int slot = 0; copied && slot < count; slot++) {
        copied = from.Read(former, slot);
        ScaleByArea(from.pixels.data(), formerSide, formerSide, to.pixels.data(), side, side);
        copied = copied && to.Write(list, slot);
    }
    if (!copied) {  // the thumbnails stay as they are
        if (list) ImageList_Destroy(list);
        return;
    }
    for (ImageEntry& entry : ImageCollection)
        entry.pictureRect = RectOnSide(entry.pictureRect, formerSide, side);
    SendMessageA(ImageListView, LVM_SETIMAGELIST, LVSIL_NORMAL, (LPARAM)list);
    ImageList_Destroy(former);
    RefreshItemCount();
}

void RestoreImageListViewProc()
{
    if (ImageListView && PreviousImageListViewProc)
        SetWindowLongPtrA(ImageListView, GWLP_WNDPROC, (LONG_PTR)PreviousImageListViewProc);
}

void AnswerImageDisplayInfo(NMLVDISPINFOA* request)
{
    LVITEMA* item = RequestedItem(request, (int)ImageCollection.size());
    if (!item) return;
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

// The item a caption edit starts on: the lowest selected one, or the one under the last
// right click. -1 when there is none.
static int CaptionEditItem(CaptionEditMode mode)
{
    if (mode == AtRightClick) {
        LVHITTESTINFO hit;
        ZeroMemory(&hit, sizeof hit);
        hit.pt = LastRightClickPoint;
        return (int)SendMessageA(ImageListView, LVM_HITTEST, 0, (LPARAM)&hit);
    }
    return (int)SendMessageA(ImageListView, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

void BeginCaptionEdit(CaptionEditMode mode, int key)
{
    int item = CaptionEditItem(mode);
    if (item < 0) return;
    HWND edit = (HWND)SendMessageA(ImageListView, LVM_EDITLABELA, item, 0);
    if (!edit) return;
    CaptionEditActive = 1;
    if (mode == ByTypedKey) {
        // The key code itself: letters enter as capitals, digits as digits. The character
        // message of the same stroke is dropped by ImageListViewProc.
        char typed[2] = {(char)key, 0};
        SendMessageA(edit, EM_REPLACESEL, FALSE, (LPARAM)typed);
    }
}

void OnBeginCaptionEdit(NMLVDISPINFOA*)
{
    HWND edit = (HWND)SendMessageA(ImageListView, LVM_GETEDITCONTROL, 0, 0);
    if (edit) SendMessageA(edit, EM_LIMITTEXT, CaptionChars - 1, 0);
    CaptionEditActive = 1;
}

// True when an edit that the view reports without text was in fact accepted empty: some
// list views (Wine's) report an emptied caption like a cancelled edit. The edit control
// still holds what the user left, and a cancel comes from Escape.
static BOOL AcceptedEmpty()
{
    HWND edit = (HWND)SendMessageA(ImageListView, LVM_GETEDITCONTROL, 0, 0);
    return edit && GetWindowTextLengthA(edit) == 0 && !(GetKeyState(VK_ESCAPE) & 0x8000);
}

void OnEndCaptionEdit(NMLVDISPINFOA* request)
{
    CaptionEditActive = 0;
    const LVITEMA& item = request->item;
    if (item.iItem < 0 || item.iItem >= (int)ImageCollection.size()) return;
    const char* text = item.pszText;
    if (!text) {
        if (!AcceptedEmpty()) return;  // cancelled: the old caption stays
        text = "";
    }
    SetEntryCaption(&ImageCollection[item.iItem], text);  // empty: "[no caption]"
}

void ShowImageContextMenu(NMITEMACTIVATE* click)
{
    LastRightClickPoint = click->ptAction;
    if (click->iItem < 0) return;  // empty space: no menu
    POINT screen = click->ptAction;
    ClientToScreen(ImageListView, &screen);
    HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_IMAGE_MENU));
    if (!menu) return;
    // In front, so that the menu closes when the user clicks elsewhere; the null message
    // afterwards lets the menu's loop end properly.
    SetForegroundWindow(MainWindow);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, screen.x, screen.y, 0, MainWindow,
                   NULL);
    PostMessageA(MainWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

void SelectAllImages()
{
    if (ImageCollection.empty()) return;
    LVITEMA item;
    ZeroMemory(&item, sizeof item);
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(ImageListView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    UpdateWindow(ImageListView);
    SetFocus(ImageListView);
}
