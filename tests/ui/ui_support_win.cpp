#include "ui/ui_support_win.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <set>

#include "import/import_batch_win.h"
#include "platform/file_io_win.h"
#include "platform/message_loop_win.h"
#include "platform/owners_win.h"
#include "ui/operation_win.h"
#include "ui/thumbnail_win.h"
#include "ui/progress_win.h"
#include "app/startup_win.h"
#include "ui/statusbar_win.h"
#include "platform/wide_text_win.h"
#include "import/add_images_win.h"
#include "import/drop_target_win.h"
#include "layout/palette_win.h"
#include "listview/image_listview_win.h"

HWND StartTolvane()
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    LoadStringA(instance, IDS_TITLE, WindowTitle, sizeof WindowTitle);
    LoadStringA(instance, IDS_CLASS_NAME, MainClassName, sizeof MainClassName);
    static ATOM registered = RegisterMainWindowClass(instance);
    if (!registered || !InitInstance(instance, SW_SHOWNORMAL)) return NULL;
    FlushMessages();
    return MainWindow;
}

void FlushMessages(DWORD maxMs)
{
    DWORD start = GetTickCount();
    DWORD quietSince = start;
    MSG msg;
    while (GetTickCount() - start < maxMs) {
        if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage((int)msg.wParam);  // leave it for the test to see
                return;
            }
            HandleLoopMessage(&msg);
            quietSince = GetTickCount();
        } else {
            if (GetTickCount() - quietSince > 30) return;
            Sleep(1);
        }
    }
}

