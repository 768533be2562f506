// The progress dialogs of the two long operations, Add Images (a drop too) and Make PDF,
// and their one lifecycle: the operation begins with its dialog shown and the main window
// disabled, and ends when its loop has returned. Cancel (the button, Escape or the close
// box) stops the operation; a Make PDF that failed keeps its dialog, with the failure in
// it, until the user closes it.
#pragma once
#include "ui/globals_win.h"
#include "ui/operation_win.h"

INT_PTR CALLBACK AddImagesProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MakePdfProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Begins an import or a Make PDF of count items: disables the main window and shows the
// operation's dialog, its bar at 0 of count. FALSE, changing nothing, when the program is
// not idle or the dialog cannot be made.
BOOL BeginProgress(OperationKind kind, int count);
// The operation's loop has returned: the main window is enabled again and the dialog
// goes, unless keepShowing (a failed Make PDF).
void EndProgress(BOOL keepShowing = FALSE);
// After a dialog's Cancel: a dialog left showing a failure goes now, and the main window
// is enabled again. A running operation closes its own dialog when it returns.
void CloseFailedProgress();

// Sets a progress bar to 0..count: the classic message where the count fits its 16 bits.
void SetProgressBarRange(HWND bar, int count);
