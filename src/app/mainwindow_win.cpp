// The main window procedure: builds and lays out the child windows and hands every
// command and notification to the module that does the work.
#include "app/mainwindow_win.h"

#include "app/help_win.h"
#include "ui/dpi_win.h"
#include "ui/operation_win.h"
#include "ui/progress_win.h"
#include "ui/statusbar_win.h"
#include "ui/toolbar_win.h"
#include "import/add_images_win.h"
#include "import/drop_target_win.h"
#include "layout/palette_win.h"
#include "layout/preview_win.h"
#include "listview/image_listview_win.h"
#include "listview/remove_win.h"
#include "listview/reorder_win.h"
#include "listview/transform_win.h"
#include "pdf/make_pdf_win.h"
#include "pdf/options_win.h"

// The last mouse message of a reorder drag, replayed by the auto-scroll timer.
static WPARAM LastDragMouseWParam;
static LPARAM LastDragMouseLParam;

static void OnCreate(HWND window)
{
    WindowDpi = DpiOfWindow(window);
    CreatePreviewListView(window);
    CreateStatusBar(window);
    CreateMainToolbar(window);
    if (!CreateImageListView(window)) {
        MessageBoxA(NULL, "Listview Initialization Failed!", "Error!", MB_ICONWARNING);
        PostQuitMessage(0);
    }
    RegisterImageDropTarget(ImageListView);
    CreateLayoutPalette(window);
    FitFontsToDpi();
}

