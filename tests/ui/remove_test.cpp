// Removing the selected images: the collection, the free-slot queue, the thumbnail list,
// the view and the status bar afterwards, and the three ways to ask for it.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <string>
#include <vector>

#include "ui/collection_support_win.h"

namespace {

HIMAGELIST Thumbnails()
{
    return (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
}

int ItemCount()
{
    return (int)SendMessageA(ImageListView, LVM_GETITEMCOUNT, 0, 0);
}

std::vector<int> Slots()
{
    std::vector<int> slots;
    for (const ImageEntry& e : ImageCollection) slots.push_back(e.slot);
    return slots;
}

std::vector<int> FreeSlots()
{
    return std::vector<int>(FreeSlotQueue.begin(), FreeSlotQueue.end());
}

void Remove()
{
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(IDM_REMOVE, 0), 0);
    FlushMessages();
}

}  // namespace

TEST(RemoveImages, PositionsOneAndThreeOfFive)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({1, 3});
    Remove();
    EXPECT_EQ("0,2,4", CollectionOrder());
    EXPECT_EQ((std::vector<int>{0, 2, 4}), Slots());
    EXPECT_EQ((std::vector<int>{3, 1}), FreeSlots());  // highest position first
    EXPECT_EQ(5, ImageList_GetImageCount(Thumbnails()));  // thumbnails wait for reuse
    EXPECT_EQ(3, ItemCount());
    EXPECT_TRUE(SelectedItems().empty());
    EXPECT_EQ("Images: 003", StatusPartText(1));
    SaveScreenshot(MainWindow, "remove_two_of_five");
}

TEST(RemoveImages, FreedSlotsAreReusedInQueueOrder)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({1, 3});
    Remove();
    EXPECT_EQ(3, AddTestImage("C:\\pictures\\image5.png", 80, 60, 10, 10, 10));
    EXPECT_EQ(1, AddTestImage("C:\\pictures\\image6.png", 80, 60, 20, 20, 20));
    EXPECT_EQ(5, AddTestImage("C:\\pictures\\image7.png", 80, 60, 30, 30, 30));
    EXPECT_EQ("0,2,4,5,6,7", CollectionOrder());
    EXPECT_TRUE(FreeSlotQueue.empty());
    EXPECT_EQ(6, ImageList_GetImageCount(Thumbnails()));
}

TEST(RemoveImages, EverythingSelectedEmptiesAll)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({2});
    Remove();  // leaves a freed slot in the queue
    ASSERT_EQ(1u, FreeSlotQueue.size());
    SelectItems({0, 1, 2, 3});
    Remove();
    EXPECT_TRUE(ImageCollection.empty());
    EXPECT_TRUE(FreeSlotQueue.empty());
    EXPECT_EQ(0, ImageList_GetImageCount(Thumbnails()));
    EXPECT_EQ(0, ItemCount());
    EXPECT_EQ("Images: 000", StatusPartText(1));
    EXPECT_EQ("Pages: 000", StatusPartText(2));
    EXPECT_EQ(0, AddTestImage("C:\\pictures\\image9.png", 80, 60, 10, 10, 10));
    EXPECT_EQ(1, ImageList_GetImageCount(Thumbnails()));
}

TEST(RemoveImages, NothingSelectedChangesNothingButRefreshesTheStatusBar)
{
    ASSERT_TRUE(StartWithImages(3));
    SelectItems({});
    SendMessageA(StatusBar, SB_SETTEXTA, 1, (LPARAM) "stale");
    Remove();
    EXPECT_EQ("0,1,2", CollectionOrder());
    EXPECT_TRUE(FreeSlotQueue.empty());
    EXPECT_EQ(3, ItemCount());
    EXPECT_EQ("Images: 003", StatusPartText(1));
}

TEST(RemoveImages, OneOfTwoKeepsTheOthersSlot)
{
    ASSERT_TRUE(StartWithImages(2));
    SelectItems({0});
    Remove();
    ASSERT_EQ(1u, ImageCollection.size());
    EXPECT_EQ("1", CollectionOrder());
    EXPECT_EQ(1, ImageCollection[0].slot);
    EXPECT_EQ((std::vector<int>{0}), FreeSlots());
    EXPECT_EQ(2, ImageList_GetImageCount(Thumbnails()));
    EXPECT_EQ(1, ItemCount());
}

// The Delete key in the view, the toolbar button and the context-menu command all remove
// the selection and refresh the counts.
enum RemoveRoute { DeleteKey, ToolbarClick, ContextCommand };

static void RemoveThrough(RemoveRoute route)
{
    ASSERT_TRUE(StartWithImages(4));
    SelectItems({0, 2});
    SendMessageA(StatusBar, SB_SETTEXTA, 1, (LPARAM) "stale");
    if (route == DeleteKey) {
        SetFocus(ImageListView);
        PressKey(VK_DELETE);
    } else if (route == ToolbarClick) {
        RECT button;
        int index = (int)SendMessageA(MainToolbar, TB_COMMANDTOINDEX, IDM_REMOVE, 0);
        SendMessageA(MainToolbar, TB_GETITEMRECT, index, (LPARAM)&button);
        POINT centre = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
        MouseMoveTo(MainToolbar, centre);
        MouseLeftDown(MainToolbar, centre);
        MouseLeftUp(MainToolbar, centre);
    } else {
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(IDM_CTX_REMOVE, 0), 0);
    }
    FlushMessages();
    EXPECT_EQ("1,3", CollectionOrder());
    EXPECT_EQ("Images: 002", StatusPartText(1));
    EXPECT_EQ(2, ItemCount());
}

TEST(RemoveImages, ByTheDeleteKey)
{
    RemoveThrough(DeleteKey);
}

TEST(RemoveImages, ByTheToolbarButton)
{
    RemoveThrough(ToolbarClick);
}

TEST(RemoveImages, ByTheContextMenuCommand)
{
    RemoveThrough(ContextCommand);
}
