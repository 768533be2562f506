// The one helper file of the UI tests: the real main window in this process, modal
// dialogs driven from inside their own loops, test pictures added to the list, and the
// list, status bar and thumbnails read back.
#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/globals_win.h"

// Starts Tolvane's main window as WinMain does and returns it. Each test runs in its own
// process, so the globals start fresh.
HWND StartTolvane(int showCommand = SW_SHOWNORMAL);
// StartTolvane, the window's outer size, then AddTestImages(count). False on failure.
bool StartWithImages(int count, int width = 640, int height = 480);

// Handles waiting messages through the program's loop until quiet, at most maxMs.
void FlushMessages(DWORD maxMs = 200);

// Runs `action` inside the next modal dialog (#32770) that becomes active; the program's
// modeless dialogs (progress, palette) are passed over. Several calls serve successive
// dialogs, one action each. A dialog still open timeoutMs later gets IDCANCEL and
// DialogTimedOut() turns true.
void WhenDialogAppears(std::function<void(HWND dialog)> action, DWORD timeoutMs = 5000);
bool DialogTimedOut();

// Text of a window or of a dialog's control, as UTF-8.
std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);

// Saves the window as screenshots/<name>.png in the build folder (for people to look at).
bool SaveScreenshot(HWND window, const char* name);

// A fresh empty folder (Windows path, no trailing backslash); whole files in and out.
// Names and paths here are UTF-8, as the program holds them.
std::string MakeTestFolder(const char* name);
bool WriteTestFile(const std::string& path, const void* data, size_t size);
std::string ReadTestFile(const std::string& path);  // "" when missing

// Writes a test picture (MakeTestImageBytes) into folder\name; returns the full path.
std::string WritePicture(const std::string& folder, const char* name, int width, int height,
                         const char* format = "png", BYTE r = 40, BYTE g = 120, BYTE b = 200);
// Queues the next open dialog to receive `typed` (UTF-8) in its file-name box, then OK.
void TypeIntoOpenDialog(const std::string& typed, DWORD timeoutMs = 5000);
// Adds count landscape pictures of distinct colours, named image<i>.png, straight through
// AddImageFile (no dialog); returns their paths.
std::vector<std::string> AddTestImages(int count);
// The collection as the numbers in its entries' names, e.g. "1,2,3,0,4".
std::string CollectionOrder();

// A key pressed and released through the input queue and the program's loop.
void PressKey(WORD virtualKey);

// The list view: item count, selection, points of items (fx, fy: fractions of the item's
// bounds) in the view's or the main window's client coordinates.
int ItemCount();
void SelectItems(std::initializer_list<int> items);  // exactly these
POINT ItemViewPoint(int item, double fx, double fy);
LPARAM ItemPoint(int item, double fx, double fy);
std::string StatusText(int part);

// The thumbnail in a slot as the view draws it on white: 96 x 96 BGRA, rows bottom-up.
std::vector<uint8_t> ThumbnailAsShown(int slot);

// Records what the "Add Images" progress dialog shows while it exists. onStatus runs
// inside the import right after a status text was shown.
class ProgressRecorder {
public:
    ProgressRecorder();
    ~ProgressRecorder();
    std::vector<std::string> statuses, messages;
    int steps = 0;
    std::function<void(const std::string& status)> onStatus;
};
