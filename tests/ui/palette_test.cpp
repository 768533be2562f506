// The layout palette under the toolbar's layout button.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include "app/statusbar_win.h"
#include "layout/palette_win.h"

namespace {
std::string StatusText(int part)
{
    char text[128] = "";
    SendMessageA(StatusBar, SB_GETTEXTA, part, (LPARAM)text);
    return text;
}

// Presses the layout button's drop-down as the toolbar reports it.
void DropDownLayoutButton()
{
    NMTOOLBARA notify;
    memset(&notify, 0, sizeof notify);
    notify.hdr.hwndFrom = MainToolbar;
    notify.hdr.idFrom = IDC_MAIN_TOOLBAR;
    notify.hdr.code = TBN_DROPDOWN;
    notify.iItem = PdfSettings.layout;
    SendMessageA(MainWindow, WM_NOTIFY, IDC_MAIN_TOOLBAR, (LPARAM)&notify);
    FlushMessages();
}

void Choose(LayoutMode layout)
{
    SendMessageA(LayoutPalette, WM_COMMAND, MAKEWPARAM(layout, BN_CLICKED), (LPARAM)PaletteToolbar);
    FlushMessages();
}

int MakePdfCommands;
WNDPROC OriginalMainProc;

LRESULT CALLBACK CountMakePdf(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDM_KEY_MAKE_PDF) {
        MakePdfCommands++;
        return 0;
    }
    return CallWindowProcA(OriginalMainProc, window, message, wParam, lParam);
}

int LayoutButtonIndex()
{
    return (int)SendMessageA(MainToolbar, TB_COMMANDTOINDEX, PdfSettings.layout, 0);
}

void AddPlainEntries(int n)
{
    for (int i = 0; i < n; i++)
        ImageCollection.push_back(MakeImageEntry(i, "C:\\x.png", PictureRect{0, 0, 96, 96}));
}
}  // namespace

TEST(Palette, IsMadeHiddenWithThreeButtonsInAColumn)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    ASSERT_TRUE(LayoutPalette != NULL);
    EXPECT_FALSE(IsWindowVisible(LayoutPalette));
    EXPECT_EQ(MainWindow, GetWindow(LayoutPalette, GW_OWNER));
    ASSERT_EQ(3, (int)SendMessageA(PaletteToolbar, TB_BUTTONCOUNT, 0, 0));
    RECT previous = {0, 0, 0, 0};
    for (int i = 0; i < 3; i++) {
        TBBUTTON b;
        memset(&b, 0xcc, sizeof b);
        SendMessageA(PaletteToolbar, TB_GETBUTTON, i, (LPARAM)&b);
        EXPECT_EQ(118 + i, b.idCommand);
        EXPECT_EQ(7 + i, b.iBitmap);
        RECT r;
        SendMessageA(PaletteToolbar, TB_GETITEMRECT, i, (LPARAM)&r);
        if (i > 0) {
            EXPECT_EQ(previous.left, r.left) << "one column";
            EXPECT_GE(r.top, previous.bottom) << "one under another";
        }
        previous = r;
    }
}

TEST(Palette, OpensAtTheLayoutButtonsBottomLeftCorner)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    DropDownLayoutButton();
    EXPECT_TRUE(IsWindowVisible(LayoutPalette));
    EXPECT_EQ(1, PaletteShown);
    RECT button, palette;
    SendMessageA(MainToolbar, TB_GETRECT, PdfSettings.layout, (LPARAM)&button);
    MapWindowPoints(MainToolbar, HWND_DESKTOP, (POINT*)&button, 2);
    GetWindowRect(LayoutPalette, &palette);
    EXPECT_EQ(button.left, palette.left);
    EXPECT_EQ(button.bottom, palette.top);
    RECT around;
    GetWindowRect(MainWindow, &around);
    around.bottom = palette.bottom + 20;
    SaveScreenArea(around, "layout-palette");
    SaveScreenshot(LayoutPalette, "layout-palette-alone");
}

