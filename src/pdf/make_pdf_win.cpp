#include "pdf/make_pdf_win.h"

#include <mapi.h>
#include <shellapi.h>

#include "app/progress_win.h"
#include "pdf/build_host_win.h"
#include "pdf/pdf_paths.h"

int ChoosePdfPath()
{
    char offered[MaxPathChars];
    OfferedPdfName(PdfPath, offered, sizeof offered);
    CopyText(PdfPath, sizeof PdfPath, offered);

    OPENFILENAMEA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof(OPENFILENAMEA);
    dialog.hwndOwner = MainWindow;
    dialog.lpstrFilter = "PDF Files (*.pdf)\0*.pdf\0\0";
    dialog.lpstrFile = PdfPath;
    dialog.nMaxFile = sizeof PdfPath;
    dialog.lpstrInitialDir = PdfSaveDirectory[0] ? PdfSaveDirectory : NULL;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    dialog.lpstrDefExt = "pdf";
    int chosen = GetSaveFileNameA(&dialog);
    if (chosen == 1)
        ChosenPdfFolder(PdfPath, dialog.nFileOffset, PdfSaveDirectory, sizeof PdfSaveDirectory);
    return chosen;
}

void MailPdf(const char* path)
{
    if (!MapiLibrary) return;
    char name[MaxPathChars];
    CopyText(name, sizeof name, PathFileName(path));
    if (!name[0]) return;
    LPMAPISENDMAIL sendMail = (LPMAPISENDMAIL)GetProcAddress(MapiLibrary, "MAPISendMail");
    if (!sendMail) return;  // a MAPI32.DLL without Simple MAPI: nothing to call

    char pathCopy[MaxPathChars];  // the records take writable texts
    CopyText(pathCopy, sizeof pathCopy, path);
    MapiFileDesc file;
    ZeroMemory(&file, sizeof file);
    file.nPosition = (ULONG)-1;  // attached, not placed in the body
    file.lpszPathName = pathCopy;
    file.lpszFileName = name;
    MapiMessage message;
    ZeroMemory(&message, sizeof message);
    message.nFileCount = 1;
    message.lpFiles = &file;
    sendMail(0, 0, &message, MAPI_DIALOG, 0);  // the compose window; its result is the user's
}

static void EndBuild()
{
    EnableWindow(MainWindow, TRUE);
    if (MakePdfProgressDialog && IsWindow(MakePdfProgressDialog))
        DestroyWindow(MakePdfProgressDialog);
    MakePdfProgressDialog = NULL;
}

void MakePdfCommand()
{
    if (ImageCollection.empty()) return;
    if (ChoosePdfPath() != 1) return;

    PdfBuildActive = 1;
    EnableWindow(MainWindow, FALSE);
    MakePdfProgressDialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAKE_PDF_PROGRESS),
                                               MainWindow, MakePdfProgressProc, 0);
    if (!MakePdfProgressDialog) {
        PdfBuildActive = 0;
        EnableWindow(MainWindow, TRUE);
        return;
    }
    ShowWindow(MakePdfProgressDialog, SW_SHOW);
    // After a failure the dialog stays with its message, the main window disabled, until
    // the user closes it with Cancel.
    if (BuildPdf() != 1) return;
    EndBuild();
    if (!PdfBuildActive) return;  // cancelled: nothing written, nothing to open or mail
    PdfBuildActive = 0;

    if (PdfSettings.openAfterCreation)
        ShellExecuteA(NULL, "open", PdfPath, NULL, NULL, SW_SHOWNORMAL);
    if (PdfSettings.mailAfterCreation) MailPdf(PdfPath);
}