// The window moved to a monitor of another DPI (or the user changed the scale): every
// size is made again for it, and the window takes the place Windows suggests.
static void OnDpiChanged(HWND window, int dpi, const RECT* suggested)
{
    WindowDpi = dpi;
    FitFontsToDpi();
    RemakeToolbarArt();
    FitLayoutPalette();
    ResizeThumbnails(ThumbnailSideAt(dpi));
    SetWindowPos(window, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutChildWindows(window);
    if (PreviewActive && ProgramIdle()) RenderPreviewPages();
}

static void OnDestroy()
{
    RestoreImageListViewProc();
    RevokeImageDropTarget(ImageListView);
    DestroyWindow(ImageListView);
    DestroyWindow(MainToolbar);
    DestroyWindow(PaletteToolbar);
    DestroyWindow(LayoutPalette);
    PostQuitMessage(0);
}

void TogglePreview()
{
    if (!PreviewActive && RenderPreviewPages() == 1) {
        EnterPreviewMode();
        PreviewActive = 1;
        return;
    }
    SendMessageA(MainToolbar, TB_CHECKBUTTON, IDM_PREVIEW, MAKELPARAM(FALSE, 0));
    PreviewActive = 0;
    LeavePreviewMode();
}

static void RemoveAndCount()
{
    RemoveSelectedImages();
    UpdateStatusCounts();
}

// Returns FALSE for ids without a handler, which go to the default procedure.
static BOOL OnCommand(HWND window, int id)
{
    switch (id) {
    case IDM_ABOUT: ShowAboutBox(); break;
    case IDM_EXIT: DestroyWindow(window); break;
    case IDM_ADD_IMAGES:
    case IDM_MENU_ADD_IMAGES:
    case IDM_KEY_ADD_IMAGES: AddImagesFromFiles(); break;
    case IDM_OPTIONS: ShowPdfOptions(); break;
    case IDM_MAKE_PDF:
    case IDM_KEY_MAKE_PDF: MakePdfCommand(); break;
    case IDM_PREVIEW:
    case IDM_KEY_PREVIEW: TogglePreview(); break;
    case IDM_LAYOUT_ONE:
    case IDM_LAYOUT_TWO:
    case IDM_LAYOUT_FOUR: break;  // the layout button works through its drop-down
    case IDM_ROTATE_CW:
    case IDM_CTX_ROTATE_CW: TransformSelectedImages(RotateClockwise); break;
    case IDM_ROTATE_CCW:
    case IDM_CTX_ROTATE_CCW: TransformSelectedImages(RotateCounterClockwise); break;
    case IDM_FLIP_LEFT_RIGHT:
    case IDM_CTX_FLIP_LEFT_RIGHT: TransformSelectedImages(FlipLeftRight); break;
    case IDM_FLIP_TOP_BOTTOM:
    case IDM_CTX_FLIP_TOP_BOTTOM: TransformSelectedImages(FlipTopBottom); break;
    case IDM_REMOVE:
    case IDM_CTX_REMOVE: RemoveAndCount(); break;
    case IDM_HELP:
    case IDM_HELP_CONTENTS: ShowHelp(); break;
    case IDM_CTX_CHANGE_CAPTION: BeginCaptionEdit(AtRightClick, 0); break;
    case IDM_SELECT_ALL: SelectAllImages(); break;
    case IDM_WEB_SITE: OpenWebSite(); break;
    default: return FALSE;
    }
    return TRUE;
}

// Keys in the thumbnail list: Escape ends a drag, Delete removes, F2 or a letter or digit
// edits the caption.
static void OnImageListKey(WORD key)
{
    if (key == VK_ESCAPE && DragActive) EndReorderDrag(1);
    if (!ProgramIdle()) return;
    if (key == VK_DELETE) RemoveAndCount();
    else if (key == VK_F2) BeginCaptionEdit(ByF2, VK_F2);
    else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        BeginCaptionEdit(ByTypedKey, key);
}

static BOOL OnImageListNotify(NMHDR* header)
{
    switch (header->code) {
    case LVN_KEYDOWN: OnImageListKey(((NMLVKEYDOWN*)header)->wVKey); return TRUE;
    case LVN_GETDISPINFOA: AnswerImageDisplayInfo((NMLVDISPINFOA*)header); return TRUE;
    case LVN_BEGINDRAG: {
        NMLISTVIEW* drag = (NMLISTVIEW*)header;
        BeginReorderDrag(drag->iItem, drag->ptAction.x, drag->ptAction.y);
        return TRUE;
    }
    case LVN_BEGINLABELEDITA: OnBeginCaptionEdit((NMLVDISPINFOA*)header); return TRUE;
    case LVN_ENDLABELEDITA: OnEndCaptionEdit((NMLVDISPINFOA*)header); return TRUE;
    case NM_RCLICK: ShowImageContextMenu((NMITEMACTIVATE*)header); return TRUE;
    }
    return FALSE;
}

// Returns FALSE for notifications that go to the default procedure.
static BOOL OnNotify(NMHDR* header)
{
    if (header->hwndFrom == ImageListView) return OnImageListNotify(header);
    if (header->hwndFrom == MainToolbar && header->code == (UINT)TBN_DROPDOWN) {
        NMTOOLBARA* dropDown = (NMTOOLBARA*)header;
        if (dropDown->iItem >= LayoutOnePerPage && dropDown->iItem <= LayoutFourPerPage)
            ShowLayoutPalette(dropDown);
        return TRUE;
    }
    if (header->hwndFrom == MainToolbarTips && header->code == TTN_GETDISPINFOA) {
        AnswerToolbarTooltip((NMTTDISPINFOA*)header);
        return TRUE;
    }
    if (header->hwndFrom == PreviewListView && header->code == LVN_GETDISPINFOA) {
        AnswerPageDisplayInfo((NMLVDISPINFOA*)header);
        return TRUE;
    }
    return FALSE;
}

static void SetComposited(HWND window, BOOL on)
{
    LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    style = on ? (style | WS_EX_COMPOSITED) : (style & ~(LONG_PTR)WS_EX_COMPOSITED);
    SetWindowLongPtrA(window, GWL_EXSTYLE, style);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE:
        SendMessageA(StatusBar, WM_SIZE, wParam, lParam);
        LayoutChildWindows(window);
        return 0;
    case WM_CLOSE:
        if (CloseWaitsForOperation()) return 0;
        if (PreviewActive) {
            PostMessageA(window, WM_COMMAND, IDM_PREVIEW, 0);  // only leaves preview mode
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (OnNotify((NMHDR*)lParam)) return 0;
        break;
    case WM_COMMAND:
        // Commands arriving inside a running operation (or a modal dialog) would change
        // what it is working on: they are dropped.
        if (!ProgramIdle()) return 0;
        if (OnCommand(window, LOWORD(wParam))) return 0;
        break;
    case WM_TIMER:
        if (DragActive) TrackReorderDrag(LastDragMouseWParam, LastDragMouseLParam);
        return 0;
    case WM_MOUSEMOVE:
        if (DragActive) {
            LastDragMouseWParam = wParam;
            LastDragMouseLParam = lParam;
            TrackReorderDrag(wParam, lParam);
        }
        return 0;
    case WM_LBUTTONUP:
        if (DragActive) EndReorderDrag(0);
        return 0;
    case WM_CAPTURECHANGED:  // another window took the mouse: the drag cannot go on
        if (DragActive && (HWND)lParam != window) EndReorderDrag(1);
        return 0;
    case WM_DPICHANGED: OnDpiChanged(window, LOWORD(wParam), (const RECT*)lParam); return 0;
    case WM_ENTERSIZEMOVE: SetComposited(window, TRUE); return 0;
    case WM_EXITSIZEMOVE: SetComposited(window, FALSE); return 0;
    case APP_CLOSE_PDF_PROGRESS:
    case APP_CLOSE_ADD_PROGRESS: CloseFailedProgress(); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
