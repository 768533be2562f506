// The image list: item count and texts from the collection, caption editing in place,
// the context menu and selecting all.
#include "ui/gtest_win.h"
#include "ui/import_support_win.h"
#include "ui/ui_support_win.h"

#include <vector>

#include "import/import_batch_win.h"
#include "listview/image_listview_win.h"

namespace {

int ItemCount()
{
    return (int)SendMessageA(ImageListView, LVM_GETITEMCOUNT, 0, 0);
}

// The view's text for an item, asked as the view's users do, into a poisoned buffer.
std::string ViewText(int item, int subItem, int bufferChars = 260)
{
    std::vector<char> buffer(bufferChars + 8, (char)0xcc);
    LVITEMA request;
    memset(&request, 0, sizeof request);
    request.iSubItem = subItem;
    request.pszText = buffer.data();
    request.cchTextMax = bufferChars;
    SendMessageA(ImageListView, LVM_GETITEMTEXTA, item, (LPARAM)&request);
    return std::string(request.pszText);
}

void SelectItems(std::initializer_list<int> items)
{
    LVITEMA state;
    memset(&state, 0, sizeof state);
    state.stateMask = LVIS_SELECTED;
    state.state = 0;
    SendMessageA(ImageListView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
    state.state = LVIS_SELECTED;
    for (int item : items) SendMessageA(ImageListView, LVM_SETITEMSTATE, item, (LPARAM)&state);
}

HWND EditControl()
{
    return (HWND)SendMessageA(ImageListView, LVM_GETEDITCONTROL, 0, 0);
}

// A list of `count` pictures with the captions "caption 0", "caption 1", ..., the view
// in front with the keyboard focus.
void StartWithPictures(int count)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddTestPictures(count);
    for (int i = 0; i < count; i++) {
        char caption[32];
        snprintf(caption, sizeof caption, "caption %d", i);
        SetEntryCaption(&ImageCollection[i], caption);
    }
    RefreshItemCount();
    SetForegroundWindow(MainWindow);
    SetFocus(ImageListView);
    FlushMessages();
}

void TypeChars(HWND window, const char* text)
{
    for (const char* c = text; *c; c++) SendMessageA(window, WM_CHAR, (BYTE)*c, 1);
}

// Centre of an item's thumbnail, in the view's client coordinates.
POINT ItemPoint(int item)
{
    RECT r;
    r.left = LVIR_ICON;
    SendMessageA(ImageListView, LVM_GETITEMRECT, item, (LPARAM)&r);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return p;
}

// Watches for the popup menu (#32768) from inside the menu's own loop: records it, and
// runs `action` on it (by default, closes it).
struct MenuWatch {
    bool seen = false;
    std::function<void(HWND menu)> action;
};
MenuWatch* Watch;

void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menu = FindWindowA("#32768", NULL);
    if (!Watch || !menu || !IsWindowVisible(menu)) return;
    KillTimer(NULL, id);
    Watch->seen = true;
    if (Watch->action) Watch->action(menu);
    else EndMenu();
}

void RightClick(POINT client, MenuWatch* watch)
{
    Watch = watch;
    UINT_PTR timer = SetTimer(NULL, 0, 150, MenuTimer);
    POINT screen = client;
    ClientToScreen(ImageListView, &screen);
    SetCursorPos(screen.x, screen.y);
    INPUT clicks[2];
    memset(clicks, 0, sizeof clicks);
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, clicks, sizeof(INPUT));
    FlushMessages(800);
    KillTimer(NULL, timer);
    Watch = nullptr;
}

void KeyTap(WORD vk)
{
    INPUT keys[2];
    memset(keys, 0, sizeof keys);
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = vk;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

}  // namespace

