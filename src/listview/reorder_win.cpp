// Reordering by dragging: the dragged thumbnail follows the pointer, a vertical bar marks
// where the selected images would land, the view scrolls when the pointer rests near its
// top or bottom, and the drop moves the selected entries there as one block.
#include "listview/reorder_win.h"

#include <vector>

#include "platform/owners_win.h"
#include "ui/dpi_win.h"
#include "ui/operation_win.h"
#include "ui/thumbnail_win.h"
#include "listview/image_listview_win.h"

ReorderDragStateRecord ReorderDragState;

namespace {

RECT ItemRect(int item, int part)
{
    RECT r = {part, 0, 0, 0};
    if (!SendMessageA(ImageListView, LVM_GETITEMRECT, item, (LPARAM)&r)) SetRectEmpty(&r);
    return r;
}

// How far the view is scrolled down. Wine answers LVM_GETORIGIN with the place of the
// view's top in the client area, negative once scrolled; the distance is the same.
int ScrollY()
{
    POINT origin = {0, 0};
    SendMessageA(ImageListView, LVM_GETORIGIN, 0, (LPARAM)&origin);
    return origin.y < 0 ? -origin.y : origin.y;
}

int ViewHeight()
{
    RECT view = {0, 0, 0, 0};
    SendMessageA(ImageListView, LVM_GETVIEWRECT, 0, (LPARAM)&view);
    return view.bottom - view.top;
}

// The mark bitmaps are drawn at the window's scale, half their width left of their
// place, so a mark at a right edge sits in the gap between two items; at the view's left
// edge they are not shifted.
void CopyMark(HDC viewDC, HDC source, int x, int y)
{
    if (!source) return;  // no bitmaps: the drag works without a visible mark
    const int width = Scaled(InsertionMarkWidth);
    SetStretchBltMode(viewDC, COLORONCOLOR);
    StretchBlt(viewDC, x < width ? x : x - width / 2, y, width, Scaled(InsertionMarkHeight),
               source, 0, 0, InsertionMarkWidth, InsertionMarkHeight, SRCCOPY);
}

void StopScrollTimer()
{
    ReorderDragStateRecord& s = ReorderDragState;
    if (s.scrollTimer) {
        KillTimer(MainWindow, ReorderScrollTimerId);
        s.scrollTimer = 0;
    }
}

// One auto-scroll step at most: starts the timer when the pointer enters a zone, and
// scrolls 48 pixels once it has rested there long enough.
void AutoScroll(POINT p)
{
    ReorderDragStateRecord& s = ReorderDragState;
    int scrollY = ScrollY();
    RECT client = {0, 0, 0, 0};
    GetClientRect(ImageListView, &client);
    bool inTop = p.y <= s.topZone.bottom;
    bool inBottom = p.y >= s.bottomZone.top;
    bool up = inTop && scrollY > 0 && p.y < s.bottomZone.top;
    bool down = inBottom && !(inTop && scrollY <= 0) && client.bottom + scrollY < ViewHeight();
    if (!up && !down) {
        StopScrollTimer();
        s.scrollTick = 0;
        return;
    }
    if (s.scrollTick == 0) {
        s.scrollTimer = SetTimer(MainWindow, ReorderScrollTimerId, ReorderScrollPeriod, NULL);
        s.scrollTick = GetTickCount();
        return;
    }
    if (GetTickCount() - s.scrollTick < (DWORD)ReorderScrollDelay) return;
    s.scrollTick += ReorderScrollPeriod;
    ImageList_DragLeave(ImageListView);
    const int step = Scaled(ReorderScrollStep);
    SendMessageA(ImageListView, LVM_SCROLL, 0, inTop ? -step : step);
    // Repainted in full while the drag image is hidden. Not by setting the item count
    // again: that scrolls the focused item back into sight.
    InvalidateRect(ImageListView, NULL, TRUE);
    UpdateWindow(ImageListView);
    ImageList_DragEnter(ImageListView, p.x, p.y);
}

// True when the mark would stand directly beside the source item in its row: dropping a
// single image there would not move it. The neighbours' edges lie one pixel outside the
// source's bounds or touch them (Wine's items abut), so both count.
bool BesideSource(int x, int y)
{
    const ReorderDragStateRecord& s = ReorderDragState;
    int sourceTop = s.sourceBounds.top - (ScrollY() - s.sourceOriginY);
    bool atLeft = x == s.sourceBounds.left || x == s.sourceBounds.left + 1;
    bool atRight = x == s.sourceBounds.right || x == s.sourceBounds.right + 1;
    return y == sourceTop && (atLeft || atRight);
}

// Moves the mark to the hit item's left or right edge, whichever half the pointer is in.
void TrackInsertionPoint(POINT p)
{
    ReorderDragStateRecord& s = ReorderDragState;
    LVHITTESTINFO hit;
    ZeroMemory(&hit, sizeof hit);
    hit.pt = p;
    int item = (int)SendMessageA(ImageListView, LVM_HITTEST, 0, (LPARAM)&hit);
    if (item < 0 || item >= (int)ImageCollection.size()) return;

    s.insertionIndex = item;
    if (item == s.sourceItem && s.lastHitItem == s.sourceItem) return;
    RECT bounds = ItemRect(item, LVIR_BOUNDS);
    int x = bounds.left, y = bounds.top;
    if (p.x > bounds.left + (bounds.right - bounds.left) / 2) {
        s.insertionIndex = item + 1;
        x = bounds.right + 1;
    }
    if (x == s.markX && y == s.markY) return;

    WindowDC view(ImageListView);
    if (!view.Get()) return;
    ImageList_DragLeave(ImageListView);
    // Only a mark that is there is erased: the first place is the source's own icon.
    if (s.markShown) CopyMark(view.Get(), InsertEraserDC, s.markX, s.markY);
    s.markX = x;
    s.markY = y;
    s.markShown = item != s.sourceItem && !BesideSource(x, y);
    if (s.markShown) CopyMark(view.Get(), InsertMarkDC, x, y);
    ImageList_DragEnter(ImageListView, p.x, p.y);
    s.lastHitItem = item;
}

void DeselectAll()
{
    LVITEMA state;
    ZeroMemory(&state, sizeof state);
    state.stateMask = LVIS_SELECTED;
    state.state = 0;
    SendMessageA(ImageListView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
}

// Moves the selected entries before insertionIndex; false when the move is skipped.
bool MoveSelection(int insertionIndex)
{
    int size = (int)ImageCollection.size();
    int selected = (int)SendMessageA(ImageListView, LVM_GETSELECTEDCOUNT, 0, 0);
    if (selected <= 0 || selected >= size) return false;
    if (insertionIndex < 0 || insertionIndex > size) return false;
    std::vector<int> positions;
    int i = -1;
    while ((i = (int)SendMessageA(ImageListView, LVM_GETNEXTITEM, i,
                                  MAKELPARAM(LVNI_SELECTED, 0))) >= 0) {
        positions.push_back(i);
        if ((int)positions.size() > selected) return false;  // the view disagrees with itself
    }
    if ((int)positions.size() != selected) return false;
    // The block keeps its former order and lands where the mark was shown.
    return MoveEntriesTo(ImageCollection, positions.data(), selected, insertionIndex);
}

}  // namespace

void BeginReorderDrag(int item, int x, int y)
{
    if (!ProgramIdle() || item < 0 || item >= (int)ImageCollection.size()) return;
    SendMessageA(ImageListView, LVM_ENSUREVISIBLE, item, FALSE);
    UpdateWindow(ImageListView);

    HIMAGELIST thumbnails = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST,
                                                     LVSIL_NORMAL, 0);
    RECT icon = ItemRect(item, LVIR_ICON);
    // The hot spot is the drag point on the thumbnail, which is centred in the icon box.
    const int side = ImageListSide(thumbnails);
    int hotX = x - (icon.right - icon.left - side) / 2 - icon.left;
    int hotY = y - (icon.bottom - icon.top - side) / 2 - icon.top;
    ImageList_BeginDrag(thumbnails, ImageCollection[item].slot, hotX, hotY);
    ImageList_DragEnter(ImageListView, x, y);
    SetCapture(MainWindow);

