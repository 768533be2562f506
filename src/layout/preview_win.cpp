#include "layout/preview_win.h"

#include <algorithm>
#include <cstdio>

#include "ui/commands.h"
#include "platform/owners_win.h"
#include "ui/operation_win.h"
#include "ui/owner_data_win.h"
#include "platform/message_loop_win.h"
#include "model/preview_geometry.h"
#include "ui/thumbnail_win.h"

std::deque<int> PreviewSlotList;

HWND CreatePreviewListView(HWND parent)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&init)) return NULL;
    HWND view = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | LVS_ICON | LVS_AUTOARRANGE | LVS_OWNERDATA, 0, 0, 0,
                                0, parent, (HMENU)(INT_PTR)IDC_PREVIEW_LIST_VIEW, AppInstance,
                                NULL);
    if (!view) return NULL;
    PreviewListView = view;
    DWORD extended = (DWORD)SendMessageA(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_BORDERSELECT);
    SendMessageA(view, LVM_SETITEMCOUNT, PreviewSlotList.size(), 0);
    ShowWindow(view, SW_HIDE);
    return view;
}

// The GDI objects of one rendering: the page being drawn, a square for one thumbnail,
// and the brushes. The bitmaps are selected only while drawing: an image list copies
// only unselected bitmaps.
struct PageCanvas {
    PageCanvas(int side, int thumbnailSide)
        : pageBitmap(CreateCompatibleBitmap(screen.Get(), side, side)),
          scratchBitmap(CreateCompatibleBitmap(screen.Get(), thumbnailSide, thumbnailSide))
    {
        for (HDC dc : {page.Get(), scratch.Get()}) {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, NULL);
        }
    }
    bool Ready() const
    {
        return page.Get() && scratch.Get() && pageBitmap.Get() && scratchBitmap.Get() &&
               shadow.Get() && black.Get() && white.Get() && grey.Get();
    }
    WindowDC screen{NULL};
    MemoryDC page{screen.Get()}, scratch{screen.Get()};
    ScopedBitmap pageBitmap, scratchBitmap;
    ScopedBrush shadow{CreateSolidBrush(RGB(192, 192, 192))}, black{CreateSolidBrush(RGB(0, 0, 0))},
        white{CreateSolidBrush(RGB(255, 255, 255))}, grey{CreateSolidBrush(RGB(127, 127, 127))};
};

static void Fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, brush);
}

static RECT Bounds(const CanvasRect& r)
{
    return RECT{r.left, r.top, r.left + r.width, r.top + r.height};
}

static void DrawEmptyPage(PageCanvas& c, const PreviewPages& pages)
{
    Selection drawing(c.page.Get(), c.pageBitmap.Get());
    const int side = pages.CanvasSide();
    Fill(c.page.Get(), 0, 0, side, side, c.white.Get());
    RECT sheet = Bounds(pages.Sheet());
    const int shadow = pages.ShadowOffset();
    Fill(c.page.Get(), sheet.left + shadow, sheet.top + shadow, sheet.right + shadow,
         sheet.bottom + shadow, c.shadow.Get());
    FillRect(c.page.Get(), &sheet, c.white.Get());
    FrameRect(c.page.Get(), &sheet, c.black.Get());
}

static void DrawPicture(PageCanvas& c, HIMAGELIST thumbnails, const ImageEntry& entry,
                        const PreviewPages& pages)
{
    Selection drawing(c.page.Get(), c.pageBitmap.Get()), thumbnail(c.scratch.Get(), c.scratchBitmap.Get());
    const PictureRect& r = entry.pictureRect;
    RECT box = Bounds(pages.Cell());
    FillRect(c.page.Get(), &box, c.grey.Get());
    ImageList_Draw(thumbnails, entry.slot, c.scratch.Get(), 0, 0, ILD_NORMAL);
    const CanvasRect& to = pages.Picture();
    StretchBlt(c.page.Get(), to.left, to.top, to.width, to.height, c.scratch.Get(), r.left,
               r.top, r.right - r.left, r.bottom - r.top, SRCCOPY);
    FrameRect(c.page.Get(), &box, c.black.Get());
}

static void AddPagePicture(PageCanvas& c, HIMAGELIST pages)
{
    int index = ImageList_Add(pages, c.pageBitmap.Get(), NULL);
    if (index >= 0) PreviewSlotList.push_back(index);
}

