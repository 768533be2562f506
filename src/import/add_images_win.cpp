// Add Images: the system's open dialog with several files allowed, then each chosen file
// becomes an entry, with the progress dialog showing which one is being read.
#include "import/add_images_win.h"

#include <commdlg.h>

#include <cstdlib>

#include "app/progress_win.h"
#include "import/import_batch_win.h"
#include "import/open_selection.h"

// Three patterns occur twice; the list is kept as the program has always shown it.
const char SupportedImagesFilter[] =
    "Supported Images\0"
    "*.BMP;*.CUT;*.DDS;*.GIF;*.HDR;*.ICO;*.IFF;*.LBM;*.JNG;*.JPG;*.JIF;*.JPEG;*.JPE;*.KOA;"
    "*.MNG;*.PBM;*.PBM;*.PCD;*.PCX;*.PGM;*.PGM;*.PNG;*.PPM;*.PPM;*.PSD;*.RAS;*.TGA;*.TARGA;"
    "*.TIF;*.TIFF;*.WBMP;*.XBM;*.XPM\0"
    "All Files (*.*)\0"
    "*.*\0";

static void SelectedPath(int index, char* path, size_t size, void* context)
{
    const OpenSelection* selection = static_cast<const OpenSelection*>(context);
    JoinPath(selection->directory, selection->names[index], path, size);
}

// Imports the names of an accepted selection from selection.directory.
static void ImportSelection(const OpenSelection& selection)
{
    int count = OpenImportBatch((int)selection.names.size());
    ImportFiles(count, SelectedPath, const_cast<OpenSelection*>(&selection));
    CloseImportBatch(count);
}

void AddImagesFromFiles()
{
    if (ImportActive) return;  // one import at a time
    // Zeroed, so that reading the names can never run into stale bytes.
    char* buffer = (char*)calloc(SelectionBufferBytes, 1);
    if (!buffer) return;

    OPENFILENAMEA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = MainWindow;
    dialog.lpstrFilter = SupportedImagesFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = SelectionBufferBytes;
    dialog.lpstrInitialDir = ImportDirectory[0] ? ImportDirectory : NULL;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT;

    OpenSelection selection;
    if (GetOpenFileNameA(&dialog) &&
        ReadOpenSelection(buffer, SelectionBufferBytes, dialog.nFileOffset, &selection)) {
        CopyText(ImportDirectory, sizeof ImportDirectory, selection.directory);
        ImportSelection(selection);
    }
    free(buffer);
}
