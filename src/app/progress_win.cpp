// Progress dialogs of the long operations and the pump that keeps the program
// responsive between their items. Cancel stops the running operation, whose loop then
// returns within a moment and closes the dialog; a dialog left showing a failure is
// closed by the main window.
#include "app/progress_win.h"

#include "app/operation_win.h"
#include "app/startup_win.h"
#include "app/wide_text_win.h"

INT_PTR CALLBACK AddImagesProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_ADD_CANCEL)) {
        CancelOperation();
        PostMessageA(MainWindow, APP_CLOSE_ADD_PROGRESS, 0, 0);
    }
    return FALSE;
}

INT_PTR CALLBACK MakePdfProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SetWindowTextUtf8(GetDlgItem(dialog, IDC_PDF_FILE), PdfPath);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_PDF_CANCEL)) {
        CancelOperation();
        PostMessageA(MainWindow, APP_CLOSE_PDF_PROGRESS, 0, 0);
    }
    return FALSE;
}

namespace {
BOOL QuitSeen = FALSE;  // the pump took the quit message: the main loop ends with it
int QuitCode = 0;
}  // namespace

BOOL PumpSawQuit(int* exitCode)
{
    if (QuitSeen) *exitCode = QuitCode;
    return QuitSeen;
}

void PumpPendingMessages()
{
    HACCEL accelerators = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG msg;
    while (!QuitSeen && PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) {
            // Posted again it would wake every wait at once; the main loop ends instead
            // when the operation has returned.
            QuitSeen = TRUE;
            QuitCode = (int)msg.wParam;
            CancelOperation();
            return;
        }
        if (got == -1) return;
        // Against the message's own window: while the main window is disabled its
        // shortcuts stay out of reach.
        if (TranslateAcceleratorA(msg.hwnd, accelerators, &msg)) continue;
        if (RouteToModelessDialogs(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