TEST(ImageList, ItemCountAndTextsFollowTheCollection)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    EXPECT_EQ(0, ItemCount());
    std::vector<std::string> paths = AddTestPictures(3);
    ASSERT_EQ(3, ItemCount());
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ("[no caption]", ViewText(i, 0));
        EXPECT_EQ(paths[i], ViewText(i, 1));
        LVITEMA image;
        memset(&image, 0xcc, sizeof image);
        image.mask = LVIF_IMAGE;
        image.iItem = i;
        image.iSubItem = 0;
        ASSERT_TRUE(SendMessageA(ImageListView, LVM_GETITEMA, 0, (LPARAM)&image));
        EXPECT_EQ(ImageCollection[i].slot, image.iImage);
    }
    EXPECT_EQ("[no ", ViewText(0, 0, 5)) << "cut to the view's buffer";

    SetEntryCaption(&ImageCollection[1], "Harbour at dusk");
    RefreshItemCount();
    EXPECT_EQ("Harbour at dusk", ViewText(1, 0));

    int positions[] = {0};
    ASSERT_TRUE(RemoveEntriesAt(ImageCollection, FreeSlotQueue, positions, 1));
    RefreshItemCount();
    EXPECT_EQ(2, ItemCount());
    EXPECT_EQ("Harbour at dusk", ViewText(0, 0));
    EXPECT_EQ(paths[2], ViewText(1, 1));
}

TEST(ImageList, EachNewItemGetsItsOwnPlace)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("places");
    std::vector<POINT> places;
    for (int i = 0; i < 4; i++) {
        char name[16];
        snprintf(name, sizeof name, "p%d.png", i);
        AddImageFile(WritePicture(folder, name, 60, 40, "png").c_str());
        FlushMessages();  // painted in between, as during an import
    }
    for (int i = 0; i < 4; i++) {
        POINT p = {-1, -1};
        SendMessageA(ImageListView, LVM_GETITEMPOSITION, i, (LPARAM)&p);
        places.push_back(p);
    }
    for (int i = 1; i < 4; i++) {
        EXPECT_EQ(places[0].y, places[i].y) << "one row, item " << i;
        EXPECT_GT(places[i].x, places[i - 1].x + ThumbnailSize) << "side by side, item " << i;
    }
}

TEST(ImageList, F2EditsTheLowestSelectedItemUpTo39Characters)
{
    StartWithPictures(4);
    SelectItems({3, 1});
    PressKey(VK_F2);
    HWND edit = EditControl();
    ASSERT_TRUE(edit != NULL);
    EXPECT_EQ(1, CaptionEditActive);
    EXPECT_EQ("caption 1", WindowText(edit));
    EXPECT_EQ(39, (int)SendMessageA(edit, EM_GETLIMITTEXT, 0, 0));
    TypeChars(edit, "0123456789012345678901234567890123456789");  // 40: the last refused
    int selectedWhileEditing = (int)SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0);
    EXPECT_EQ("012345678901234567890123456789012345678", WindowText(edit));
    PressKey(VK_RETURN);
    EXPECT_TRUE(EditControl() == NULL);
    EXPECT_EQ(0, CaptionEditActive);
    EXPECT_STREQ("012345678901234567890123456789012345678", ImageCollection[1].caption);
    EXPECT_EQ("012345678901234567890123456789012345678", ViewText(1, 0));
    EXPECT_STREQ("caption 3", ImageCollection[3].caption);
    EXPECT_EQ(selectedWhileEditing, (int)SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0))
        << "ending the edit leaves the selection as it was";
    SaveScreenshot(MainWindow, "caption_after_edit");
}

TEST(ImageList, EmptyCaptionBecomesNoCaption)
{
    StartWithPictures(2);
    SelectItems({0});
    PressKey(VK_F2);
    HWND edit = EditControl();
    ASSERT_TRUE(edit != NULL);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    TypeChars(edit, "\b");
    EXPECT_EQ("", WindowText(edit));
    PressKey(VK_RETURN);
    EXPECT_STREQ("[no caption]", ImageCollection[0].caption);
    EXPECT_EQ(0, CaptionEditActive);
}

