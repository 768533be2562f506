// The main window's furniture and routing: toolbar, tooltips, menus, shortcuts, closing,
// sizing.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <vector>

#include "app/mainwindow_win.h"
#include "app/statusbar_win.h"

namespace {

// Records the commands that reach the main window and keeps them from running, so that
// routing can be checked without opening the dialogs behind them.
std::vector<WPARAM> Commands;
WNDPROC OriginalProc;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        Commands.push_back(wParam);
        return 0;
    }
    return CallWindowProcA(OriginalProc, window, message, wParam, lParam);
}

void RecordCommands(HWND window)
{
    OriginalProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)RecordingProc);
}

struct ToolbarEntry {
    int command, image;
    BYTE style;
};

}  // namespace

TEST(MainWindow, ToolbarHasSixteenEntriesInOrder)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    const ToolbarEntry expected[16] = {
        {112, 0, BTNS_BUTTON}, {0, -1, BTNS_SEP},      {115, 3, BTNS_BUTTON},
        {116, 4, BTNS_BUTTON}, {117, 5, BTNS_CHECK},   {0, -1, BTNS_SEP},
        {118, 7, BTNS_WHOLEDROPDOWN}, {0, -1, BTNS_SEP}, {121, 10, BTNS_BUTTON},
        {122, 11, BTNS_BUTTON}, {124, 12, BTNS_BUTTON}, {123, 13, BTNS_BUTTON},
        {0, -1, BTNS_SEP},     {125, 14, BTNS_BUTTON}, {0, -1, BTNS_SEP},
        {126, 15, BTNS_BUTTON},
    };
    ASSERT_EQ(16, (int)SendMessageA(MainToolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < 16; i++) {
        TBBUTTON b;
        memset(&b, 0xcc, sizeof b);
        ASSERT_TRUE(SendMessageA(MainToolbar, TB_GETBUTTON, i, (LPARAM)&b));
        EXPECT_EQ(expected[i].command, b.idCommand) << "entry " << i;
        EXPECT_EQ(expected[i].style, b.fsStyle & (BTNS_SEP | BTNS_CHECK | BTNS_WHOLEDROPDOWN))
            << "entry " << i;
        if (expected[i].image >= 0) {
            EXPECT_EQ(expected[i].image, b.iBitmap) << "entry " << i;
            EXPECT_TRUE(b.fsState & TBSTATE_ENABLED) << "entry " << i;
        } else {
            EXPECT_EQ(8, b.iBitmap) << "separator width, entry " << i;
        }
    }
    DWORD style = GetWindowLongA(MainToolbar, GWL_STYLE);
    EXPECT_TRUE(style & TBSTYLE_FLAT);
    EXPECT_TRUE(style & TBSTYLE_TOOLTIPS);
    EXPECT_EQ(MainToolbarTips, (HWND)SendMessageA(MainToolbar, TB_GETTOOLTIPS, 0, 0));
}

// Asks the main window for a tooltip as the toolbar's tooltip control does.
static UINT_PTR TooltipId(UINT command)
{
    NMTTDISPINFOA request;
    memset(&request, 0, sizeof request);
    request.hdr.hwndFrom = MainToolbarTips;
    request.hdr.idFrom = command;
    request.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(MainWindow, WM_NOTIFY, 0, (LPARAM)&request);
    if (request.lpszText && request.hinst != GetModuleHandleA(NULL)) return (UINT_PTR)-1;
    return (UINT_PTR)request.lpszText;
}

TEST(MainWindow, TooltipsInNormalAndPreviewMode)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    struct { UINT command; UINT normal, preview; } table[] = {
        {112, 8001, 0}, {113, 8002, 0}, {114, 8003, 0}, {115, 8004, 0}, {116, 8005, 0},
        {117, 8006, 8019}, {118, 8016, 8016}, {119, 8017, 8017}, {120, 8018, 8018},
        {121, 8007, 0}, {122, 8008, 0}, {123, 8010, 0}, {124, 8009, 0}, {125, 8011, 0},
        {126, 8012, 8012}, {111, 0, 0}, {127, 0, 0}, {0, 0, 0},
    };
    for (auto& t : table) EXPECT_EQ(t.normal, TooltipId(t.command)) << t.command;
    PreviewActive = 1;
    for (auto& t : table) EXPECT_EQ(t.preview, TooltipId(t.command)) << t.command;
    PreviewActive = 0;

    // The ids name the texts users see.
    char text[128];
    LoadStringA(GetModuleHandleA(NULL), 8019, text, sizeof text);
    EXPECT_STREQ("Close Preview (Ctrl+P)", text);
    LoadStringA(GetModuleHandleA(NULL), 8010, text, sizeof text);
    EXPECT_STREQ("Flip Selected Image(s) Left to Right (horizontal)", text);
}

