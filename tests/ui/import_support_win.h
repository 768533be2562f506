// Helpers of the import and list-view tests: test pictures in files, the open dialog
// driven from inside, and a recorder of what the progress dialog shows.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/globals_win.h"

// Writes a width x height picture filled with (r, g, b) into folder\name; the full path.
std::string WritePicture(const std::string& folder, const char* name, int width, int height,
                         const char* format, BYTE r = 40, BYTE g = 120, BYTE b = 200);
// Writes text into folder\name; the full path.
std::string WriteTextFile(const std::string& folder, const char* name, const char* text);

// Queues the next open dialog to receive `typed` (UTF-8) in its file-name box and then OK.
// *filter receives the text of the file-type box, *title the dialog's title, if given.
void TypeIntoOpenDialog(const std::string& typed, std::string* filter = nullptr,
                        DWORD timeoutMs = 5000);

// Adds pictures straight through AddImageFile (no dialog, no batch): a quick way to fill
// the list. The files go into a fresh folder; returns their paths.
std::vector<std::string> AddTestPictures(int count);

// Watches the "Add Images" progress dialog while it exists: the texts written into its
// status (1028) and message (1029) lines, the steps and the range of its bar. onStatus
// runs right after a status text was shown, inside the import, with that text.
class ProgressRecorder {
public:
    ProgressRecorder();
    ~ProgressRecorder();
    std::vector<std::string> statuses, messages;
    int steps = 0;
    LPARAM range = -1;  // lParam of PBM_SETRANGE, -1 when not seen
    std::function<void(const std::string& status)> onStatus;
    std::function<void(const std::string& message)> onMessage;
};

// The Cancel button of the progress dialog, pressed as a click is (handled at the next
// pump of the import).
void PressProgressCancel();

// Colour of a pixel of a thumbnail slot drawn by the image list onto white.
COLORREF SlotPixel(int slot, int x, int y);
