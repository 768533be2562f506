// Reordering by dragging: where the selected images land, the insertion mark, the drag's
// end by drop and by Escape, auto-scrolling, and the whole drag through real messages.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <vector>

#include "listview/image_listview_win.h"
#include "listview/reorder_win.h"
#include "ui/collection_support_win.h"

namespace {

// Starts a drag on an item's thumbnail, as the view's drag notification does.
void BeginDragOn(int item)
{
    POINT p = ItemViewPoint(item, 0.5, 0.35);
    BeginReorderDrag(item, p.x, p.y);
}

// A mouse move to a point of an item (fractions of its bounds), as the main window
// passes it on while dragging.
void DragTo(int item, double fx, double fy = 0.35)
{
    TrackReorderDrag(MK_LBUTTON, ItemPoint(item, fx, fy));
}

RECT ViewClient()
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(ImageListView, &r);
    return r;
}

// Where a mark at an item's left edge stands: 2 pixels left of that edge, or of the
// pixel after the previous item's right edge, which is one more where items abut.
RECT MarkColumnLeftOf(int item)
{
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(ImageListView, LVM_GETITEMRECT, item, (LPARAM)&bounds);
    RECT column = {bounds.left - 2, bounds.top, bounds.left + 3, bounds.top + InsertionMarkHeight};
    return column;
}

bool ScrollTimerRunning()
{
    // Killing a timer that does not exist fails; a running one is started again.
    if (!KillTimer(MainWindow, ReorderScrollTimerId)) return false;
    SetTimer(MainWindow, ReorderScrollTimerId, ReorderScrollPeriod, NULL);
    return true;
}

void ExpectDragOver()
{
    EXPECT_EQ(0, DragActive);
    EXPECT_NE(MainWindow, GetCapture());
    EXPECT_FALSE(ScrollTimerRunning());
}

}  // namespace

// Single images dropped on either half of another image, five images.
TEST(ReorderDrag, SingleImageLandsBesideTheImageDroppedOn)
{
    struct Case {
        int source, target;
        double fx;
        const char* order;
    };
    const Case cases[] = {
        {0, 3, 0.75, "1,2,3,0,4"},  // right half of 3: after it
        {4, 1, 0.25, "0,4,1,2,3"},  // left half of 1: before it
        {0, 3, 0.25, "1,2,0,3,4"},
        {3, 0, 0.25, "3,0,1,2,4"},
        {1, 4, 0.75, "0,2,3,4,1"},  // right half of the last image: to the end
        {2, 1, 0.75, "0,1,2,3,4"},  // right after the image before it: stays
        {2, 3, 0.25, "0,1,2,3,4"},  // right before the image after it: stays
    };
    ASSERT_TRUE(StartWithImages(5));
    for (const Case& c : cases) {
        ImageCollectionType start = ImageCollection;
        SelectItems({c.source});
        BeginDragOn(c.source);
        ASSERT_EQ(1, DragActive);
        EXPECT_EQ(MainWindow, GetCapture());
        DragTo(c.target, c.fx);
        EndReorderDrag(0);
        EXPECT_EQ(c.order, CollectionOrder()) << c.source << " to " << c.target << "/" << c.fx;
        EXPECT_TRUE(SelectedItems().empty() || std::string(c.order) == "0,1,2,3,4");
        ExpectDragOver();
        ImageCollection = start;
        RefreshItemCount();
    }
}

TEST(ReorderDrag, MovedEntriesKeepTheirSlotsAndState)
{
    ASSERT_TRUE(StartWithImages(5));
    ImageCollection[0].rotation = 90;
    ImageCollection[0].flips = 3;
    SetEntryCaption(&ImageCollection[0], "first");
    ImageEntry before = ImageCollection[0];
    SelectItems({0});
    BeginDragOn(0);
    DragTo(3, 0.75);
    EndReorderDrag(0);
    ASSERT_EQ("1,2,3,0,4", CollectionOrder());
    EXPECT_EQ(0, memcmp(&before, &ImageCollection[3], sizeof before));
    EXPECT_EQ((size_t)5, ImageCollection.size());
    EXPECT_EQ(5, (int)SendMessageA(ImageListView, LVM_GETITEMCOUNT, 0, 0));
}

