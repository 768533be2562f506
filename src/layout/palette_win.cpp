#include "layout/palette_win.h"

#include "platform/message_loop_win.h"
#include "ui/operation_win.h"
#include "ui/statusbar_win.h"
#include "ui/toolbar_win.h"
#include "layout/preview_win.h"

int LayoutImage(LayoutMode layout)
{
    return layout == LayoutTwoPerPage ? 8 : layout == LayoutFourPerPage ? 9 : 7;
}

static TBBUTTON PaletteButton(LayoutMode layout)
{
    TBBUTTON b;
    ZeroMemory(&b, sizeof b);
    b.iBitmap = LayoutImage(layout);
    b.idCommand = layout;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    return b;
}

static HWND CreatePaletteToolbar(HWND palette)
{
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL,
                                   WS_CHILD | TBSTYLE_FLAT | TBSTYLE_WRAPABLE | TBSTYLE_TOOLTIPS,
                                   0, 0, 0, 0, palette, (HMENU)(INT_PTR)IDC_MAIN_TOOLBAR,
                                   AppInstance, NULL);
    if (!toolbar) return NULL;
    PaletteToolbarTips = (HWND)SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ShowToolbarArt(toolbar);
    TBBUTTON buttons[] = {PaletteButton(LayoutOnePerPage), PaletteButton(LayoutTwoPerPage),
                          PaletteButton(LayoutFourPerPage)};
    SendMessageA(toolbar, TB_ADDBUTTONSA, 3, (LPARAM)buttons);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    ShowWindow(toolbar, SW_SHOW);
    return toolbar;
}

// Client area for one column of the three buttons: the wrapable toolbar stacks them.
void FitLayoutPalette()
{
    const DWORD button = (DWORD)SendMessageA(PaletteToolbar, TB_GETBUTTONSIZE, 0, 0);
    RECT frame = {0, 0, LOWORD(button), 3 * HIWORD(button)};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrA(LayoutPalette, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrA(LayoutPalette, GWL_EXSTYLE));
    SetWindowPos(LayoutPalette, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(PaletteToolbar, TB_AUTOSIZE, 0, 0);
}

HWND CreateLayoutPalette(HWND owner)
{
    if (!LayoutPalette || !IsWindow(LayoutPalette)) {
        LayoutPalette = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_LAYOUT_PALETTE),
                                           owner, LayoutPaletteProc, 0);
        if (!LayoutPalette) return NULL;
    }
    ShowWindow(LayoutPalette, SW_HIDE);
    PaletteToolbar = CreatePaletteToolbar(LayoutPalette);
    if (!PaletteToolbar) return NULL;
    FitLayoutPalette();
    return LayoutPalette;
}

void ShowLayoutPalette(NMTOOLBARA* dropDown)
{
    RECT button = {0, 0, 0, 0};
    SendMessageA(dropDown->hdr.hwndFrom, TB_GETRECT, dropDown->iItem, (LPARAM)&button);
    MapWindowPoints(dropDown->hdr.hwndFrom, HWND_DESKTOP, (POINT*)&button, 2);
    SetWindowPos(LayoutPalette, NULL, button.left, button.bottom, 0, 0, SWP_NOSIZE);
    ShowWindow(LayoutPalette, SW_SHOW);
    PaletteShown = 1;  // only now: the activation that showing causes must not hide it
}

static void HidePalette()
{
    ShowWindow(LayoutPalette, SW_HIDE);
    PaletteShown = 0;
}

static void ChooseLayout(LayoutMode chosen)
{
    HidePalette();
    // The preview being drawn, or a PDF being made, reads the layout as it goes.
    if (chosen == PdfSettings.layout || !ProgramIdle()) return;

    TBBUTTONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE | TBIF_COMMAND;
    info.idCommand = chosen;
    info.iImage = LayoutImage(chosen);
    SendMessageA(MainToolbar, TB_SETBUTTONINFOA, PdfSettings.layout, (LPARAM)&info);
    PdfSettings.layout = chosen;
    UpdateStatusCounts();

    if (PreviewActive && !RenderPreviewPages()) {
        SendMessageA(MainToolbar, TB_CHECKBUTTON, IDM_PREVIEW, MAKELPARAM(FALSE, 0));
        PreviewActive = 0;
        LeavePreviewMode();
    }
}

static INT_PTR AnswerPaletteTooltip(NMTTDISPINFOA* request)
{
    request->uFlags |= TTF_DI_SETITEM;
    request->hinst = AppInstance;
    switch (request->hdr.idFrom) {
    case LayoutOnePerPage: request->lpszText = MAKEINTRESOURCEA(IDS_TIP_SET_ONE); return TRUE;
    case LayoutTwoPerPage: request->lpszText = MAKEINTRESOURCEA(IDS_TIP_SET_TWO); return TRUE;
    case LayoutFourPerPage: request->lpszText = MAKEINTRESOURCEA(IDS_TIP_SET_FOUR); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK LayoutPaletteProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: RegisterModelessDialog(dialog); return FALSE;
    case WM_DESTROY: UnregisterModelessDialog(dialog); return FALSE;
    case WM_NOTIFY: {
        NMHDR* header = (NMHDR*)lParam;
        if (header->hwndFrom == PaletteToolbarTips && header->code == TTN_GETDISPINFOA)
            return AnswerPaletteTooltip((NMTTDISPINFOA*)header);
        return FALSE;
    }
    case WM_NCACTIVATE:
        // A click anywhere outside takes the activation away: the palette goes.
        if (PaletteShown) HidePalette();
        return FALSE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id < LayoutOnePerPage || id > LayoutFourPerPage) return FALSE;
        ChooseLayout(id);
        return TRUE;
    }
    }
    return FALSE;
}
