// The main window: its children's layout as relations, the preview switch and tooltips
// following the command table, and closing in preview mode.
#include "ui/ui_support_win.h"

#include "app/commands.h"
#include "layout/preview_win.h"

namespace {

RECT ChildRect(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, MainWindow, (POINT*)&r, 2);
    return r;
}

bool ButtonEnabled(int id) { return SendMessageA(MainToolbar, TB_ISBUTTONENABLED, id, 0) != 0; }

// The tooltip the toolbar's tip control would show for a button: its string's text.
std::string TipFor(int id)
{
    NMTTDISPINFOA request = {};
    request.hdr = {MainToolbarTips, (UINT_PTR)id, (UINT)TTN_GETDISPINFOA};
    SendMessageA(MainWindow, WM_NOTIFY, 0, (LPARAM)&request);
    if (!request.lpszText) return "";
    char text[256] = "";
    if (IS_INTRESOURCE(request.lpszText))
        LoadStringA(request.hinst, (UINT)(UINT_PTR)request.lpszText, text, sizeof text);
    return text;
}

}  // namespace

TEST(MainWindow, ListFillsTheSpaceBetweenToolbarAndStatusBarAtAnySize)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    for (SIZE size : {SIZE{640, 480}, SIZE{900, 300}, SIZE{400, 700}}) {
        SetWindowPos(MainWindow, NULL, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        FlushMessages();
        RECT client, bar = ChildRect(MainToolbar), list = ChildRect(ImageListView),
                     status = ChildRect(StatusBar);
        GetClientRect(MainWindow, &client);
        EXPECT_EQ(bar.bottom, list.top) << size.cx << "x" << size.cy;
        EXPECT_EQ(list.bottom, status.top);
        EXPECT_EQ(client.bottom, status.bottom);
        EXPECT_TRUE(list.left == client.left && list.right == client.right);
        EXPECT_EQ(list.top, ChildRect(PreviewListView).top);
    }
}

TEST(MainWindow, PreviewKeepsOnlyThePreviewCommandsAndCloseLeavesIt)
{
    ASSERT_TRUE(StartWithImages(5));
    SendMessageA(MainWindow, WM_COMMAND, IDM_PREVIEW, 0);
    ASSERT_EQ(1, PreviewActive);
    EXPECT_FALSE(IsWindowVisible(ImageListView));
    EXPECT_TRUE(IsWindowVisible(PreviewListView));
    EXPECT_EQ(5u, PreviewSlotList.size()) << "one page a picture";
    for (int i = 0; i < ToolbarCommandCount; i++) {
        const CommandInfo& c = ToolbarCommands[i];
        EXPECT_EQ(c.worksInPreview, ButtonEnabled(c.id)) << c.id;
        EXPECT_EQ(c.worksInPreview, !TipFor(c.id).empty()) << c.id;
    }
    std::string closeTip = TipFor(IDM_PREVIEW);
    SaveScreenshot(MainWindow, "preview");
    SendMessageA(MainWindow, WM_CLOSE, 0, 0);  // only leaves preview
    FlushMessages();
    ASSERT_TRUE(IsWindow(MainWindow));
    EXPECT_EQ(0, PreviewActive);
    EXPECT_TRUE(IsWindowVisible(ImageListView));
    for (int i = 0; i < ToolbarCommandCount; i++) {
        const int id = ToolbarCommands[i].id;
        EXPECT_TRUE(ButtonEnabled(id) && !TipFor(id).empty()) << id;
    }
    EXPECT_NE(closeTip, TipFor(IDM_PREVIEW));
}