TEST(ReorderDrag, MultiSelectionDroppedAtTheEndKeepsItsOrder)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({1, 2});
    BeginDragOn(1);
    DragTo(4, 0.75);
    // Past the last image there is no item: the last place marked holds.
    RECT client = ViewClient();
    TrackReorderDrag(MK_LBUTTON, ViewPoint(client.right - 5, client.bottom - 5));
    EndReorderDrag(0);
    EXPECT_EQ("0,3,4,1,2", CollectionOrder());
    EXPECT_TRUE(SelectedItems().empty());
}

TEST(ReorderDrag, SpreadSelectionMovesAsOneBlock)
{
    ASSERT_TRUE(StartWithImages(6));
    SelectItems({0, 2, 5});
    BeginDragOn(2);
    DragTo(3, 0.75);
    EndReorderDrag(0);
    EXPECT_EQ("1,3,0,2,5,4", CollectionOrder());
}

TEST(ReorderDrag, RestingOnTheDraggedImageShowsNoMarkAndMovesNothing)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({2});
    BeginDragOn(2);
    DragTo(2, 0.4, 0.82);
    DragTo(2, 0.6, 0.82);
    EXPECT_EQ(0, MarkPixelsIn(ViewClient()));
    EndReorderDrag(0);
    EXPECT_EQ("0,1,2,3,4", CollectionOrder());
    ExpectDragOver();
}

TEST(ReorderDrag, DropWithoutReachingAnotherImageMovesNothing)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({1});
    BeginDragOn(1);
    EndReorderDrag(0);
    EXPECT_EQ("0,1,2,3,4", CollectionOrder());
    EXPECT_EQ((std::vector<int>{1}), SelectedItems());  // nothing moved, nothing deselected
}

TEST(ReorderDrag, EverythingSelectedMovesNothing)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({0, 1, 2, 3, 4});
    BeginDragOn(0);
    DragTo(3, 0.75);
    EndReorderDrag(0);
    EXPECT_EQ("0,1,2,3,4", CollectionOrder());
}

// The pointer rests on the captions here, so that the drag image (a thumbnail around the
// pointer) does not cover the places where marks are looked for.
TEST(ReorderDrag, MarkStandsBetweenTwoImagesAndFollowsThePointer)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({0});
    BeginDragOn(0);
    EXPECT_EQ(0, MarkPixelsIn(ViewClient()));
    DragTo(3, 0.4, 0.82);
    SaveScreenshotAsIs(MainWindow, "reorder_drag_mark");
    const int whole = InsertionMarkWidth * InsertionMarkHeight;
    EXPECT_EQ(whole, MarkPixelsIn(MarkColumnLeftOf(3)));
    EXPECT_EQ(whole, MarkPixelsIn(ViewClient()));  // one mark only

    DragTo(2, 0.6, 0.82);  // the same gap seen from the other side
    EXPECT_EQ(whole, MarkPixelsIn(MarkColumnLeftOf(3)));
    EXPECT_EQ(whole, MarkPixelsIn(ViewClient()));
    DragTo(2, 0.4, 0.82);
    EXPECT_EQ(0, MarkPixelsIn(MarkColumnLeftOf(3)));  // erased
    EXPECT_EQ(whole, MarkPixelsIn(MarkColumnLeftOf(2)));
    EXPECT_EQ(whole, MarkPixelsIn(ViewClient()));
    EndReorderDrag(1);
    FlushMessages();
    EXPECT_EQ(0, MarkPixelsIn(ViewClient()));  // painted away
}

