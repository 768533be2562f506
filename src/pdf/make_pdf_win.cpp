#include "pdf/make_pdf_win.h"

#include <mapi.h>
#include <shellapi.h>

#include "ui/operation_win.h"
#include "ui/progress_win.h"
#include "platform/wide_text_win.h"
#include "pdf/build_host_win.h"
#include "pdf/pdf_paths.h"

int ChoosePdfPath()
{
    char offered[MaxPathBytes];
    OfferedPdfName(PdfPath, offered, sizeof offered);
    CopyText(PdfPath, sizeof PdfPath, offered);

    WCHAR file[MaxPathChars];
    if (!MultiByteToWideChar(CP_UTF8, 0, PdfPath, -1, file, MaxPathChars)) file[0] = 0;
    WidePath initialFolder(PdfSaveDirectory);
    OPENFILENAMEW dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = MainWindow;
    dialog.lpstrFilter = L"PDF Files (*.pdf)\0*.pdf\0\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = MaxPathChars;
    dialog.lpstrInitialDir = PdfSaveDirectory[0] ? initialFolder.text : NULL;
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    dialog.lpstrDefExt = L"pdf";
    int chosen = GetSaveFileNameW(&dialog);
    if (chosen == 1) {
        WideToUtf8(file, PdfPath, sizeof PdfPath);
        ChosenPdfFolder(PdfPath, (unsigned)Utf8Length(file, dialog.nFileOffset), PdfSaveDirectory,
                        sizeof PdfSaveDirectory);
    }
    return chosen;
}

// Simple MAPI takes paths in the system code page: a path outside it goes by its short
// (8.3) form, which is plain ASCII when the volume keeps short names.
static void MailPathText(const char* path, char* out, size_t outSize)
{
    WidePath wide(path);
    BOOL lossy = FALSE;
    out[0] = 0;
    if (!WideCharToMultiByte(CP_ACP, 0, wide.text, -1, out, (int)outSize, NULL, &lossy))
        WideCharToMultiByte(CP_ACP, 0, wide.text, -1, out, (int)outSize, NULL, NULL);  // UTF-8
    WCHAR shortPath[MaxPathChars];
    if (lossy && GetShortPathNameW(wide.text, shortPath, MaxPathChars))
        WideCharToMultiByte(CP_ACP, 0, shortPath, -1, out, (int)outSize, NULL, NULL);
    out[outSize - 1] = 0;
}

void MailPdf(const char* path)
{
    if (!MapiLibrary) return;
    char pathCopy[MaxPathBytes];  // the records take writable texts
    MailPathText(path, pathCopy, sizeof pathCopy);
    char name[MaxPathBytes];
    CopyText(name, sizeof name, PathFileName(pathCopy));
    if (!name[0]) return;
    LPMAPISENDMAIL sendMail = (LPMAPISENDMAIL)GetProcAddress(MapiLibrary, "MAPISendMail");
    if (!sendMail) return;  // a MAPI32.DLL without Simple MAPI: nothing to call

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

void MakePdfCommand()
{
    if (ImageCollection.empty() || !ProgramIdle()) return;
    if (ChoosePdfPath() != 1 || !BeginProgress(PdfOperation, (int)ImageCollection.size()))
        return;
    const BOOL built = BuildPdf() == 1;
    const BOOL cancelled = !PdfBuildActive;
    // After a failure the dialog stays with its message, the main window disabled, until
    // the user closes it with Cancel.
    EndProgress(!built);
    if (!built || cancelled) return;  // nothing written, nothing to open or mail

    if (PdfSettings.openAfterCreation)
        ShellExecuteW(NULL, L"open", WidePath(PdfPath).text, NULL, NULL, SW_SHOWNORMAL);
    if (PdfSettings.mailAfterCreation) MailPdf(PdfPath);
}
