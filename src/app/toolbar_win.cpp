// The main toolbar: sixteen entries, one image strip, tooltips by string id.
#include "app/toolbar_win.h"

#include "app/version_rules.h"

enum { ToolbarImageCount = 16 };

UINT ToolbarBitmapId()
{
    return UseAlphaToolbarBitmap(OsVersionClass, CommonControlsVersion) ? IDB_TOOLBAR_32
                                                                        : IDB_TOOLBAR_8;
}

static TBBUTTON Button(int image, int command, BYTE style)
{
    TBBUTTON b;
    ZeroMemory(&b, sizeof b);
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = style;
    return b;
}

static TBBUTTON Separator()
{
    TBBUTTON b = Button(8, 0, BTNS_SEP);  // a separator's image field is its width
    return b;
}

HWND CreateMainToolbar(HWND parent)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&init)) return NULL;
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL,
                                   WS_CHILD | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, 0, 0, 0, 0,
                                   parent, (HMENU)(INT_PTR)IDC_MAIN_TOOLBAR, AppInstance, NULL);
    if (!toolbar) return NULL;
    MainToolbar = toolbar;
    MainToolbarTips = (HWND)SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(24, 24));

    TBADDBITMAP bitmap = {AppInstance, ToolbarBitmapId()};
    SendMessageA(toolbar, TB_ADDBITMAP, ToolbarImageCount, (LPARAM)&bitmap);

    TBBUTTON buttons[] = {
        Button(0, IDM_ADD_IMAGES, BTNS_BUTTON),
        Separator(),
        Button(3, IDM_OPTIONS, BTNS_BUTTON),
        Button(4, IDM_MAKE_PDF, BTNS_BUTTON),
        Button(5, IDM_PREVIEW, BTNS_CHECK),
        Separator(),
        Button(7, IDM_LAYOUT_ONE, BTNS_WHOLEDROPDOWN),
        Separator(),
        Button(10, IDM_ROTATE_CW, BTNS_BUTTON),
        Button(11, IDM_ROTATE_CCW, BTNS_BUTTON),
        Button(12, IDM_FLIP_TOP_BOTTOM, BTNS_BUTTON),
        Button(13, IDM_FLIP_LEFT_RIGHT, BTNS_BUTTON),
        Separator(),
        Button(14, IDM_REMOVE, BTNS_BUTTON),
        Separator(),
        Button(15, IDM_HELP, BTNS_BUTTON),
    };
    SendMessageA(toolbar, TB_ADDBUTTONSA, sizeof buttons / sizeof buttons[0], (LPARAM)buttons);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    ShowWindow(toolbar, SW_SHOW);
    return toolbar;
}

static UINT TooltipStringFor(UINT command)
{
    switch (command) {
    case IDM_ADD_IMAGES: return IDS_TIP_ADD_IMAGES;
    case IDM_OPEN_LAYOUT: return IDS_TIP_OPEN_LAYOUT;
    case IDM_SAVE_LAYOUT: return IDS_TIP_SAVE_LAYOUT;
    case IDM_OPTIONS: return IDS_TIP_OPTIONS;
    case IDM_MAKE_PDF: return IDS_TIP_MAKE_PDF;
    case IDM_PREVIEW: return PreviewActive ? IDS_TIP_CLOSE_PREVIEW : IDS_TIP_PREVIEW;
    case IDM_LAYOUT_ONE: return IDS_TIP_CURRENT_ONE;
    case IDM_LAYOUT_TWO: return IDS_TIP_CURRENT_TWO;
    case IDM_LAYOUT_FOUR: return IDS_TIP_CURRENT_FOUR;
    case IDM_ROTATE_CW: return IDS_TIP_ROTATE_CW;
    case IDM_ROTATE_CCW: return IDS_TIP_ROTATE_CCW;
    case IDM_FLIP_LEFT_RIGHT: return IDS_TIP_FLIP_LEFT_RIGHT;
    case IDM_FLIP_TOP_BOTTOM: return IDS_TIP_FLIP_TOP_BOTTOM;
    case IDM_REMOVE: return IDS_TIP_REMOVE;
    case IDM_HELP: return IDS_TIP_HELP;
    }
    return 0;
}

static BOOL ShownInPreview(UINT command)
{
    return command == IDM_PREVIEW || command == IDM_HELP ||
           (command >= IDM_LAYOUT_ONE && command <= IDM_LAYOUT_FOUR);
}

void AnswerToolbarTooltip(NMTTDISPINFOA* request)
{
    UINT command = (UINT)request->hdr.idFrom;
    request->hinst = AppInstance;
    if (PreviewActive && !ShownInPreview(command)) return;
    UINT id = TooltipStringFor(command);
    if (id) request->lpszText = MAKEINTRESOURCEA(id);
}