// The mark's first place is the dragged image's own icon, where no mark was drawn: the
// thumbnail there stays whole when the mark appears elsewhere.
TEST(ReorderDrag, DraggedThumbnailStaysWhole)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({0});
    RECT icon = {LVIR_ICON, 0, 0, 0};
    SendMessageA(ImageListView, LVM_GETITEMRECT, 0, (LPARAM)&icon);
    icon.bottom = icon.top + InsertionMarkHeight;  // everything an erased mark could cover
    icon.left -= 2;
    std::vector<uint8_t> before = ViewPixels(icon);
    BeginDragOn(0);
    DragTo(3, 0.4, 0.82);
    ASSERT_GT(MarkPixelsIn(ViewClient()), 0);
    EXPECT_TRUE(before == ViewPixels(icon));
    EndReorderDrag(1);
}

// Right beside the dragged image a single image would not move: no mark there.
TEST(ReorderDrag, NoMarkBesideTheDraggedImage)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({1});
    BeginDragOn(1);
    DragTo(3, 0.4, 0.82);
    ASSERT_GT(MarkPixelsIn(ViewClient()), 0);
    DragTo(2, 0.4, 0.82);  // left edge of the next image
    EXPECT_EQ(0, MarkPixelsIn(ViewClient()));
    DragTo(3, 0.4, 0.82);
    DragTo(0, 0.6, 0.82);  // right edge of the image before
    EXPECT_EQ(0, MarkPixelsIn(ViewClient()));
    EndReorderDrag(0);
    EXPECT_EQ("0,1,2,3,4", CollectionOrder());
}

TEST(ReorderDrag, WholeDragThroughTheMainWindowsMessages)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({0});
    NMLISTVIEW begin;
    memset(&begin, 0, sizeof begin);
    begin.hdr.hwndFrom = ImageListView;
    begin.hdr.idFrom = IDC_IMAGE_LIST_VIEW;
    begin.hdr.code = LVN_BEGINDRAG;
    begin.iItem = 0;
    begin.ptAction = ItemViewPoint(0, 0.5, 0.35);
    SendMessageA(MainWindow, WM_NOTIFY, IDC_IMAGE_LIST_VIEW, (LPARAM)&begin);
    ASSERT_EQ(1, DragActive);
    PostMessageA(MainWindow, WM_MOUSEMOVE, MK_LBUTTON, ItemPoint(2, 0.5, 0.35));
    PostMessageA(MainWindow, WM_MOUSEMOVE, MK_LBUTTON, ItemPoint(3, 0.75, 0.35));
    PostMessageA(MainWindow, WM_LBUTTONUP, 0, ItemPoint(3, 0.75, 0.35));
    FlushMessages();
    EXPECT_EQ("1,2,3,0,4", CollectionOrder());
    ExpectDragOver();
}

// The user's own mouse: the view notices the drag, the main window takes the capture.
TEST(ReorderDrag, RealMouseDrag)
{
    ASSERT_TRUE(StartWithImages(5));
    POINT from = ItemViewPoint(0, 0.5, 0.35);
    MouseMoveTo(ImageListView, from);
    MouseLeftDown(ImageListView, from);
    for (int step = 1; step <= 6; step++) {
        POINT target = ItemViewPoint(3, 0.75, 0.35);
        POINT p = {from.x + (target.x - from.x) * step / 6, from.y + (target.y - from.y) * step / 6};
        MouseMoveTo(ImageListView, p);
        if (step == 2) {
            EXPECT_EQ(1, DragActive);
        }
    }
    MouseLeftUp(ImageListView, ItemViewPoint(3, 0.75, 0.35));
    FlushMessages();
    EXPECT_EQ("1,2,3,0,4", CollectionOrder());
    ExpectDragOver();
}

TEST(ReorderDrag, EscapeEndsTheDragWithoutMovingAndStopsTheTimer)
{
    ASSERT_TRUE(StartWithImages(15, 500, 400));
    SelectItems({0});
    SetFocus(ImageListView);
    BeginDragOn(0);
    RECT client = ViewClient();
    TrackReorderDrag(MK_LBUTTON, ViewPoint(60, client.bottom - 10));  // bottom zone
    DragTo(2, 0.75);
    TrackReorderDrag(MK_LBUTTON, ViewPoint(ItemViewPoint(2, 0.75, 0).x, client.bottom - 10));
    ASSERT_NE(0u, ReorderDragState.scrollTimer);
    ASSERT_TRUE(ScrollTimerRunning());
    ASSERT_NE(ReorderDragState.sourceItem, ReorderDragState.insertionIndex);
    EXPECT_EQ(ImageListView, GetFocus());  // the capture does not take the keyboard
    PressKey(VK_ESCAPE);
    EXPECT_EQ("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14", CollectionOrder());
    EXPECT_EQ(0u, ReorderDragState.scrollTimer);
    ExpectDragOver();
}

