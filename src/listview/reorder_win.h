// Reordering the images by dragging them inside the list view.
#pragma once
#include "ui/globals_win.h"

// Everything a reorder drag keeps between mouse messages; coordinates are client
// coordinates of the image list view. Valid while DragActive is 1.
struct ReorderDragStateRecord {
    int sourceItem;      // the item the drag began on
    int insertionIndex;  // 0..item count: the moved block lands before this position
    int lastHitItem;     // the item under the pointer when the mark was last redrawn
    int markX, markY;    // place of the mark now shown (before its 2-pixel shift)
    int markShown;       // 1 while the mark is drawn there
    RECT sourceBounds;   // bounds of the source item at the start...
    int sourceOriginY;   // ...and the view's vertical scroll position then
    RECT topZone, bottomZone;  // auto-scroll zones: the top and bottom 48 pixels at 100 %
    int viewFits;              // 1: all items fit, no auto-scrolling in this drag
    UINT_PTR scrollTimer;      // the running auto-scroll timer, 0 when none
    DWORD scrollTick;          // tick count of entering a zone (advanced per step), or 0
};
extern ReorderDragStateRecord ReorderDragState;

// Pixel sizes are those at 96 DPI (100 %), scaled to the window's DPI.
enum {
    ReorderScrollTimerId = 1,
    ReorderScrollZone = 48,     // pixels at the top and bottom that scroll the view
    ReorderScrollStep = 48,     // pixels per scroll step
    ReorderScrollPeriod = 125,  // milliseconds between steps
    ReorderScrollDelay = 500,   // milliseconds in a zone before the first step
    InsertionMarkWidth = 4,
    InsertionMarkHeight = 132,
};

void BeginReorderDrag(int item, int x, int y);
void TrackReorderDrag(WPARAM wParam, LPARAM lParam);
void EndReorderDrag(int cancel);
