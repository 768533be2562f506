// The one long operation that may run at a time: Add Images, a drop, Make PDF or the
// preview's rendering. Each runs inside the command that started it and handles
// messages between its items, so whatever the user does meanwhile arrives nested inside
// it. An operation ends when its loop has returned, not when Cancel is pressed; until
// then everything that would change the collection or start another operation is
// refused here, and closing the main window waits for it.
#pragma once
#include "ui/globals_win.h"

enum OperationKind { NoOperation, ImportOperation, PdfOperation, PreviewOperation };

// Starts an operation of this kind; FALSE, changing nothing, unless the program is idle.
// An import or a PDF sets its flag (ImportActive, PdfBuildActive).
BOOL BeginOperation(OperationKind kind);
// The operation's loop has returned: its flag is cleared (keepFlag: a failed Make PDF
// keeps PdfBuildActive until its dialog is closed), and a close of the main window asked
// for meanwhile goes ahead.
void EndOperation(BOOL keepFlag = FALSE);
OperationKind RunningOperation();

// Cancel, Escape or the close box of the progress dialog, or the main window closing:
// the operation's flag is cleared, so that its loop stops at its next check, and the
// cancel event ends every wait for a decoder at once.
void CancelOperation();
// TRUE from a Cancel (or the quit message) until the operation ends; the event is
// signalled as long.
BOOL OperationCancelled();
HANDLE OperationCancelEvent();

// No operation runs, no reorder drag is under way, and the main window takes input (no
// modal dialog, no failed Make PDF still showing its message). Commands, drops, drags
// and layout changes are refused otherwise.
BOOL ProgramIdle();

// Closing the main window: while an operation runs, TRUE; the operation is cancelled and
// the window is closed once its loop has returned.
BOOL CloseWaitsForOperation();