TEST(MainWindow, MenusCarryTheirCommands)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    struct { int popup, position; UINT id; const char* text; } items[] = {
        {0, 0, 32790, "&Add Images"}, {0, 2, 105, "E&xit"},
        {1, 0, 32803, "&Contents"}, {1, 2, 32804, "Web Site"}, {1, 4, 104, "&About ..."},
    };
    HMENU bar = GetMenu(MainWindow);
    char text[64];
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&File", text);
    GetMenuStringA(bar, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&Help", text);
    EXPECT_EQ(3, GetMenuItemCount(GetSubMenu(bar, 0)));
    EXPECT_EQ(5, GetMenuItemCount(GetSubMenu(bar, 1)));
    for (auto& item : items) {
        HMENU popup = GetSubMenu(bar, item.popup);
        EXPECT_EQ(item.id, GetMenuItemID(popup, item.position));
        GetMenuStringA(popup, item.position, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(item.text, text);
    }

    HMENU context = LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_IMAGE_MENU));
    HMENU image = GetSubMenu(context, 0);
    GetMenuStringA(context, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("Image", text);
    struct { UINT id; const char* text; } contextItems[] = {
        {32784, "Change Caption"}, {32773, "Rotate Clock Wise"},
        {32774, "Rotate Counter Clock Wise"}, {32786, "Flip Top to Bottom"},
        {32785, "Flip Left to Right"}, {0, ""}, {32776, "Remove Image(s)"},
    };
    ASSERT_EQ(7, GetMenuItemCount(image));
    for (int i = 0; i < 7; i++) {
        EXPECT_EQ(contextItems[i].id, GetMenuItemID(image, i));
        GetMenuStringA(image, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(contextItems[i].text, text);
    }
    DestroyMenu(context);
}

TEST(MainWindow, ShortcutsReachTheirCommands)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    SetForegroundWindow(window);
    SetFocus(ImageListView);
    FlushMessages();
    RecordCommands(window);
    struct { WORD key; bool control, alt, shift; UINT command; } keys[] = {
        {'A', true, false, false, 32796}, {'M', true, false, false, 32800},
        {'N', true, false, false, 32797}, {'O', true, false, false, 32798},
        {'P', true, false, false, 32801}, {'S', true, false, false, 32799},
        {VK_F1, false, false, false, 32803}, {VK_OEM_2, false, true, false, 104},  // Alt+/
        {VK_OEM_2, false, true, true, 104},                                          // Alt+?
    };
    for (auto& k : keys) {
        Commands.clear();
        PressKey(k.key, k.control, k.alt, k.shift);
        ASSERT_EQ(1u, Commands.size()) << "key " << k.key;
        EXPECT_EQ(k.command, LOWORD(Commands[0])) << "key " << k.key;
        EXPECT_EQ(1, HIWORD(Commands[0])) << "sent as a shortcut";
    }
    // Enter is not Ctrl+M.
    Commands.clear();
    PressKey(VK_RETURN);
    EXPECT_TRUE(Commands.empty());
}

TEST(MainWindow, UnhandledShortcutsChangeNothing)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    SetForegroundWindow(window);
    SetFocus(ImageListView);
    PressKey('O', true);
    PressKey('S', true);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(window, GetActiveWindow());  // no dialog opened
    EXPECT_EQ(0u, (UINT)ImageCollection.size());
}

