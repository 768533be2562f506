// Add Images: the system's open dialog with several files allowed, then each chosen file
// becomes an entry, with the progress dialog showing which one is being read.
#include "import/add_images_win.h"

#include <commdlg.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/operation_win.h"
#include "ui/progress_win.h"
#include "platform/wide_text_win.h"
#include "import/import_batch_win.h"
#include "import/open_selection.h"

// Three patterns occur twice, as the program has always listed them; the phones' HEIF
// and AVIF joined them later.
const WCHAR SupportedImagesFilter[] =
    L"Supported Images\0"
    L"*.AVIF;*.BMP;*.CUT;*.DDS;*.GIF;*.HDR;*.HEIC;*.HEIF;*.ICO;*.IFF;*.LBM;*.JNG;*.JPG;*.JIF;"
    L"*.JPEG;*.JPE;*.KOA;*.MNG;*.PBM;*.PBM;*.PCD;*.PCX;*.PGM;*.PGM;*.PNG;*.PPM;*.PPM;*.PSD;"
    L"*.RAS;*.TGA;*.TARGA;*.TIF;*.TIFF;*.WBMP;*.XBM;*.XPM\0"
    L"All Files (*.*)\0"
    L"*.*\0";

static BOOL SelectedPath(int index, char* path, size_t size, void* context)
{
    const OpenSelection* selection = static_cast<const OpenSelection*>(context);
    if (JoinPath(selection->directory, selection->names[index], path, size)) return TRUE;
    CopyText(path, size, selection->names[index]);  // the name alone, for the message
    return FALSE;
}

// Imports the names of an accepted selection from selection.directory.
static void ImportSelection(const OpenSelection& selection)
{
    int count = OpenImportBatch((int)selection.names.size());
    ImportFiles(count, SelectedPath, const_cast<OpenSelection*>(&selection));
    CloseImportBatch(count);
}

// The record of the open dialog while it is shown, and the dialog's own procedure.
static OPENFILENAMEW* OpenRecord;
static WNDPROC OpenDialogProc;

// A folder of 1,000 phone photos (IMG_20240101_123456.jpg) needs about 27,000
// characters, more than the first buffer: it grows to hold the folder and every name
// the dialog now lists, before the dialog copies them out.
static void FitSelectionBuffer(HWND dialog)
{
    LRESULT folder = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
    LRESULT names = SendMessageW(dialog, CDM_GETSPEC, 0, 0);  // the names, quoted
    if (!OpenRecord || folder < 0 || names < 0) return;
    DWORD needed = (DWORD)(folder + names + MaxPathChars);  // terminators and a margin
    if (needed <= OpenRecord->nMaxFile) return;
    WCHAR* grown = (WCHAR*)realloc(OpenRecord->lpstrFile, needed * sizeof(WCHAR));
    if (!grown) return;
    memset(grown + OpenRecord->nMaxFile, 0, (needed - OpenRecord->nMaxFile) * sizeof(WCHAR));
    OpenRecord->lpstrFile = grown;
    OpenRecord->nMaxFile = needed;
}

// The OK button (or Enter) with names typed or chosen: the buffer fits them first.
static LRESULT CALLBACK OpenDialogSubclass(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) FitSelectionBuffer(dialog);
    return CallWindowProcW(OpenDialogProc, dialog, message, wParam, lParam);
}

// The Explorer-style hook: a new selection in the list (a double click opens it without
// the OK button) also fits the buffer.
static UINT_PTR CALLBACK OpenDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam)
{
    HWND dialog = GetParent(hook);
    if (message == WM_INITDIALOG) {
        OpenDialogProc = (WNDPROC)SetWindowLongPtrW(dialog, GWLP_WNDPROC,
                                                    (LONG_PTR)OpenDialogSubclass);
    } else if (message == WM_NOTIFY && ((NMHDR*)lParam)->code == CDN_SELCHANGE) {
        FitSelectionBuffer(dialog);
    }
    return 0;
}

// The dialog's UTF-16 result as UTF-8 (names and terminators alike); fileOffset becomes
// the byte offset of the first name.
static std::vector<char> SelectionAsUtf8(const OPENFILENAMEW& dialog, size_t* fileOffset)
{
    const WCHAR* text = dialog.lpstrFile;
    DWORD end = (DWORD)lstrlenW(text) + 1;
    if (dialog.nFileOffset > 0 && text[dialog.nFileOffset - 1] == 0)  // several names
        while (end < dialog.nMaxFile && text[end]) end += (DWORD)lstrlenW(text + end) + 1;
    if (end < dialog.nMaxFile) end++;  // the empty name after the last
    std::vector<char> utf8((size_t)Utf8Length(text, (int)end) + 1, 0);
    WideCharToMultiByte(CP_UTF8, 0, text, (int)end, utf8.data(), (int)utf8.size(), NULL, NULL);
    *fileOffset = (size_t)Utf8Length(text, dialog.nFileOffset);
    return utf8;
}

void AddImagesFromFiles()
{
    if (!ProgramIdle()) return;  // one operation at a time
    // Zeroed, so that reading the names can never run into stale bytes.
    WCHAR* buffer = (WCHAR*)calloc(SelectionBufferChars, sizeof(WCHAR));
    if (!buffer) return;
    WidePath initialFolder(ImportDirectory);

    OPENFILENAMEW dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = MainWindow;
    dialog.lpstrFilter = SupportedImagesFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = SelectionBufferChars;
    dialog.lpstrInitialDir = ImportDirectory[0] ? initialFolder.text : NULL;
    dialog.lpfnHook = OpenDialogHook;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT |
                   OFN_ENABLEHOOK | OFN_ENABLESIZING;

    OpenRecord = &dialog;
    BOOL chosen = GetOpenFileNameW(&dialog);
    OpenRecord = NULL;
    if (!chosen && CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
        MessageBoxA(MainWindow,
                    "Too many files were chosen at once. Please add them in smaller groups.",
                    WindowTitle, MB_ICONWARNING);
    OpenSelection selection;
    size_t fileOffset = 0;
    std::vector<char> names;
    if (chosen) names = SelectionAsUtf8(dialog, &fileOffset);
    if (chosen && ReadOpenSelection(names.data(), names.size(), fileOffset, &selection)) {
        CopyText(ImportDirectory, sizeof ImportDirectory, selection.directory);
        ImportSelection(selection);
    }
    free(dialog.lpstrFile);  // the buffer as last grown
}
