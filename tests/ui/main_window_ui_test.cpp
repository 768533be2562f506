// The main window and editing its list as a user does: the children's layout as
// relations, the preview switch and tooltips following the command table, closing in
// preview mode; captions in place, the reorder drag, removing, and turning pictures from
// the toolbar.
#include "ui/ui_support_win.h"

#include <algorithm>

#include "ui/commands.h"
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

HWND EditControl() { return (HWND)SendMessageA(ImageListView, LVM_GETEDITCONTROL, 0, 0); }

// F2 on the selected item, `typed` after selecting the whole text, then the ending key.
void EditCaption(int item, const char* typed, WORD endKey)
{
    SelectItems({item});
    SetForegroundWindow(MainWindow);
    SetFocus(ImageListView);
    PressKey(VK_F2);
    HWND edit = EditControl();
    ASSERT_TRUE(edit != NULL);
    EXPECT_EQ(1, CaptionEditActive);
    EXPECT_EQ(CaptionChars - 1, (int)SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char* c = *typed ? typed : "\b"; *c; c++) SendMessageA(edit, WM_CHAR, (BYTE)*c, 1);
    PressKey(endKey);
    EXPECT_TRUE(EditControl() == NULL);
    EXPECT_EQ(0, CaptionEditActive);
}

}  // namespace

TEST(MainWindow, ListFillsTheSpaceAtAnySizeAndPreviewKeepsOnlyThePreviewCommandsAndCloseLeavesIt)
{
    ASSERT_TRUE(StartWithImages(5));
    for (SIZE size : {SIZE{900, 300}, SIZE{400, 700}, SIZE{640, 480}}) {
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

TEST(EditInPlace, CaptionsReturnStoresEscapeKeepsEmptyBecomesThePlaceholderAndToolbarTurnsOnlyTheSelected)
{
    ASSERT_TRUE(StartWithImages(3));
    EditCaption(1, "Beach", VK_RETURN);
    EXPECT_STREQ("Beach", ImageCollection[1].caption);
    EditCaption(1, "never stored", VK_ESCAPE);
    EditCaption(1, "", VK_ESCAPE);
    EXPECT_STREQ("Beach", ImageCollection[1].caption);
    EditCaption(1, "", VK_RETURN);
    EXPECT_STREQ(NoCaption, ImageCollection[1].caption);
    EXPECT_STREQ(NoCaption, ImageCollection[0].caption) << "only the edited item changes";
    SaveScreenshot(MainWindow, "captions");

    std::vector<uint8_t> before = ThumbnailAsShown(1);
    SelectItems({0});
    SendMessageA(MainWindow, WM_COMMAND, IDM_ROTATE_CW, 0);
    EXPECT_EQ(0, ImageCollection[1].rotation);
    EXPECT_EQ(before, ThumbnailAsShown(1));
    // The picture's black top-left mark is now at the top right, the picture tall.
    std::vector<uint8_t> turned = ThumbnailAsShown(0);
    const PictureRect& r = ImageCollection[0].pictureRect;
    EXPECT_GT(r.bottom - r.top, r.right - r.left);
    EXPECT_TRUE(Near(Black, ThumbPixel(turned.data(), r.right - 3, r.top + 3), 40));
    EXPECT_FALSE(Near(Black, ThumbPixel(turned.data(), r.left + 3, r.top + 3), 40));
    SendMessageA(MainWindow, WM_COMMAND, IDM_ROTATE_CCW, 0);
    EXPECT_EQ(0, ImageCollection[0].rotation);
}

TEST(Reorder, DragMovesTheSelectionEscapeCancelsAndRemovedSlotsAreReusedInOrder)
{
    ASSERT_TRUE(StartWithImages(5));
    struct Case {
        std::initializer_list<int> selected;
        int grabbed, target;
        double fx;  // where on the target: left or right half
        const char* order;
        bool escape;  // pressed before the button is let go
    } cases[] = {
        {{0}, 0, 3, 0.75, "1,2,3,0,4", false},
        {{4}, 4, 1, 0.25, "0,4,1,2,3", false},
        {{1, 3}, 1, 4, 0.75, "0,2,4,1,3", false},
        {{2}, 2, 2, 0.75, "0,1,2,3,4", false},  // dropped on itself
        {{0}, 0, 3, 0.75, "0,1,2,3,4", true},
    };
    for (const Case& c : cases) {
        SelectItems(c.selected);
        SetFocus(ImageListView);
        BeginDrag(c.grabbed);
        ASSERT_EQ(1, DragActive);
        SendMessageA(MainWindow, WM_MOUSEMOVE, MK_LBUTTON, ItemPoint(c.target, c.fx, 0.35));
        if (c.escape) PressKey(VK_ESCAPE);
        SendMessageA(MainWindow, WM_LBUTTONUP, 0, ItemPoint(c.target, c.fx, 0.35));
        FlushMessages();
        EXPECT_EQ(c.order, CollectionOrder()) << c.grabbed << " to " << c.target;
        EXPECT_EQ(0, DragActive);
        EXPECT_NE(MainWindow, GetCapture());
        std::sort(ImageCollection.begin(), ImageCollection.end(),
                  [](const ImageEntry& a, const ImageEntry& b) { return a.slot < b.slot; });
    }

    SelectItems({1, 3});
    SetFocus(ImageListView);
    PressKey(VK_DELETE);
    EXPECT_EQ("0,2,4", CollectionOrder());
    EXPECT_EQ(3, ItemCount());
    EXPECT_EQ("Images: 003", StatusText(1));
    AddTestImages(3);  // into the freed slots, the highest removed position's first
    EXPECT_EQ(3, ImageCollection[3].slot);
    // The reused slot shows the new picture, not the removed one.
    std::vector<uint8_t> shown = ThumbnailAsShown(3);
    EXPECT_TRUE(Near(Rgb{40, 200, 90}, ThumbPixel(shown.data(), 60, 48), 8));
}
