#include "pdf/options_win.h"

#include <cmath>

#include "platform/wide_text_win.h"

INT_PTR ShowPdfOptions()
{
    return DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_OPTIONS), MainWindow,
                           PdfOptionsProc, 0);
}

// Trackbar positions 0..10 stand for quality 0.0..1.0; anything else shows the middle.
static int QualityPosition(double quality)
{
    int p = (int)std::floor(quality * 10 + 1e-9);  // 0.3 * 10 must give 3, never 2
    return (p < 0 || p > 10) ? 5 : p;
}

static void FillOptions(HWND dialog)
{
    HWND paper = GetDlgItem(dialog, IDC_OPT_PAGE_SIZE);
    for (const char* name : PaperNames) SendMessageA(paper, CB_ADDSTRING, 0, (LPARAM)name);
    LRESULT found = SendMessageA(paper, CB_FINDSTRINGEXACT, (WPARAM)-1,
                                 (LPARAM)PdfSettings.pageSizeName);
    SendMessageA(paper, CB_SETCURSEL, found == CB_ERR ? 0 : found, 0);

    // The edit takes no more than is stored: a longer password would be cut silently and
    // the PDF would then not open with what the user typed.
    SendDlgItemMessageA(dialog, IDC_OPT_PASSWORD, EM_LIMITTEXT, PasswordChars - 1, 0);
    SetWindowTextUtf8(GetDlgItem(dialog, IDC_OPT_PASSWORD), PdfSettings.password);
    CheckDlgButton(dialog, IDC_OPT_OPEN_AFTER, PdfSettings.openAfterCreation ? BST_CHECKED : BST_UNCHECKED);
    if (MapiLibrary) {
        CheckDlgButton(dialog, IDC_OPT_MAIL_AFTER,
                       PdfSettings.mailAfterCreation ? BST_CHECKED : BST_UNCHECKED);
    } else {
        PdfSettings.mailAfterCreation = 0;  // no mail program to hand the PDF to
        CheckDlgButton(dialog, IDC_OPT_MAIL_AFTER, BST_UNCHECKED);
        EnableWindow(GetDlgItem(dialog, IDC_OPT_MAIL_AFTER), FALSE);
    }
    HWND quality = GetDlgItem(dialog, IDC_OPT_QUALITY);
    SendMessageA(quality, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageA(quality, TBM_SETPOS, TRUE, QualityPosition(PdfSettings.imageQuality));
}

static void StoreOptions(HWND dialog)
{
    HWND paper = GetDlgItem(dialog, IDC_OPT_PAGE_SIZE);
    LRESULT selected = SendMessageA(paper, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR &&
        SendMessageA(paper, CB_GETLBTEXTLEN, selected, 0) < (LRESULT)sizeof PdfSettings.pageSizeName)
        SendMessageA(paper, CB_GETLBTEXT, selected, (LPARAM)PdfSettings.pageSizeName);
    // As typed, in UTF-16 whatever the code page (an ANSI read would turn "パス" into "??"
    // on most systems), kept as UTF-8: the form AES-256 passwords take.
    WCHAR password[PasswordChars];
    GetDlgItemTextW(dialog, IDC_OPT_PASSWORD, password, PasswordChars);
    WideToUtf8(password, PdfSettings.password, sizeof PdfSettings.password);
    PdfSettings.openAfterCreation = IsDlgButtonChecked(dialog, IDC_OPT_OPEN_AFTER) == BST_CHECKED;
    PdfSettings.mailAfterCreation = IsDlgButtonChecked(dialog, IDC_OPT_MAIL_AFTER) == BST_CHECKED;
    int p = (int)SendDlgItemMessageA(dialog, IDC_OPT_QUALITY, TBM_GETPOS, 0, 0);
    if (p < 0 || p > 10) p = 5;
    PdfSettings.imageQuality = p / 10.0;
}

INT_PTR CALLBACK PdfOptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        FillOptions(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            StoreOptions(dialog);
            EndDialog(dialog, 1);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 2);
        }
        return TRUE;
    }
    return FALSE;
}