TEST(MainWindow, CloseInPreviewModeOnlyLeavesPreview)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    PreviewActive = 1;
    SendMessageA(MainToolbar, TB_CHECKBUTTON, IDM_PREVIEW, MAKELPARAM(TRUE, 0));
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    FlushMessages();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(0, PreviewActive);
    EXPECT_FALSE(SendMessageA(MainToolbar, TB_ISBUTTONCHECKED, IDM_PREVIEW, 0));
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST(MainWindow, PreviewToggleWithNoImagesStaysOff)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    SendMessageA(MainToolbar, TB_CHECKBUTTON, IDM_PREVIEW, MAKELPARAM(TRUE, 0));  // as a click does
    SendMessageA(window, WM_COMMAND, IDM_PREVIEW, 0);
    EXPECT_EQ(0, PreviewActive);
    EXPECT_FALSE(SendMessageA(MainToolbar, TB_ISBUTTONCHECKED, IDM_PREVIEW, 0));
    EXPECT_TRUE(IsWindowVisible(ImageListView));
}

TEST(MainWindow, CompositedOnlyWhileMovingOrSizing)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_COMPOSITED);
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_COMPOSITED);
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_COMPOSITED);
}

TEST(MainWindow, MouseAndTimerOutsideADragChangeNothing)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(0, SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10)));
    EXPECT_EQ(0, SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10)));
    EXPECT_EQ(0, SendMessageA(window, WM_TIMER, 1, 0));
    EXPECT_EQ(0, DragActive);
    EXPECT_EQ(NULL, GetCapture());
}

TEST(MainWindow, ResizingKeepsTheListBetweenToolbarAndStatusBar)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    SIZE sizes[] = {{800, 600}, {500, 400}, {1000, 700}, {420, 300}};
    for (SIZE size : sizes) {
        SetWindowPos(window, NULL, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        FlushMessages();
        RECT client, bar, status, list, preview;
        GetClientRect(window, &client);
        GetClientRect(MainToolbar, &bar);
        GetWindowRect(StatusBar, &status);
        MapWindowPoints(NULL, window, (POINT*)&status, 2);
        GetWindowRect(ImageListView, &list);
        MapWindowPoints(NULL, window, (POINT*)&list, 2);
        GetWindowRect(PreviewListView, &preview);
        MapWindowPoints(NULL, window, (POINT*)&preview, 2);
        EXPECT_EQ(0, list.left);
        EXPECT_EQ(bar.bottom + 2, list.top) << size.cx;
        EXPECT_EQ(client.right, list.right);
        EXPECT_EQ(status.top, list.bottom) << size.cx;
        EXPECT_EQ(client.bottom, status.bottom);
        EXPECT_TRUE(EqualRect(&list, &preview));

        int gripWidth = status.bottom - status.top;
        RECT statusClient;
        GetClientRect(StatusBar, &statusClient);
        gripWidth = statusClient.bottom - statusClient.top;
        int w = client.right - gripWidth;
        int edges[4];
        ASSERT_EQ(4, (int)SendMessageA(StatusBar, SB_GETPARTS, 4, (LPARAM)edges));
        EXPECT_EQ(w - 200, edges[0]);
        EXPECT_EQ(w - 100, edges[1]);
        EXPECT_EQ(w, edges[2]);
        EXPECT_EQ(-1, edges[3]);
    }
}

// Choosing a menu item (a command with notification code 0) starts its work.
TEST(MainWindow, MenuItemsReachTheirWork)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    struct { UINT command; const char* dialogTitle; } items[] = {
        {IDM_MENU_ADD_IMAGES, "Open"},
        {IDM_ABOUT, "About"},
    };
    for (auto& item : items) {
        std::string title;
        WhenDialogAppears([&](HWND dialog) {
            title = WindowText(dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(item.command, 0), 0);
        FlushMessages();
        EXPECT_EQ(item.dialogTitle, title) << item.command;
        EXPECT_FALSE(DialogTimedOut());
    }
    // Help > Contents opens the help file, or says it is missing.
    std::string helpBox;
    HelpFilePath[0] = 0;
    WhenDialogAppears([&](HWND dialog) {
        helpBox = WindowText(dialog);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_HELP_CONTENTS, 0), 0);
    EXPECT_EQ("Help File Missing", helpBox);
    // File > Exit ends the window.
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    EXPECT_FALSE(IsWindow(window));
}
