// Progress dialogs of the long operations and the pump that keeps the program
// responsive between their items. Cancel only clears the operation's flag and asks the
// main window to close the dialog; the running loop notices the flag after its next pump.
#include "app/progress_win.h"

#include "app/startup_win.h"
#include "app/wide_text_win.h"

INT_PTR CALLBACK AddImagesProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_ADD_CANCEL)) {
        ImportActive = 0;
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
        PdfBuildActive = 0;
        PostMessageA(MainWindow, APP_CLOSE_PDF_PROGRESS, 0, 0);
    }
    return FALSE;
}

void PumpPendingMessages()
{
    HACCEL accelerators = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) {
            // The main loop must still see the quit message, or the program never ends.
            PostQuitMessage((int)msg.wParam);
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
