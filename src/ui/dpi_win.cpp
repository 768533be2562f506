#include "ui/dpi_win.h"

#include <utility>

#include "platform/owners_win.h"

int WindowDpi = BaseDpi;

namespace {

typedef UINT(WINAPI* DpiForWindowProc)(HWND);
typedef BOOL(WINAPI* ParametersForDpiProc)(UINT, UINT, PVOID, UINT, UINT);

// Functions of Windows 10 (1607 and later), looked up so that the program still starts
// on Windows 7.
FARPROC User32Function(const char* name)
{
    return GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

int SystemDpi()
{
    WindowDC screen(NULL);
    return screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : BaseDpi;
}

// The system's font of icon captions, or of status bars, at dpi.
HFONT CreateSystemFont(int dpi, bool status)
{
    static const ParametersForDpiProc forDpi =
        (ParametersForDpiProc)User32Function("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics;
    LOGFONTW font;
    ZeroMemory(&metrics, sizeof metrics);
    ZeroMemory(&font, sizeof font);
    metrics.cbSize = sizeof metrics;
    const UINT action = status ? SPI_GETNONCLIENTMETRICS : SPI_GETICONTITLELOGFONT;
    void* into = status ? (void*)&metrics : (void*)&font;
    const UINT size = status ? sizeof metrics : sizeof font;
    const bool atDpi = forDpi && forDpi(action, size, into, 0, dpi);
    if (!atDpi && !SystemParametersInfoW(action, size, into, 0)) return NULL;
    if (status) font = metrics.lfStatusFont;
    if (!atDpi) font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
    return CreateFontIndirectW(&font);
}

ScopedFont CaptionFont, StatusFont;

}  // namespace

int DpiOfWindow(HWND window)
{
    static const DpiForWindowProc dpiForWindow = (DpiForWindowProc)User32Function("GetDpiForWindow");
    const int dpi = dpiForWindow ? (int)dpiForWindow(window) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

void FitFontsToDpi()
{
    if (!CaptionFont.Valid() && WindowDpi == SystemDpi()) return;
    ScopedFont caption(CreateSystemFont(WindowDpi, false)), status(CreateSystemFont(WindowDpi, true));
    if (!caption.Valid() || !status.Valid()) return;
    for (HWND list : {ImageListView, PreviewListView})
        SendMessageA(list, WM_SETFONT, (WPARAM)caption.Get(), TRUE);
    SendMessageA(StatusBar, WM_SETFONT, (WPARAM)status.Get(), TRUE);
    CaptionFont = std::move(caption);  // the former fonts go once no control holds them
    StatusFont = std::move(status);
}
