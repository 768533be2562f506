// The About box: product, maker, rights notice and the credits of the libraries used.
#include "app/help_win.h"

// Each line fits the width of the box's text field, which does not wrap.
const char AboutAcknowledgement[] =
    "This software uses the FreeImage open source image\r\n"
    "library. See https://freeimage.sourceforge.io for\r\n"
    "details. FreeImage is used under the FreeImage\r\n"
    "Public License, version 1.0.\r\n"
    "\r\n"
    "libharu (PDF page content): zlib/libpng License,\r\n"
    "https://github.com/libharu/libharu\r\n"
    "qpdf (PDF encryption, writing): Apache License 2.0,\r\n"
    "https://qpdf.sourceforge.io";

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_ABOUT_CREDITS, AboutAcknowledgement);
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