TEST(Palette, ChoosingTwoPerPageUpdatesButtonTooltipAndPages)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPlainEntries(5);
    UpdateStatusCounts();
    EXPECT_EQ("Pages: 005", StatusText(2));
    int index = LayoutButtonIndex();

    DropDownLayoutButton();
    Choose(LayoutTwoPerPage);
    EXPECT_FALSE(IsWindowVisible(LayoutPalette));
    EXPECT_EQ(0, PaletteShown);
    EXPECT_EQ(LayoutTwoPerPage, PdfSettings.layout);
    TBBUTTON b;
    SendMessageA(MainToolbar, TB_GETBUTTON, index, (LPARAM)&b);
    EXPECT_EQ(LayoutTwoPerPage, b.idCommand);
    EXPECT_EQ(8, b.iBitmap);
    EXPECT_EQ("Pages: 003", StatusText(2));

    NMTTDISPINFOA request;
    memset(&request, 0, sizeof request);
    request.hdr.hwndFrom = MainToolbarTips;
    request.hdr.idFrom = b.idCommand;
    request.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(MainWindow, WM_NOTIFY, 0, (LPARAM)&request);
    EXPECT_EQ((UINT_PTR)IDS_TIP_CURRENT_TWO, (UINT_PTR)request.lpszText);

    // The button still opens the palette under its new id; four per page gives 2 pages.
    DropDownLayoutButton();
    EXPECT_TRUE(IsWindowVisible(LayoutPalette));
    Choose(LayoutFourPerPage);
    EXPECT_EQ("Pages: 002", StatusText(2));
    SendMessageA(MainToolbar, TB_GETBUTTON, index, (LPARAM)&b);
    EXPECT_EQ(LayoutFourPerPage, b.idCommand);
    EXPECT_EQ(9, b.iBitmap);
}

TEST(Palette, ChoosingTheCurrentLayoutChangesNothing)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPlainEntries(5);
    // A status text the palette would overwrite if it refreshed the counts.
    SendMessageA(StatusBar, SB_SETTEXTA, 2, (LPARAM)"untouched");
    DropDownLayoutButton();
    Choose(LayoutOnePerPage);
    EXPECT_FALSE(IsWindowVisible(LayoutPalette));
    EXPECT_EQ(LayoutOnePerPage, PdfSettings.layout);
    EXPECT_EQ("untouched", StatusText(2));
}

TEST(Palette, ClickOutsideClosesItWithoutAChange)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    DropDownLayoutButton();
    ASSERT_TRUE(IsWindowVisible(LayoutPalette));
    // Activation moves elsewhere, as a click outside the palette does.
    SetActiveWindow(MainWindow);
    FlushMessages();
    EXPECT_FALSE(IsWindowVisible(LayoutPalette));
    EXPECT_EQ(0, PaletteShown);
    EXPECT_EQ(LayoutOnePerPage, PdfSettings.layout);
}

TEST(Palette, TooltipsNameTheLayoutToSet)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    struct { UINT command; UINT_PTR text; BOOL answered; } cases[] = {
        {118, IDS_TIP_SET_ONE, TRUE}, {119, IDS_TIP_SET_TWO, TRUE},
        {120, IDS_TIP_SET_FOUR, TRUE}, {121, 0, FALSE},
    };
    for (auto& c : cases) {
        NMTTDISPINFOA request;
        memset(&request, 0, sizeof request);
        request.hdr.hwndFrom = PaletteToolbarTips;
        request.hdr.idFrom = c.command;
        request.hdr.code = TTN_GETDISPINFOA;
        INT_PTR answered = LayoutPaletteProc(LayoutPalette, WM_NOTIFY, 0, (LPARAM)&request);
        EXPECT_EQ(c.answered, (BOOL)answered) << c.command;
        EXPECT_EQ(c.text, (UINT_PTR)request.lpszText) << c.command;
        EXPECT_TRUE(request.uFlags & TTF_DI_SETITEM);
    }
}

TEST(Palette, ShortcutsStillReachTheMainWindowFromThePalette)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    DropDownLayoutButton();
    SetFocus(PaletteToolbar);
    // Ctrl+M must reach the main window even though the palette has the focus.
    MakePdfCommands = 0;
    OriginalMainProc = (WNDPROC)SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, (LONG_PTR)CountMakePdf);
    PressKey('M', true);
    EXPECT_EQ(1, MakePdfCommands);
}