TEST(ImageList, EscapeKeepsTheOldCaption)
{
    StartWithPictures(2);
    SelectItems({1});
    PressKey(VK_F2);
    HWND edit = EditControl();
    ASSERT_TRUE(edit != NULL);
    TypeChars(edit, "never stored");
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(EditControl() == NULL);
    EXPECT_EQ(0, CaptionEditActive);
    EXPECT_STREQ("caption 1", ImageCollection[1].caption);
    EXPECT_EQ("caption 1", ViewText(1, 0));
}

TEST(ImageList, EscapeOnAnEmptiedCaptionKeepsTheOldOne)
{
    StartWithPictures(2);
    SelectItems({0});
    PressKey(VK_F2);
    HWND edit = EditControl();
    ASSERT_TRUE(edit != NULL);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    TypeChars(edit, "\b");
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(EditControl() == NULL);
    EXPECT_STREQ("caption 0", ImageCollection[0].caption);
    EXPECT_EQ(0, CaptionEditActive);
}

TEST(ImageList, TypedKeyStartsTheEditWithThatOneCharacter)
{
    struct Case {
        WORD key;
        bool shift;
        const char* expected;
    } cases[] = {{'A', false, "A"}, {'A', true, "A"}, {'Q', false, "Q"}, {'7', false, "7"}};
    StartWithPictures(2);
    for (const Case& c : cases) {
        SelectItems({1});
        SetFocus(ImageListView);
        PressKey(c.key, false, false, c.shift);
        HWND edit = EditControl();
        ASSERT_TRUE(edit != NULL) << c.expected;
        EXPECT_EQ(c.expected, WindowText(edit)) << "exactly one character";
        DWORD start = 0xcccccccc, end = 0xcccccccc;
        SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        EXPECT_EQ(1u, start) << "caret after the character";
        EXPECT_EQ(1u, end);
        EXPECT_EQ(1, CaptionEditActive);
        PressKey(VK_RETURN);
        EXPECT_STREQ(c.expected, ImageCollection[1].caption);
    }
}

TEST(ImageList, KeysThatStartNoEdit)
{
    StartWithPictures(2);
    SelectItems({0});
    WORD keys[] = {VK_NUMPAD0, VK_NUMPAD5, VK_NUMPAD9, VK_SPACE, VK_OEM_COMMA, VK_F3};
    for (WORD key : keys) {
        SetFocus(ImageListView);
        PressKey(key);
        EXPECT_TRUE(EditControl() == NULL) << "key " << key;
        EXPECT_EQ(0, CaptionEditActive) << "key " << key;
    }
    // With nothing selected neither F2 nor a letter edits.
    SelectItems({});
    PressKey(VK_F2);
    PressKey('B');
    EXPECT_TRUE(EditControl() == NULL);
    EXPECT_STREQ("caption 0", ImageCollection[0].caption);
}

TEST(ImageList, RightClickOnAnItemShowsTheImageMenu)
{
    StartWithPictures(3);
    POINT point = ItemPoint(2);
    MenuWatch watch;
    int items = -1;
    watch.action = [&](HWND menu) {
        HMENU shown = (HMENU)SendMessageA(menu, MN_GETHMENU, 0, 0);
        items = GetMenuItemCount(shown);
        SaveScreenshot(menu, "context_menu");
        EndMenu();
    };
    RightClick(point, &watch);
    EXPECT_TRUE(watch.seen);
    EXPECT_EQ(7, items);
    EXPECT_EQ(point.x, LastRightClickPoint.x);
    EXPECT_EQ(point.y, LastRightClickPoint.y);
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
}

TEST(ImageList, RightClickOnEmptySpaceShowsNoMenu)
{
    StartWithPictures(2);
    RECT client;
    GetClientRect(ImageListView, &client);
    POINT empty = {client.right - 30, client.bottom - 30};
    MenuWatch watch;
    RightClick(empty, &watch);
    EXPECT_FALSE(watch.seen);
    EXPECT_EQ(empty.x, LastRightClickPoint.x) << "stored all the same";
    EXPECT_EQ(empty.y, LastRightClickPoint.y);
    // "Change Caption" now finds no item under the point.
    SendMessageA(MainWindow, WM_COMMAND, IDM_CTX_CHANGE_CAPTION, 0);
    EXPECT_TRUE(EditControl() == NULL);
    EXPECT_EQ(0, CaptionEditActive);
}