// The pages of the collection as it is; 0 when there are none (or the window closes).
static int RenderPages()
{
    double width, height;  // the PDF's own paper, in whole points as the PDF lays it out
    if (!PaperSizeInPoints(PdfSettings.pageSizeName, &width, &height)) return 0;
    int perPage = ImagesPerPage(PdfSettings.layout);
    HIMAGELIST thumbnails = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    const int thumbnailSide = ImageListSide(thumbnails);
    PreviewPages geometry((unsigned)width, (unsigned)height, PdfSettings.pageMargin,
                          PdfSettings.cellGap, perPage, thumbnailSide);
    const int side = geometry.CanvasSide();

    SendMessageA(PreviewListView, LVM_SETITEMCOUNT, 0, 0);
    PreviewSlotList.clear();
    HIMAGELIST pages = ImageList_Create(side, side, ILC_COLORDDB, (int)ImageCollection.size(), 1);
    HIMAGELIST old = (HIMAGELIST)SendMessageA(PreviewListView, LVM_SETIMAGELIST, LVSIL_NORMAL,
                                              (LPARAM)pages);
    if (old) ImageList_Destroy(old);
    if (!pages) return 0;

    PageCanvas canvas(side, thumbnailSide);
    if (!canvas.Ready()) return 0;
    int p = 0;
    // By position, re-reading the size: the pump lets other messages run between pictures.
    for (size_t i = 0; i < ImageCollection.size(); i++) {
        PumpPendingMessages();
        if (OperationCancelled() || i >= ImageCollection.size()) break;
        ImageEntry entry = ImageCollection[i];
        const PictureRect& r = entry.pictureRect;
        if (geometry.Place((unsigned)std::max(0, r.right - r.left),
                           (unsigned)std::max(0, r.bottom - r.top)))
            DrawEmptyPage(canvas, geometry);
        DrawPicture(canvas, thumbnails, entry, geometry);
        if (++p == perPage) {
            p = 0;
            AddPagePicture(canvas, pages);
        }
    }
    if (p > 0) AddPagePicture(canvas, pages);

    if (PreviewSlotList.empty() || OperationCancelled()) return 0;
    SendMessageA(PreviewListView, LVM_SETITEMCOUNT, PreviewSlotList.size(), 0);
    return 1;
}

// Rendering is an operation of its own: the pump between pictures could otherwise let a
// command change the collection, or start another rendering, under it.
int RenderPreviewPages()
{
    if (ImageCollection.empty() || !BeginOperation(PreviewOperation)) return 0;
    int rendered = RenderPages();
    EndOperation();
    return rendered;
}

void AnswerPageDisplayInfo(NMLVDISPINFOA* request)
{
    LVITEMA* item = RequestedItem(request, (int)PreviewSlotList.size());
    if (!item) return;
    if ((item->mask & LVIF_TEXT) && item->iSubItem == 0 && item->pszText && item->cchTextMax > 0) {
        char number[16], text[16];
        snprintf(text, sizeof text, "Page %s", FormatCount(item->iItem + 1, number, sizeof number));
        lstrcpynA(item->pszText, text, item->cchTextMax);
    }
    if (item->mask & LVIF_IMAGE) item->iImage = PreviewSlotList[item->iItem];
}

static void SetAddImagesMenuItem(BOOL enabled)
{
    MENUITEMINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = enabled ? MFS_ENABLED : (MFS_DISABLED | MFS_GRAYED);
    SetMenuItemInfoA(GetSubMenu(GetMenu(MainWindow), 0), IDM_MENU_ADD_IMAGES, FALSE, &info);
}

static void SetPreviewButtonImage(int image)
{
    TBBUTTONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    info.iImage = image;
    SendMessageA(MainToolbar, TB_SETBUTTONINFOA, IDM_PREVIEW, (LPARAM)&info);
}

static void EnableToolbarButtons(BOOL all)
{
    int count = (int)SendMessageA(MainToolbar, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        TBBUTTON button;
        if (!SendMessageA(MainToolbar, TB_GETBUTTON, i, (LPARAM)&button)) continue;
        if (button.fsStyle & BTNS_SEP) continue;
        BOOL enable = all || CommandWorksInPreview(button.idCommand);
        SendMessageA(MainToolbar, TB_ENABLEBUTTON, button.idCommand, MAKELPARAM(enable, 0));
    }
}

void EnterPreviewMode()
{
    EnableToolbarButtons(FALSE);
    SetAddImagesMenuItem(FALSE);
    SetPreviewButtonImage(6);
    ShowWindow(ImageListView, SW_HIDE);
    ShowWindow(PreviewListView, SW_SHOW);
}

void LeavePreviewMode()
{
    EnableToolbarButtons(TRUE);
    SetAddImagesMenuItem(TRUE);
    SetPreviewButtonImage(5);
    ShowWindow(PreviewListView, SW_HIDE);
    ShowWindow(ImageListView, SW_SHOW);
}
