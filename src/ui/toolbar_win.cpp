// The main toolbar: the buttons of the command table, one image strip, tooltips by
// string id.
#include "ui/toolbar_win.h"

#include "ui/commands.h"
#include "ui/version_rules.h"

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

    static const BYTE styles[] = {BTNS_BUTTON, BTNS_CHECK, BTNS_WHOLEDROPDOWN};
    TBBUTTON buttons[2 * ToolbarImageCount];  // a separator at most before each command
    int count = 0;
    for (int i = 0; i < ToolbarCommandCount; i++) {
        const CommandInfo& c = ToolbarCommands[i];
        if (c.separatorBefore) buttons[count++] = Button(8, 0, BTNS_SEP);  // image: width
        buttons[count++] = Button(c.image, c.id, styles[c.kind]);
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, count, (LPARAM)buttons);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    ShowWindow(toolbar, SW_SHOW);
    return toolbar;
}

void AnswerToolbarTooltip(NMTTDISPINFOA* request)
{
    request->hinst = AppInstance;
    int id = CommandTip((int)request->hdr.idFrom, PreviewActive != 0);
    if (id) request->lpszText = MAKEINTRESOURCEA(id);
}