TEST(ImageList, ChangeCaptionFromTheMenuEditsTheItemUnderTheClick)
{
    StartWithPictures(4);
    SelectItems({0, 1});
    MenuWatch watch;
    watch.action = [](HWND) {
        KeyTap(VK_DOWN);  // the first item, "Change Caption"
        KeyTap(VK_RETURN);
    };
    RightClick(ItemPoint(3), &watch);
    FlushMessages();
    EXPECT_TRUE(watch.seen);
    HWND edit = EditControl();
    ASSERT_TRUE(edit != NULL);
    EXPECT_EQ("caption 3", WindowText(edit));
    EXPECT_EQ(1, CaptionEditActive);
    TypeChars(edit, "Quay");
    PressKey(VK_RETURN);
    EXPECT_STREQ("Quay", ImageCollection[3].caption);
    EXPECT_STREQ("caption 0", ImageCollection[0].caption);
}

TEST(ImageList, CtrlASelectsEveryItemAndFocusesTheList)
{
    StartWithPictures(5);
    SetFocus(MainWindow);
    PressKey('A', true);
    EXPECT_EQ(5, (int)SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0));
    EXPECT_EQ(ImageListView, GetFocus());
    EXPECT_TRUE(EditControl() == NULL) << "the A of Ctrl+A starts no caption edit";
}

TEST(ImageList, CtrlAWithNoImagesDoesNothing)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    SetForegroundWindow(MainWindow);
    SetFocus(MainWindow);
    FlushMessages();
    PressKey('A', true);
    EXPECT_EQ(0, (int)SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0));
    EXPECT_EQ(MainWindow, GetFocus());
}

TEST(ImageList, TenThumbnailsWithCaptions)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    SetWindowPos(MainWindow, NULL, 0, 0, 760, 520, SWP_NOZORDER | SWP_NOMOVE);
    std::string folder = MakeTestFolder("gallery");
    struct Picture {
        const char* name;
        int width, height;
        const char* format;
        BYTE r, g, b;
        const char* caption;
    } pictures[] = {
        {"sea.jpg", 400, 300, "jpg", 30, 110, 190, "Sea at noon"},
        {"tower.png", 120, 360, "png", 200, 60, 40, ""},
        {"square.gif", 200, 200, "gif", 240, 200, 30, "Square"},
        {"strip.bmp", 500, 80, "bmp", 20, 160, 70, "A long thin strip of field"},
        {"tiny.png", 12, 9, "png", 150, 40, 170, "Tiny"},
        {"grey.jpg", 90, 120, "jpg", 128, 128, 128, ""},
        {"dark.png", 640, 480, "png", 20, 20, 40, "Night"},
        {"sand.jpg", 300, 200, "jpg", 220, 190, 140, "Sand"},
        {"mint.bmp", 80, 80, "bmp", 160, 230, 200, "Mint"},
        {"plum.png", 100, 240, "png", 110, 30, 80, "Plum tree in April"},
    };
    int i = 0;
    for (const Picture& p : pictures) {
        std::string path = WritePicture(folder, p.name, p.width, p.height, p.format, p.r, p.g, p.b);
        AddImageFile(path.c_str());
        if (p.caption[0]) SetEntryCaption(&ImageCollection[i], p.caption);
        i++;
    }
    RefreshItemCount();
    ASSERT_EQ(10, ItemCount());
    SetForegroundWindow(MainWindow);
    SetFocus(ImageListView);
    FlushMessages();
    SaveScreenshot(MainWindow, "list_ten_thumbnails");

    SelectItems({2});
    PressKey(VK_F2);
    HWND edit = EditControl();
    ASSERT_TRUE(edit != NULL);
    TypeChars(edit, "Square in the sun");
    SaveScreenshot(MainWindow, "list_caption_editing");
    PressKey(VK_RETURN);
    EXPECT_STREQ("Square in the sun", ImageCollection[2].caption);
}