namespace {
std::deque<std::pair<std::function<void(HWND)>, DWORD>> PendingActions;  // action, time limit
std::function<void(HWND)> RunningAction;
std::set<HWND> HandledDialogs;  // one re-activated after its message box is not taken again
HWND ActiveDialog;
bool TimedOut;

// The program's modeless dialogs are known by their procedures: one can become active
// inside CreateDialogParam, before its handle is stored.
bool IsModelessDialog(HWND window)
{
    DLGPROC proc = (DLGPROC)GetWindowLongPtrA(window, DWLP_DLGPROC);
    return proc == MakePdfProgressProc || proc == AddImagesProgressProc || proc == LayoutPaletteProc;
}

void CALLBACK ActionFired(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    std::function<void(HWND)> action = RunningAction;
    RunningAction = nullptr;
    if (action) action(ActiveDialog);
}

void CALLBACK WatchdogFired(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    // A long import pumps messages while it waits: its progress dialog is not the one.
    HWND dialog = GetActiveWindow();
    if (dialog && dialog != MainWindow && !IsModelessDialog(dialog))
        TimedOut = true, PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    char cls[32] = "";
    if (code == HCBT_ACTIVATE && !RunningAction && !PendingActions.empty() &&
        GetClassNameA(window, cls, sizeof cls) && strcmp(cls, "#32770") == 0 &&
        HandledDialogs.insert(window).second && !IsModelessDialog(window)) {
        ActiveDialog = window;
        RunningAction = PendingActions.front().first;
        DWORD timeoutMs = PendingActions.front().second;
        PendingActions.pop_front();
        SetTimer(NULL, 0, 100, ActionFired);  // runs inside the dialog's own loop
        static UINT_PTR watchdog;
        if (watchdog) KillTimer(NULL, watchdog);
        watchdog = SetTimer(NULL, 0, timeoutMs, WatchdogFired);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
}  // namespace

void WhenDialogAppears(std::function<void(HWND)> action, DWORD timeoutMs)
{
    static HHOOK hook = SetWindowsHookExA(WH_CBT, CbtProc, NULL, GetCurrentThreadId());
    (void)hook;  // installed once, for the whole test
    PendingActions.push_back({action, timeoutMs});
}

bool DialogTimedOut() { return TimedOut; }

std::string WindowText(HWND window)
{
    WCHAR text[1024] = {0};
    GetWindowTextW(window, text, 1024);
    char utf8[3 * 1024];
    return WideToUtf8(text, utf8, sizeof utf8);
}

// Runs draw on a memory DC holding a width x height 32-bit DIB and returns its pixels
// (BGRA, rows bottom-up).
static std::vector<uint8_t> DrawnPixels(int width, int height, std::function<void(HDC)> draw)
{
    BITMAPINFO info = {{sizeof info.bmiHeader, width, height, 1, 32}};
    void* bits = NULL;
    const ScopedBitmap dib(CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0));
    const MemoryDC dc(NULL);
    Selection drawing(dc.Get(), dib.Get());
    draw(dc.Get());
    GdiFlush();
    return std::vector<uint8_t>((uint8_t*)bits, (uint8_t*)bits + (size_t)width * height * 4);
}

bool SaveScreenshot(HWND window, const char* name)
{
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    FlushMessages(100);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC windowDC = GetWindowDC(window);
    std::vector<uint8_t> pixels = DrawnPixels(width, height, [&](HDC dc) {
        BitBlt(dc, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
    });
    ReleaseDC(window, windowDC);
    CreateDirectoryA(TOLVANE_SCREENSHOT_DIR, NULL);  // a Unix path works for Wine too
    std::string unixPath = std::string(TOLVANE_SCREENSHOT_DIR) + "/" + name + ".png";
    return SavePngBgra(unixPath.c_str(), pixels.data(), width, height);
}

std::string MakeTestFolder(const char* name)
{
    // Wine reuses process ids: a new folder takes a random number instead.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    GUID random;
    CoCreateGuid(&random);
    std::string folder = temp + ("tolvane-test-" + std::string(name)) + "-" + std::to_string(random.Data1);
    CreateDirectoryW(WidePath(folder.c_str()).text, NULL);
    return folder;
}

// Files that one process writes while another waits for them are shared both ways.
bool WriteTestFile(const std::string& path, const void* data, size_t size, bool append)
{
    const ScopedHandle file(CreateFileW(WidePath(path.c_str()).text, append ? FILE_APPEND_DATA : GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                        append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    DWORD written = 0;
    return file.Valid() && WriteFile(file.Get(), data, (DWORD)size, &written, NULL) && written == size;
}

void PressKey(WORD virtualKey)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = virtualKey;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    FlushMessages(300);
}

bool StartWithImages(int count)
{
    if (!StartTolvane()) return false;
    SetWindowPos(MainWindow, NULL, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    AddTestImages(count);
    FlushMessages();
    return (int)ImageCollection.size() == count;
}

std::string ReadTestFile(const std::string& path)
{
    std::vector<uint8_t> bytes;  // read as the program reads, sharing the file both ways
    ReadWholeFile(path.c_str(), &bytes);
    return std::string(bytes.begin(), bytes.end());
}

std::string WaitForFileBytes(const std::string& path, DWORD ms)
{
    std::string bytes;
    for (DWORD start = GetTickCount(); bytes.empty() && GetTickCount() - start < ms; Sleep(50))
        bytes = ReadTestFile(path);
    return bytes;
}

std::string WritePicture(const std::string& folder, const char* name, int width, int height,
                         const char* format, BYTE r, BYTE g, BYTE b)
{
    std::vector<uint8_t> bytes = MakeTestImageBytes(width, height, format, r, g, b);
    std::string path = folder + "\\" + name;
    if (bytes.empty() || !WriteTestFile(path, bytes.data(), bytes.size())) return "";
    return path;
}

void TypeIntoFileDialog(const std::string& typed, DWORD timeoutMs)
{
    WhenDialogAppears([typed](HWND dialog) {
        HWND box = GetDlgItem(dialog, 0x47C);  // the file-name box
        HWND edit = FindWindowExA(box, NULL, "Edit", NULL);
        SetWindowTextUtf8(edit ? edit : box, typed.c_str());
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    }, timeoutMs);
}

void AddThroughOpenDialog(const std::string& folder, const std::string& typed, DWORD timeoutMs)
{
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    TypeIntoFileDialog(typed, timeoutMs);
    AddImagesFromFiles();
    EXPECT_FALSE(DialogTimedOut());
}

static BOOL OnePath(int, char* path, size_t size, void* context)
{
    CopyText(path, size, (const char*)context);
    return TRUE;
}

void AddImageFile(const char* path)
{
    const int count = OpenImportBatch(1);
    ImportFiles(count, OnePath, const_cast<char*>(path));
    CloseImportBatch(count);
}

void AddTestImages(int count)
{
    static std::string folder = MakeTestFolder("pictures");
    for (int i = 0; i < count; i++) {
        char name[32];
        snprintf(name, sizeof name, "image%d.png", (int)ImageCollection.size());
        AddImageFile(WritePicture(folder, name, 80, 60, "png", (BYTE)(40 + 37 * i % 200),
                                  (BYTE)(200 - 23 * i % 180), (BYTE)(90 + 51 * i % 160)).c_str());
    }
}

std::vector<std::string> CollectionPaths()
{
    std::vector<std::string> paths;
    for (const ImageEntry& e : ImageCollection) paths.push_back(e.path);
    return paths;
}

std::string CollectionOrder()
{
    std::string order;
    for (const ImageEntry& e : ImageCollection) {
        const char* name = strstr(e.path, "image");
        order += (order.empty() ? "" : ",") + (name ? std::to_string(atoi(name + 5)) : "?");
    }
    return order;
}

int ItemCount() { return (int)SendMessageA(ImageListView, LVM_GETITEMCOUNT, 0, 0); }

void SelectItems(std::initializer_list<int> items)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageA(ImageListView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
    state.state = LVIS_SELECTED;
    for (int item : items) SendMessageA(ImageListView, LVM_SETITEMSTATE, item, (LPARAM)&state);
}

static POINT ItemViewPoint(int item, double fx, double fy)
{
    RECT r = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(ImageListView, LVM_GETITEMRECT, item, (LPARAM)&r);
    POINT p = {r.left + (int)((r.right - r.left) * fx), r.top + (int)((r.bottom - r.top) * fy)};
    return p;
}

LPARAM ItemPoint(int item, double fx, double fy)
{
    POINT p = ItemViewPoint(item, fx, fy);
    MapWindowPoints(ImageListView, MainWindow, &p, 1);
    return MAKELPARAM(p.x, p.y);
}

void BeginDrag(int item)
{
    NMLISTVIEW begin = {};
    begin.hdr = {ImageListView, IDC_IMAGE_LIST_VIEW, (UINT)LVN_BEGINDRAG};
    begin.iItem = item;
    begin.ptAction = ItemViewPoint(item, 0.5, 0.35);
    SendMessageA(MainWindow, WM_NOTIFY, IDC_IMAGE_LIST_VIEW, (LPARAM)&begin);
}

std::string StatusText(int part)
{
    char text[256] = "";
    SendMessageA(StatusBar, SB_GETTEXTA, part, (LPARAM)text);
    return text;
}

std::vector<uint8_t> ThumbnailAsShown(int slot)
{
    HIMAGELIST list = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    const int side = ImageListSide(list);
    return DrawnPixels(side, side, [&](HDC dc) {
        PatBlt(dc, 0, 0, side, side, WHITENESS);
        ImageList_Draw(list, slot, dc, 0, 0, ILD_NORMAL);
    });
}

namespace {
ProgressRecorder* Recorder;
HHOOK RecorderHook;

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* m = (const CWPRETSTRUCT*)lParam;
    HWND dialog = GetParent(m->hwnd);
    if (code == HC_ACTION && Recorder && dialog &&
        (dialog == AddImagesProgressDialog || dialog == MakePdfProgressDialog)) {
        int id = GetDlgCtrlID(m->hwnd);
        if (m->message == WM_SETTEXT && id == IDC_ADD_MESSAGE)
            Recorder->messages.push_back(WindowText(m->hwnd));  // set as UTF-16: read back
        if (m->message == PBM_STEPIT) {
            Recorder->steps++;
            if (Recorder->onStep) Recorder->onStep();
        }
        if (m->message == WM_SETTEXT && id == IDC_ADD_STATUS) {
            Recorder->statuses.push_back(WindowText(m->hwnd));
            if (Recorder->onStatus) Recorder->onStatus(Recorder->statuses.back());
        }
    }
    return CallNextHookEx(RecorderHook, code, wParam, lParam);
}
}  // namespace

ProgressRecorder::ProgressRecorder()
{
    Recorder = this;
    RecorderHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, NULL, GetCurrentThreadId());
}

ProgressRecorder::~ProgressRecorder()
{
    UnhookWindowsHookEx(RecorderHook);
    Recorder = nullptr;
}

DWORD DropOnList(IDataObject* data, DWORD allowed)
{
    POINTL point = {100, 100};
    DWORD enter = allowed, over = allowed, drop = allowed;
    ImageDropTarget->DragEnter(data, MK_LBUTTON, point, &enter);
    ImageDropTarget->DragOver(MK_LBUTTON, point, &over);
    ImageDropTarget->Drop(data, MK_LBUTTON, point, &drop);
    EXPECT_TRUE(enter == drop && over == drop);
    return drop;
}

void SlowDecodersDown(DWORD ms)
{
    EndAllDecoders();
    SetEnvironmentVariableA(DECODER_DELAY_VARIABLE, ms ? std::to_string(ms).c_str() : NULL);
}

namespace {
std::function<void()> ReadyAction;
int TicksWhileRunning;

void CALLBACK ReadyTimerFired(HWND, UINT, UINT_PTR id, DWORD)
{
    if (RunningOperation() == NoOperation || ++TicksWhileRunning < 2) return;
    KillTimer(NULL, id);
    std::function<void()> action;
    action.swap(ReadyAction);
    if (action) action();
}
}  // namespace

void WhenOperationRuns(std::function<void()> action)
{
    ReadyAction = action;
    TicksWhileRunning = 0;
    SetTimer(NULL, 0, 100, ReadyTimerFired);
}
