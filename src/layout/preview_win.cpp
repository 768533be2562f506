#include "layout/preview_win.h"

#include <cstdio>

#include "ui/commands.h"
#include "ui/operation_win.h"
#include "platform/message_loop_win.h"
#include "model/preview_geometry.h"

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

// The GDI objects of one rendering.
struct PageCanvas {
    HDC screen, page, scratch;
    HBITMAP pageBitmap, scratchBitmap;
    HGDIOBJ oldPage, oldScratch;
    HBRUSH shadow, black, white, grey;
};

static void ReleaseCanvas(PageCanvas* c)
{
    if (c->page) {
        if (c->oldPage) SelectObject(c->page, c->oldPage);
        DeleteDC(c->page);
    }
    if (c->scratch) {
        if (c->oldScratch) SelectObject(c->scratch, c->oldScratch);
        DeleteDC(c->scratch);
    }
    if (c->screen) ReleaseDC(NULL, c->screen);
    HGDIOBJ objects[] = {c->pageBitmap, c->scratchBitmap, c->shadow, c->black, c->white, c->grey};
    for (HGDIOBJ o : objects)
        if (o) DeleteObject(o);
}

static BOOL MakeCanvas(PageCanvas* c, int E)
{
    ZeroMemory(c, sizeof *c);
    c->screen = GetDC(NULL);
    if (!c->screen) return FALSE;
    c->page = CreateCompatibleDC(c->screen);
    c->scratch = CreateCompatibleDC(c->screen);
    if (!c->page || !c->scratch) return FALSE;
    SetStretchBltMode(c->page, HALFTONE);
    SetBrushOrgEx(c->page, 0, 0, NULL);
    SetStretchBltMode(c->scratch, HALFTONE);
    SetBrushOrgEx(c->scratch, 0, 0, NULL);
    c->pageBitmap = CreateCompatibleBitmap(c->screen, E, E);
    c->scratchBitmap = CreateCompatibleBitmap(c->screen, ThumbnailSize, ThumbnailSize);
    if (!c->pageBitmap || !c->scratchBitmap) return FALSE;
    c->oldPage = SelectObject(c->page, c->pageBitmap);
    c->oldScratch = SelectObject(c->scratch, c->scratchBitmap);
    c->shadow = CreateSolidBrush(RGB(192, 192, 192));
    c->black = CreateSolidBrush(RGB(0, 0, 0));
    c->white = CreateSolidBrush(RGB(255, 255, 255));
    c->grey = CreateSolidBrush(RGB(127, 127, 127));
    return c->shadow && c->black && c->white && c->grey;
}

static void Fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush)
{
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, brush);
}

static void DrawEmptyPage(PageCanvas* c, int E, const PreviewPage& page, const PreviewCells& cells)
{
    Fill(c->page, 0, 0, E, E, c->white);
    Fill(c->page, cells.ox + 4, cells.oy + 4, cells.ox + 4 + page.W, cells.oy + 4 + page.H, c->shadow);
    RECT sheet = {cells.ox, cells.oy, cells.ox + page.W, cells.oy + page.H};
    FillRect(c->page, &sheet, c->white);
    FrameRect(c->page, &sheet, c->black);
}

static void DrawPicture(PageCanvas* c, HIMAGELIST thumbnails, const ImageEntry& entry,
                        const PreviewCells& cells, int cell)
{
    const PictureRect& r = entry.pictureRect;
    int pw = r.right - r.left, ph = r.bottom - r.top;
    int x = cells.x[cell], y = cells.y[cell];
    RECT box = {x, y, x + cells.cw, y + cells.ch};
    FillRect(c->page, &box, c->grey);
    ImageList_Draw(thumbnails, entry.slot, c->scratch, 0, 0, ILD_NORMAL);
    int dw, dh;
    FitPreviewPicture(pw, ph, cells.cw, cells.ch, &dw, &dh);
    int dx = dw < cells.cw ? x + (cells.cw - dw) / 2 : x;
    int dy = dh < cells.ch ? y + (cells.ch - dh) / 2 : y;
    StretchBlt(c->page, dx, dy, dw, dh, c->scratch, r.left, r.top, pw, ph, SRCCOPY);
    FrameRect(c->page, &box, c->black);
}

static void AddPagePicture(PageCanvas* c, HIMAGELIST pages)
{
    SelectObject(c->page, c->oldPage);  // an image list copies only unselected bitmaps
    int index = ImageList_Add(pages, c->pageBitmap, NULL);
    if (index >= 0) PreviewSlotList.push_back(index);
    SelectObject(c->page, c->pageBitmap);
}

// The pages of the collection as it is; 0 when there are none (or the window closes).
static int RenderPages()
{
    double width, height;  // the PDF's own paper, whole points as the preview draws it
    if (!PaperSizeInPoints(PdfSettings.pageSizeName, &width, &height)) return 0;
    PreviewGeometry g = ComputePreviewGeometry((int)width, (int)height);
    PreviewPage page = LandscapePreviewPage(g);

    SendMessageA(PreviewListView, LVM_SETITEMCOUNT, 0, 0);
    PreviewSlotList.clear();
    HIMAGELIST pages = ImageList_Create(g.E, g.E, ILC_COLORDDB, (int)ImageCollection.size(), 1);
    HIMAGELIST old = (HIMAGELIST)SendMessageA(PreviewListView, LVM_SETIMAGELIST, LVSIL_NORMAL,
                                              (LPARAM)pages);
    if (old) ImageList_Destroy(old);
    if (!pages) return 0;
    HIMAGELIST thumbnails = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    LayoutMode layout = PdfSettings.layout;
    int perPage = ImagesPerPage(layout);

    PageCanvas canvas;
    if (!MakeCanvas(&canvas, g.E)) {
        ReleaseCanvas(&canvas);
        return 0;
    }
    PreviewCells cells = {};
    int p = 0;
    // By position, re-reading the size: the pump lets other messages run between pictures.
    for (size_t i = 0; i < ImageCollection.size(); i++) {
        PumpPendingMessages();
        if (OperationCancelled() || i >= ImageCollection.size()) break;
        ImageEntry entry = ImageCollection[i];
        if (p == 0) {
            const PictureRect& r = entry.pictureRect;
            if (PreviewPageTurns(layout, r.right - r.left, r.bottom - r.top, page))
                TurnPreviewPage(&page);
            cells = LayOutPreviewCells(layout, g.E, page);
            DrawEmptyPage(&canvas, g.E, page, cells);
        }
        DrawPicture(&canvas, thumbnails, entry, cells, p);
        if (++p == perPage) {
            p = 0;
            AddPagePicture(&canvas, pages);
        }
    }
    if (p > 0) AddPagePicture(&canvas, pages);
    ReleaseCanvas(&canvas);

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
    LVITEMA* item = &request->item;
    if (item->iItem == -1) {
        OutputDebugStringA("LVOWNER: Request for -1 item?\n");
        return;
    }
    if (item->iItem < 0 || item->iItem >= (int)PreviewSlotList.size()) return;
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
