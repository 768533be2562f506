#include "ui/ui_support_win.h"

#include "app/wide_text_win.h"

#include <cstdio>
#include <deque>
#include <set>
#include <vector>

#include "app/progress_win.h"
#include "app/startup_win.h"
#include "layout/palette_win.h"
#include "support/png_writer.h"

HWND StartTolvane(int showCommand)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    LoadStringA(instance, IDS_TITLE, WindowTitle, sizeof WindowTitle);
    LoadStringA(instance, IDS_CLASS_NAME, MainClassName, sizeof MainClassName);
    static ATOM registered = RegisterMainWindowClass(instance);
    if (!registered || !InitInstance(instance, showCommand)) return NULL;
    FlushMessages();
    return MainWindow;
}

static HACCEL Accelerators()
{
    static HACCEL table = LoadAcceleratorsA(GetModuleHandleA(NULL),
                                            MAKEINTRESOURCEA(IDR_ACCELERATORS));
    return table;
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
            HandleLoopMessage(&msg, Accelerators());
            quietSince = GetTickCount();
        } else {
            if (GetTickCount() - quietSince > 30) return;
            Sleep(1);
        }
    }
}

namespace {
struct DialogAction {
    std::function<void(HWND)> action;
    DWORD timeoutMs;
};
std::deque<DialogAction> PendingActions;
HHOOK CbtHook;
HWND ActiveDialog;
UINT_PTR ActionTimer, WatchdogTimer;
bool TimedOut;
std::function<void(HWND)> RunningAction;
// Dialogs that already had their action: one activated again (when a message box it
// opened closes) is not taken for the next dialog.
std::set<HWND> HandledDialogs;

void CALLBACK WatchdogFired(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    WatchdogTimer = 0;
    HWND dialog = GetActiveWindow();
    if (dialog && dialog != MainWindow) {
        TimedOut = true;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

void CALLBACK ActionFired(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(NULL, id);
    ActionTimer = 0;
    std::function<void(HWND)> action = RunningAction;
    RunningAction = nullptr;
    if (action) action(ActiveDialog);
}

// The program's own modeless dialogs are never what an action waits for. They are known by
// their dialog procedures: a dialog can become active inside CreateDialogParam, before
// its handle is stored.
bool IsModelessDialog(HWND window)
{
    DLGPROC proc = (DLGPROC)GetWindowLongPtrA(window, DWLP_DLGPROC);
    return proc == MakePdfProgressProc || proc == AddImagesProgressProc ||
           proc == LayoutPaletteProc;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && !RunningAction && !PendingActions.empty()) {
        char cls[32] = "";
        GetClassNameA((HWND)wParam, cls, sizeof cls);
        if (strcmp(cls, "#32770") == 0 && !HandledDialogs.count((HWND)wParam) &&
            !IsModelessDialog((HWND)wParam)) {
            ActiveDialog = (HWND)wParam;
            HandledDialogs.insert(ActiveDialog);
            RunningAction = PendingActions.front().action;
            DWORD timeout = PendingActions.front().timeoutMs;
            PendingActions.pop_front();
            ActionTimer = SetTimer(NULL, 0, 100, ActionFired);
            if (WatchdogTimer) KillTimer(NULL, WatchdogTimer);
            WatchdogTimer = SetTimer(NULL, 0, timeout, WatchdogFired);
        }
    }
    return CallNextHookEx(CbtHook, code, wParam, lParam);
}
}  // namespace

void WhenDialogAppears(std::function<void(HWND)> action, DWORD timeoutMs)
{
    if (!CbtHook) CbtHook = SetWindowsHookExA(WH_CBT, CbtProc, NULL, GetCurrentThreadId());
    PendingActions.push_back(DialogAction{action, timeoutMs});
}

bool DialogTimedOut()
{
    return TimedOut;
}

void ForgetDialogActions()
{
    PendingActions.clear();
    RunningAction = nullptr;
}

std::string WindowText(HWND window)
{
    WCHAR text[1024] = {0};
    GetWindowTextW(window, text, 1024);
    char utf8[3 * 1024];
    return WideToUtf8(text, utf8, sizeof utf8);
}

std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

static bool SaveFromDC(HDC sourceDC, int x, int y, int width, int height, const char* name)
{
    HDC memoryDC = CreateCompatibleDC(sourceDC);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as the PNG writer expects
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(sourceDC, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memoryDC, dib);
    BitBlt(memoryDC, 0, 0, width, height, sourceDC, x, y, SRCCOPY);
    GdiFlush();
    CreateDirectoryA(TOLVANE_SCREENSHOT_DIR, NULL);  // a Unix path works for Wine too
    std::string unixPath = std::string(TOLVANE_SCREENSHOT_DIR) + "/" + name + ".png";
    bool ok = bits && SavePngBgra(unixPath.c_str(), (const uint8_t*)bits, width, height);
    SelectObject(memoryDC, old);
    DeleteObject(dib);
    DeleteDC(memoryDC);
    return ok;
}

bool SaveScreenshot(HWND window, const char* name)
{
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    FlushMessages(100);
    HDC windowDC = GetWindowDC(window);
    bool ok = SaveFromDC(windowDC, 0, 0, r.right - r.left, r.bottom - r.top, name);
    ReleaseDC(window, windowDC);
    return ok;
}

bool SaveScreenArea(const RECT& area, const char* name)
{
    FlushMessages(100);
    HDC screenDC = GetDC(NULL);
    bool ok = SaveFromDC(screenDC, area.left, area.top, area.right - area.left,
                         area.bottom - area.top, name);
    ReleaseDC(NULL, screenDC);
    return ok;
}

std::string MakeTestFolder(const char* name)
{
    // Wine reuses process ids, so a new folder is found by trying names until one is new.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char folder[MAX_PATH];
    for (unsigned n = GetTickCount() % 100000;; n++) {
        snprintf(folder, sizeof folder, "%stolvane-test-%s-%u", temp, name, n);
        if (CreateDirectoryW(WidePath(folder).text, NULL)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return folder;
    }
}

bool WriteTestFile(const std::string& path, const void* data, size_t size)
{
    HANDLE file = CreateFileW(WidePath(path.c_str()).text, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, data, (DWORD)size, &written, NULL);
    CloseHandle(file);
    return ok && written == size;
}

void SendKey(HWND window, WORD virtualKey)
{
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    SendMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    SendMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

static INPUT KeyInput(WORD vk, bool up)
{
    INPUT in;
    ZeroMemory(&in, sizeof in);
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

void PressKey(WORD virtualKey, bool control, bool alt, bool shift)
{
    std::vector<INPUT> inputs;
    if (control) inputs.push_back(KeyInput(VK_CONTROL, false));
    if (alt) inputs.push_back(KeyInput(VK_MENU, false));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
    inputs.push_back(KeyInput(virtualKey, false));
    inputs.push_back(KeyInput(virtualKey, true));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
    if (alt) inputs.push_back(KeyInput(VK_MENU, true));
    if (control) inputs.push_back(KeyInput(VK_CONTROL, true));
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
    FlushMessages(300);
}