TEST(ReorderDrag, LosingTheCaptureCancelsTheDrag)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({0});
    BeginDragOn(0);
    DragTo(3, 0.75);
    SetCapture(StatusBar);  // another window takes the mouse
    FlushMessages();
    EXPECT_EQ(0, DragActive);
    ReleaseCapture();
    EXPECT_EQ("0,1,2,3,4", CollectionOrder());
}

// Far more images than fit: resting in the bottom zone scrolls 48 pixels after half a
// second and then step by step to the end, never past it; the top zone scrolls back.
TEST(ReorderDrag, AutoScrollsWhenImagesDoNotFit)
{
    ASSERT_TRUE(StartWithImages(15, 500, 400));
    SelectItems({0});
    BeginDragOn(0);
    ASSERT_EQ(0, ReorderDragState.viewFits);
    RECT client = ViewClient();
    RECT view = {0, 0, 0, 0};
    SendMessageA(ImageListView, LVM_GETVIEWRECT, 0, (LPARAM)&view);
    int maxScroll = (view.bottom - view.top) - client.bottom;
    ASSERT_GT(maxScroll, 3 * ReorderScrollStep);

    struct Change {
        DWORD at;
        int scrollY;
    };
    auto restIn = [&](int y, DWORD ms) {
        std::vector<Change> changes;
        SendMessageA(MainWindow, WM_MOUSEMOVE, MK_LBUTTON, ViewPoint(client.right / 2, y));
        DWORD start = GetTickCount();
        int last = ViewScrollY();
        while (GetTickCount() - start < ms) {
            FlushMessages(20);
            if (ViewScrollY() != last) {
                last = ViewScrollY();
                changes.push_back({GetTickCount() - start, last});
            }
        }
        return changes;
    };

    std::vector<Change> down = restIn(client.bottom - 10, 3000);
    ASSERT_FALSE(down.empty());
    EXPECT_GE(down[0].at, (DWORD)ReorderScrollDelay - 20);
    EXPECT_EQ(ReorderScrollStep, down[0].scrollY);
    for (size_t i = 1; i < down.size(); i++)
        EXPECT_EQ(std::min(down[i - 1].scrollY + ReorderScrollStep, maxScroll), down[i].scrollY);
    EXPECT_EQ(maxScroll, ViewScrollY());  // at the bottom, not past it

    std::vector<Change> up = restIn(5, 3000);
    ASSERT_FALSE(up.empty());
    EXPECT_GE(up[0].at, (DWORD)ReorderScrollDelay - 20);
    EXPECT_EQ(maxScroll - ReorderScrollStep, up[0].scrollY);
    EXPECT_EQ(0, ViewScrollY());

    restIn(client.bottom / 2, 100);  // out of the zones: the timer stops
    EXPECT_EQ(0u, ReorderDragState.scrollTimer);
    EXPECT_FALSE(ScrollTimerRunning());
    EndReorderDrag(1);
}

TEST(ReorderDrag, NoAutoScrollWhenAllImagesFit)
{
    ASSERT_TRUE(StartWithImages(5));
    SelectItems({0});
    BeginDragOn(0);
    EXPECT_EQ(1, ReorderDragState.viewFits);
    RECT client = ViewClient();
    SendMessageA(MainWindow, WM_MOUSEMOVE, MK_LBUTTON, ViewPoint(client.right / 2, client.bottom - 5));
    FlushMessages(700);
    EXPECT_EQ(0u, ReorderDragState.scrollTimer);
    EXPECT_FALSE(ScrollTimerRunning());
    EXPECT_EQ(0, ViewScrollY());
    EndReorderDrag(1);
}
