#include "ui/operation_win.h"

#include "platform/message_loop_win.h"

namespace {
OperationKind Running = NoOperation;
BOOL Cancelled = FALSE;
BOOL ClosePending = FALSE;  // the main window was closed while the operation ran

int* FlagOf(OperationKind kind)
{
    if (kind == ImportOperation) return &ImportActive;
    if (kind == PdfOperation) return &PdfBuildActive;
    return nullptr;
}
}  // namespace

HANDLE OperationCancelEvent()
{
    static HANDLE event = CreateEventA(NULL, TRUE, FALSE, NULL);
    return event;
}

BOOL ProgramIdle()
{
    return Running == NoOperation && !DragActive && IsWindowEnabled(MainWindow);
}

BOOL BeginOperation(OperationKind kind)
{
    if (kind == NoOperation || !ProgramIdle()) return FALSE;
    Running = kind;
    Cancelled = FALSE;
    ResetEvent(OperationCancelEvent());
    if (int* flag = FlagOf(kind)) *flag = 1;
    return TRUE;
}

void EndOperation(BOOL keepFlag)
{
    if (int* flag = FlagOf(Running))
        if (!keepFlag) *flag = 0;
    Running = NoOperation;
    Cancelled = FALSE;
    ResetEvent(OperationCancelEvent());  // waits outside an operation are not cancelled
    if (ClosePending) {
        ClosePending = FALSE;
        PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    }
}

OperationKind RunningOperation()
{
    return Running;
}

void CancelOperation()
{
    if (Running == NoOperation) return;
    if (int* flag = FlagOf(Running)) *flag = 0;
    Cancelled = TRUE;
    SetEvent(OperationCancelEvent());
}

BOOL OperationCancelled()
{
    return Cancelled || QuitRequested();
}

BOOL CloseWaitsForOperation()
{
    if (Running == NoOperation) return FALSE;
    ClosePending = TRUE;
    CancelOperation();
    return TRUE;
}
