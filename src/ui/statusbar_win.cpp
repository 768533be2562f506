// The status bar's counts and the layout of the child windows.
#include "ui/statusbar_win.h"

#include <algorithm>
#include <cstdio>

#include "platform/owners_win.h"
#include "ui/dpi_win.h"

static int ClientHeight(HWND window)
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    return r.bottom - r.top;
}

// The width of the parts that show the counts: 100 pixels at 100 %, and never less than
// four-digit counts take in the bar's font, whatever its size.
static int CountPartWidth()
{
    WindowDC dc(StatusBar);
    Selection font(dc.Get(), (HFONT)SendMessageA(StatusBar, WM_GETFONT, 0, 0));
    int widest = 0;
    for (const char* text : {"Images: 0000", "Pages: 0000"}) {
        SIZE size = {0, 0};
        if (dc.Get() && GetTextExtentPoint32A(dc.Get(), text, lstrlenA(text), &size))
            widest = std::max<int>(widest, size.cx);
    }
    return std::max(Scaled(100), widest + Scaled(12));  // and the part's edges and margins
}

// Parts 1 and 2 hold the counts and end before the size grip; part 3 is the grip.
static void SetStatusParts(HWND mainWindow)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(mainWindow, &client);
    int w = client.right - ClientHeight(StatusBar), part = CountPartWidth();
    int edges[4] = {w - 2 * part, w - part, w, -1};
    SendMessageA(StatusBar, SB_SETPARTS, 4, (LPARAM)edges);
}

HWND CreateStatusBar(HWND parent)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&init)) return NULL;
    StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, NULL, WS_CHILD | SBARS_SIZEGRIP, 0, 0, 0,
                                0, parent, (HMENU)(INT_PTR)IDC_STATUS_BAR, AppInstance, NULL);
    if (!StatusBar) return NULL;
    SetStatusParts(parent);
    UpdateStatusCounts();
    ShowWindow(StatusBar, SW_SHOW);
    return StatusBar;
}

void UpdateStatusCounts()
{
    char text[80], number[80];
    int n = (int)ImageCollection.size();
    if (n == 0) {
        SendMessageA(StatusBar, SB_SETTEXTA, 0, (LPARAM)"");
        SendMessageA(StatusBar, SB_SETTEXTA, 1, (LPARAM)"Images: 000");
        SendMessageA(StatusBar, SB_SETTEXTA, 2, (LPARAM)"Pages: 000");
        return;
    }
    snprintf(text, sizeof text, "Images: %s", FormatCount(n, number, sizeof number));
    SendMessageA(StatusBar, SB_SETTEXTA, 1, (LPARAM)text);
    int pages = PageCount(n, PdfSettings.layout);
    snprintf(text, sizeof text, "Pages: %s", FormatCount(pages, number, sizeof number));
    SendMessageA(StatusBar, SB_SETTEXTA, 2, (LPARAM)text);
}

int ToolbarBottom(HWND mainWindow)
{
    RECT bar = {0, 0, 0, 0};
    GetWindowRect(MainToolbar, &bar);
    MapWindowPoints(NULL, mainWindow, (POINT*)&bar, 2);
    return bar.bottom;
}

void LayoutChildWindows(HWND mainWindow)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(mainWindow, &client);
    int top = ToolbarBottom(mainWindow);
    int bottom = client.bottom - ClientHeight(StatusBar);
    SetStatusParts(mainWindow);
    UpdateStatusCounts();
    SendMessageA(MainToolbar, TB_AUTOSIZE, 0, 0);
    MoveWindow(ImageListView, 0, top, client.right - client.left, bottom - top, TRUE);
    MoveWindow(PreviewListView, 0, top, client.right - client.left, bottom - top, TRUE);
}
