// The main toolbar: the buttons of the command table, the pictures at the window's DPI,
// tooltips by string id.
#include "ui/toolbar_win.h"

#include <cstring>
#include <vector>

#include "platform/owners_win.h"
#include "ui/commands.h"
#include "ui/dpi_win.h"
#include "ui/toolbar_art.h"
#include "ui/version_rules.h"

enum { ToolbarImageCount = 16 };

static HIMAGELIST ToolbarImageList;  // shared by the main toolbar and the layout palette

// The strip of the 32-bit pictures with alpha, or of the 8-bit ones (by the version rule),
// at one of the three sizes drawn.
static UINT StripId(bool alpha, int side)
{
    if (side == 36) return alpha ? IDB_TOOLBAR_32_36 : IDB_TOOLBAR_8_36;
    if (side == 48) return alpha ? IDB_TOOLBAR_32_48 : IDB_TOOLBAR_8_48;
    return alpha ? IDB_TOOLBAR_32 : IDB_TOOLBAR_8;
}

// The toolbar pictures at the main window's DPI: with their alpha, or cut out of the
// 8-bit strips' grey by a mask. Null when the art cannot be read.
static HIMAGELIST MakeToolbarImages()
{
    const bool alpha = UseAlphaToolbarBitmap(OsVersionClass, CommonControlsVersion);
    const ToolbarArt art = ToolbarArtAt(WindowDpi);
    HRSRC found = FindResourceA(AppInstance, MAKEINTRESOURCEA(StripId(alpha, art.stripSide)),
                                (LPCSTR)RT_BITMAP);
    HGLOBAL loaded = found ? LoadResource(AppInstance, found) : NULL;
    std::vector<uint8_t> pixels;
    if (!loaded || !ToolbarStripPixels((const uint8_t*)LockResource(loaded),
                                       SizeofResource(AppInstance, found), ToolbarImageCount,
                                       art.side, &pixels))
        return NULL;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ToolbarImageCount * art.side;
    info.bmiHeader.biHeight = -art.side;  // top-down, as the pixels come
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    ScopedBitmap strip(CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0));
    HIMAGELIST list = ImageList_Create(art.side, art.side, alpha ? ILC_COLOR32 : ILC_COLOR24 | ILC_MASK,
                                       ToolbarImageCount, 0);
    if (!strip.Valid() || !list) {
        if (list) ImageList_Destroy(list);
        return NULL;
    }
    // Without alpha the fourth byte is reserved and must be 0: left at 255, the image list
    // (under Wine) would not find the grey to cut out.
    if (!alpha)
        for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0;
    memcpy(bits, pixels.data(), pixels.size());
    if (alpha) ImageList_Add(list, strip.Get(), NULL);
    else ImageList_AddMasked(list, strip.Get(), RGB(StripGrey, StripGrey, StripGrey));
    return list;
}

void ShowToolbarArt(HWND toolbar)
{
    if (!ToolbarImageList) ToolbarImageList = MakeToolbarImages();
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, (LPARAM)ToolbarImageList);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
}

// A separator is as wide as its image number says: 8 pixels at 100 %.
static void ScaleSeparators(HWND toolbar)
{
    const int count = (int)SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        TBBUTTON button;
        if (!SendMessageA(toolbar, TB_GETBUTTON, i, (LPARAM)&button) || !(button.fsStyle & BTNS_SEP))
            continue;
        TBBUTTONINFOA info;
        ZeroMemory(&info, sizeof info);
        info.cbSize = sizeof info;
        info.dwMask = TBIF_IMAGE | TBIF_BYINDEX;
        info.iImage = Scaled(8);
        SendMessageA(toolbar, TB_SETBUTTONINFOA, i, (LPARAM)&info);
    }
}

void RemakeToolbarArt()
{
    HIMAGELIST former = ToolbarImageList;
    ToolbarImageList = NULL;
    ScaleSeparators(MainToolbar);
    for (HWND toolbar : {MainToolbar, PaletteToolbar}) ShowToolbarArt(toolbar);
    if (former) ImageList_Destroy(former);
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
    ShowToolbarArt(toolbar);

    static const BYTE styles[] = {BTNS_BUTTON, BTNS_CHECK, BTNS_WHOLEDROPDOWN};
    TBBUTTON buttons[2 * ToolbarImageCount];  // a separator at most before each command
    int count = 0;
    for (int i = 0; i < ToolbarCommandCount; i++) {
        const CommandInfo& c = ToolbarCommands[i];
        if (c.separatorBefore) buttons[count++] = Button(0, 0, BTNS_SEP);
        buttons[count++] = Button(c.image, c.id, styles[c.kind]);
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, count, (LPARAM)buttons);
    ScaleSeparators(toolbar);
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
