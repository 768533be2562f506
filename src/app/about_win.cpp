// The About box: product, maker, rights notice and the credits of the libraries used.
#include "app/help_win.h"
#include "app/credits.h"

std::string AboutAcknowledgement()
{
    return LibraryCredits(51);  // characters: the widest that fits the field
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_ABOUT_CREDITS, AboutAcknowledgement().c_str());
        return TRUE;
    case WM_COMMAND:
        // OK, Enter, Escape and the close box all arrive here as IDOK or IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void ShowAboutBox()
{
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutDialogProc, 0);
}
