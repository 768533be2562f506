// The one helper file of the UI tests: the real main window in this process, modal
// dialogs driven from inside their own loops, test pictures added to the list, and the
// list, status bar and thumbnails read back.
#pragma once
// GoogleTest from a Winelib program. Debian's libgtest is a Linux build, but wineg++
// defines _WIN32, which makes gtest's headers pick the Windows port: hide it meanwhile.
#pragma push_macro("_WIN32")
#pragma push_macro("_WIN64")
#pragma push_macro("WIN32")
#undef _WIN32
#undef _WIN64
#undef WIN32
#include <gtest/gtest.h>
#pragma pop_macro("WIN32")
#pragma pop_macro("_WIN64")
#pragma pop_macro("_WIN32")

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "decoder/host_win.h"
#include "ui/globals_win.h"
#include "import/import_batch_win.h"
#include "pdf/make_pdf_win.h"
#include "support/support.h"

#include <shlobj.h>

// Starts Tolvane's main window as WinMain does and returns it. Each test runs in its own
// process, so the globals start fresh.
HWND StartTolvane();
// StartTolvane at 640 x 480, then AddTestImages(count). False on failure.
bool StartWithImages(int count);

// Handles waiting messages through the program's loop until quiet, at most maxMs.
void FlushMessages(DWORD maxMs = 200);

// Runs `action` inside the next modal dialog (#32770) that becomes active; the program's
// modeless dialogs (progress, palette) are passed over. Several calls serve successive
// dialogs, one action each. A dialog still open timeoutMs later gets IDCANCEL and
// DialogTimedOut() turns true.
void WhenDialogAppears(std::function<void(HWND dialog)> action, DWORD timeoutMs = 5000);
bool DialogTimedOut();

// Text of a window, as UTF-8.
std::string WindowText(HWND window);

// Saves the window as screenshots/<name>.png in the build folder (for people to look at).
bool SaveScreenshot(HWND window, const char* name);

// A fresh empty folder (Windows path, no trailing backslash); whole files in and out.
// Names and paths here are UTF-8, as the program holds them.
std::string MakeTestFolder(const char* name);
bool WriteTestFile(const std::string& path, const void* data, size_t size, bool append = false);
std::string ReadTestFile(const std::string& path);  // "" when missing
// The file's bytes once another process has written some, or "" after ms.
std::string WaitForFileBytes(const std::string& path, DWORD ms);

// Writes a test picture (MakeTestImageBytes) into folder\name; returns the full path.
std::string WritePicture(const std::string& folder, const char* name, int width, int height,
                         const char* format = "png", BYTE r = 40, BYTE g = 120, BYTE b = 200);
// Queues the next open or save dialog to receive `typed` (UTF-8) in its file-name box,
// then OK.
void TypeIntoFileDialog(const std::string& typed, DWORD timeoutMs = 5000);
// Add Images from `folder`, choosing `typed` in the open dialog.
void AddThroughOpenDialog(const std::string& folder, const std::string& typed,
                          DWORD timeoutMs = 5000);
// Adds one file as a drop of that one file would.
void AddImageFile(const char* path);
// Adds count landscape pictures of distinct colours, named image<i>.png, through
// AddImageFile.
void AddTestImages(int count);
// The collection's paths, and its order as the numbers in its entries' names, e.g.
// "1,2,3,0,4".
std::vector<std::string> CollectionPaths();
std::string CollectionOrder();

// A key pressed and released through the input queue and the program's loop.
void PressKey(WORD virtualKey);

// The list view: item count, selection, a point of an item (fx, fy: fractions of its
// bounds) in the main window's client coordinates, and the list's notice to the main
// window that the user starts dragging an item.
int ItemCount();
void SelectItems(std::initializer_list<int> items);  // exactly these
LPARAM ItemPoint(int item, double fx, double fy);
void BeginDrag(int item);
std::string StatusText(int part);

// The thumbnail in a slot as the view draws it on white: side x side BGRA (96 x 96 at
// 100 %), rows bottom-up.
std::vector<uint8_t> ThumbnailAsShown(int slot);

// Records what the progress dialogs show while they exist: the status and message lines
// of Add Images, and the steps of either bar. onStatus and onStep run inside the operation
// right after a status text was shown or the bar stepped.
class ProgressRecorder {
public:
    ProgressRecorder();
    ~ProgressRecorder();
    std::vector<std::string> statuses, messages;
    int steps = 0;
    std::function<void(const std::string& status)> onStatus;
    std::function<void()> onStep;
};

// A data object offering CF_HDROP as the shell does (UTF-16 names, or ANSI ones), or (for
// the refusals) only text, or a list whose offset points past its block.
class TestData : public IDataObject {
public:
    enum Kind { FileList, WideFileList, TextOnly, DamagedList };
    TestData(std::vector<std::string> paths, Kind kind = FileList) : paths_(paths), kind_(kind) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject) ? this : NULL;
        return *object ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        gets++;
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        std::string names;
        for (const std::string& p : paths_) names += p + '\0';
        names += '\0';
        if (kind_ == WideFileList) {
            std::vector<WCHAR> wide(names.size());
            int chars = MultiByteToWideChar(CP_UTF8, 0, names.data(), (int)names.size(),
                                            wide.data(), (int)wide.size());
            names.assign((const char*)wide.data(), chars * sizeof(WCHAR));
        }
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
        DROPFILES* header = (DROPFILES*)GlobalLock(block);
        header->pFiles = kind_ == DamagedList ? 1 << 20 : sizeof(DROPFILES);
        header->fWide = kind_ == WideFileList;
        memcpy(header + 1, names.data(), names.size());
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL, medium->hGlobal = block, medium->pUnkForRelease = NULL;
        return S_OK;
    }
    STDMETHODIMP QueryGetData(FORMATETC* f) override
    {
        return f->cfFormat == (kind_ == TextOnly ? CF_TEXT : CF_HDROP) &&
               (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    // Not used by a drop target.
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    int gets = 0;

private:
    std::vector<std::string> paths_;
    Kind kind_;
};

// DragEnter, DragOver and Drop on the image list as OLE delivers them; the effect Drop
// answered.
DWORD DropOnList(IDataObject* data, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE);

// A decoder started while this variable names a file adds its pipe's name to it as a line
// (tests/ui/ui_main.cpp), for a test that opens the pipe before the decoder does.
#define PIPE_RECORD_VARIABLE "TOLVANE_TEST_PIPE_RECORD"
// Decoders started from now on wait this long before they connect and before they read
// each file (0: no wait); the running ones are ended.
void SlowDecodersDown(DWORD ms);
// Runs `action` once, inside a wait of the next operation that runs: at its second timer
// tick while it runs, since its first pump takes one tick at most before anything waits.
void WhenOperationRuns(std::function<void()> action);