    ReorderDragStateRecord& s = ReorderDragState;
    s.sourceItem = s.insertionIndex = s.lastHitItem = item;
    s.markX = icon.left;
    s.markY = icon.top;
    s.markShown = 0;
    s.sourceBounds = ItemRect(item, LVIR_BOUNDS);
    s.sourceOriginY = ScrollY();
    RECT client = {0, 0, 0, 0};
    GetClientRect(ImageListView, &client);
    const int zone = Scaled(ReorderScrollZone);
    SetRect(&s.topZone, client.left, client.top, client.right, client.top + zone);
    SetRect(&s.bottomZone, client.left, client.bottom - zone, client.right,
            client.bottom);
    s.viewFits = client.bottom >= ViewHeight() ? 1 : 0;
    s.scrollTimer = 0;
    s.scrollTick = 0;
    DragActive = 1;
}

void TrackReorderDrag(WPARAM, LPARAM lParam)
{
    if (!DragActive) return;
    POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};  // signed: may be off the window
    MapWindowPoints(MainWindow, ImageListView, &p, 1);
    ImageList_DragMove(p.x, p.y);
    if (!ReorderDragState.viewFits) AutoScroll(p);
    TrackInsertionPoint(p);
}

void EndReorderDrag(int cancel)
{
    if (!DragActive) return;
    ReorderDragStateRecord& s = ReorderDragState;
    DragActive = 0;
    ImageList_DragLeave(ImageListView);
    ImageList_EndDrag();
    ReleaseCapture();
    StopScrollTimer();
    if (!cancel && s.insertionIndex != s.sourceItem && MoveSelection(s.insertionIndex))
        DeselectAll();
    RefreshItemCount();  // also paints away the mark
}
