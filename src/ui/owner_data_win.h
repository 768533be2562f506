// The two owner-data list views (pictures and preview pages) answer the view's requests
// for an item's text and image from the program's own lists.
#pragma once
#include "ui/globals_win.h"

// The item a display-information request asks about, or null when it is outside the
// itemCount items (a request for item -1, which the view should never make, is noted on
// the debugger's output).
LVITEMA* RequestedItem(NMLVDISPINFOA* request, int itemCount);
