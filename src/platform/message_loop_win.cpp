#include "platform/message_loop_win.h"

#include <algorithm>
#include <vector>

namespace {
HWND LoopWindow = NULL;
HACCEL LoopAccelerators = NULL;
std::vector<HWND> ModelessDialogs;
BOOL QuitSeen = FALSE;  // the pump took the quit message
int QuitCode = 0;

BOOL RouteToModelessDialogs(MSG* msg)
{
    for (HWND dialog : ModelessDialogs)
        if (IsWindow(dialog) && IsDialogMessageA(dialog, msg)) return TRUE;
    return FALSE;
}
}  // namespace

void SetLoopShortcuts(HWND mainWindow, HACCEL accelerators)
{
    LoopWindow = mainWindow;
    LoopAccelerators = accelerators;
}

void RegisterModelessDialog(HWND dialog)
{
    if (dialog) ModelessDialogs.push_back(dialog);
}

void UnregisterModelessDialog(HWND dialog)
{
    ModelessDialogs.erase(std::remove(ModelessDialogs.begin(), ModelessDialogs.end(), dialog),
                          ModelessDialogs.end());
}

void HandleLoopMessage(MSG* msg)
{
    // Shortcuts first, so that Ctrl+M still reaches the main window while the layout
    // palette has the keyboard focus. A disabled main window takes none: after a failed
    // PDF build it stays disabled under the "Make PDF" dialog until that is closed.
    if (LoopWindow && IsWindowEnabled(LoopWindow) &&
        TranslateAcceleratorA(LoopWindow, LoopAccelerators, msg))
        return;
    if (RouteToModelessDialogs(msg)) return;
    TranslateMessage(msg);
    DispatchMessageA(msg);
}

int RunMessageLoop()
{
    MSG msg;
    while (!QuitSeen) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) return (int)msg.wParam;
        if (got == -1) break;
        HandleLoopMessage(&msg);
    }
    return QuitCode;
}

void PumpPendingMessages()
{
    MSG msg;
    while (!QuitSeen && PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) {
            // Posted again it would wake every wait at once; the main loop ends instead
            // when the operation has returned.
            QuitSeen = TRUE;
            QuitCode = (int)msg.wParam;
            return;
        }
        if (got == -1) return;
        if (TranslateAcceleratorA(msg.hwnd, LoopAccelerators, &msg)) continue;
        if (RouteToModelessDialogs(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

BOOL QuitRequested()
{
    return QuitSeen;
}
