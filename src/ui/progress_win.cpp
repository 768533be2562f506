#include "ui/progress_win.h"

#include "platform/message_loop_win.h"
#include "platform/wide_text_win.h"

namespace {
// Each dialog is routed keys while it exists; Cancel stops the running operation and asks
// the main window to close a dialog that outlives its operation.
BOOL OnProgressMessage(HWND dialog, UINT message, WPARAM wParam, int cancelId, UINT closeMessage)
{
    if (message == WM_INITDIALOG) RegisterModelessDialog(dialog);
    if (message == WM_DESTROY) UnregisterModelessDialog(dialog);
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == cancelId)) {
        CancelOperation();
        PostMessageA(MainWindow, closeMessage, 0, 0);
    }
    return FALSE;
}
}  // namespace

INT_PTR CALLBACK AddImagesProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return OnProgressMessage(dialog, message, wParam, IDC_ADD_CANCEL, APP_CLOSE_ADD_PROGRESS);
}

INT_PTR CALLBACK MakePdfProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    OnProgressMessage(dialog, message, wParam, IDC_PDF_CANCEL, APP_CLOSE_PDF_PROGRESS);
    if (message != WM_INITDIALOG) return FALSE;
    SetWindowTextUtf8(GetDlgItem(dialog, IDC_PDF_FILE), PdfPath);
    return TRUE;
}

void SetProgressBarRange(HWND bar, int count)
{
    if (count < 0) count = 0;
    // The classic message carries 16 bits: a larger count would wrap round.
    if (count <= 0xFFFF) SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, count));
    else SendMessageA(bar, PBM_SETRANGE32, 0, count);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
}

BOOL BeginProgress(OperationKind kind, int count)
{
    const BOOL pdf = kind == PdfOperation;
    if (kind == PreviewOperation || !BeginOperation(kind)) return FALSE;
    EnableWindow(MainWindow, FALSE);
    HWND& dialog = pdf ? MakePdfProgressDialog : AddImagesProgressDialog;
    dialog = CreateDialogParamA(AppInstance,
                                MAKEINTRESOURCEA(pdf ? IDD_MAKE_PDF_PROGRESS : IDD_ADD_IMAGES_PROGRESS),
                                MainWindow, pdf ? MakePdfProgressProc : AddImagesProgressProc, 0);
    if (!dialog) {
        EndProgress();
        return FALSE;
    }
    SetProgressBarRange(GetDlgItem(dialog, pdf ? IDC_PDF_PROGRESS_BAR : IDC_ADD_PROGRESS_BAR), count);
    ShowWindow(dialog, SW_SHOW);
    return TRUE;
}

static void CloseProgressDialogs()
{
    EnableWindow(MainWindow, TRUE);
    for (HWND* dialog : {&AddImagesProgressDialog, &MakePdfProgressDialog}) {
        if (*dialog && IsWindow(*dialog)) DestroyWindow(*dialog);
        *dialog = NULL;
    }
}

void EndProgress(BOOL keepShowing)
{
    if (!keepShowing) CloseProgressDialogs();
    EndOperation(keepShowing);
}

void CloseFailedProgress()
{
    if (RunningOperation() != NoOperation) return;
    ImportActive = PdfBuildActive = 0;
    CloseProgressDialogs();
}
