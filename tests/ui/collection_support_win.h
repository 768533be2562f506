// Filling the image list view with real thumbnails and reading it back, for the tests of
// the editing commands (the import dialogs are not needed for that).
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/globals_win.h"

// Adds one entry as an import does: the thumbnail of a width x height test picture
// (filled with r, g, b, a black mark in its top-left corner) into a free slot or a new
// slot of the view's image list, the entry at the end of the collection, then
// RefreshItemCount and UpdateStatusCounts. Returns the slot, -1 on failure.
int AddTestImage(const char* path, int width, int height, uint8_t r, uint8_t g, uint8_t b);
// The same for an 80 x 60 picture, with a 20 x 20 square of pure red (255, 0, 0) at
// (20, 30) from the thumbnail's top left, which imports never make: the list masks those
// pixels out and shows the view's white there. (Given as a 24-bit bitmap: from 32 bits, Wine's list
// would take the opaque alpha instead of the colour mask.)
int AddTestImageWithMaskedSquare(const char* path);

// Starts the program with a main window of the given outer size holding count test
// pictures (AddTestImages). False when the window could not be made.
bool StartWithImages(int count, int width = 640, int height = 480);

// Adds count landscape pictures of distinct colours, named image<i>.png by their index.
void AddTestImages(int count);

// The collection as the numbers in its entries' names, e.g. "1,2,3,0,4".
std::string CollectionOrder();

void SelectItems(std::initializer_list<int> items);  // exactly these items selected
std::vector<int> SelectedItems();

// A point of an item in the main window's client coordinates, as a mouse message's
// lParam: fx and fy are fractions of the item's bounds (0.25, 0.5 = left half, middle).
LPARAM ItemPoint(int item, double fx, double fy);
// The same for a point given in the view's client coordinates.
LPARAM ViewPoint(int x, int y);
// The view's client point of an item's bounds, like ItemPoint.
POINT ItemViewPoint(int item, double fx, double fy);

// The thumbnail in a slot as the view shows it, drawn on white: 96 x 96 pixels, BGRA,
// rows from the top.
std::vector<uint8_t> ThumbnailAsShown(int slot);

// How far the view is scrolled down, in pixels.
int ViewScrollY();

// Sizes the main window (outer size) and lets it lay out its children.
void SizeMainWindow(int width, int height);

// Saves the window as screenshots/<name>.png without repainting it first, so marks
// drawn straight onto a window stay in the picture.
bool SaveScreenshotAsIs(HWND window, const char* name);

// The text of a status bar part.
std::string StatusPartText(int part);

// Real mouse input through the system's queue (SendInput) at a window's client point,
// followed by a short flush through the program's loop.
void MouseMoveTo(HWND window, POINT clientPoint);
void MouseLeftDown(HWND window, POINT clientPoint);
void MouseLeftUp(HWND window, POINT clientPoint);

// The pixels of a rectangle of the view's client area as the screen shows them, BGRA,
// rows from the top.
std::vector<uint8_t> ViewPixels(RECT viewArea);

// Pixels of the insertion mark's two colours inside a rectangle of the view's client
// area, read from the screen.
int MarkPixelsIn(RECT viewArea);
