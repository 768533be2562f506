#include "ui/collection_support_win.h"

#include <cstdio>
#include <cstring>

#include "app/statusbar_win.h"
#include "import/thumbnail.h"
#include "listview/image_listview_win.h"
#include "support/png_writer.h"
#include "support/test_images.h"
#include "ui/ui_support_win.h"

namespace {

HIMAGELIST Thumbnails()
{
    return (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
}

// The thumbnail slots as an import fills them.
class ImageListStore : public ThumbnailStore {
public:
    explicit ImageListStore(HBITMAP bitmap) : bitmap_(bitmap) {}
    bool ReplaceAt(int slot) override
    {
        return ImageList_Replace(Thumbnails(), slot, bitmap_, NULL) != FALSE;
    }
    int Append() override { return ImageList_AddMasked(Thumbnails(), bitmap_, RGB(255, 0, 0)); }

private:
    HBITMAP bitmap_;
};

// A 32-bit bitmap carries the thumbnail's alpha, which Wine's image list then uses in
// place of the colour mask; a 24-bit one is masked by colour.
HBITMAP BitmapOf(const ThumbnailPixels& pixels, int bitCount)
{
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ThumbnailSize;
    info.bmiHeader.biHeight = ThumbnailSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = (WORD)bitCount;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!bitmap) return NULL;
    uint8_t* out = (uint8_t*)bits;
    const int stride = ((ThumbnailSize * bitCount / 8) + 3) & ~3;
    for (int y = 0; y < ThumbnailSize; y++)
        for (int x = 0; x < ThumbnailSize; x++)
            memcpy(out + y * stride + x * bitCount / 8,
                   pixels.bgra + (y * ThumbnailSize + x) * 4, bitCount / 8);
    return bitmap;
}

int AddThumbnail(const char* path, int width, int height, uint8_t r, uint8_t g, uint8_t b,
                 bool maskedSquare)
{
    std::vector<uint8_t> bytes = MakeTestImageBytes(width, height, "png", r, g, b);
    static ThumbnailPixels pixels;  // large: not on the stack
    if (bytes.empty() || !MakeThumbnailPixels(bytes.data(), bytes.size(), "t.png", &pixels))
        return -1;
    if (maskedSquare)  // rows from the bottom: the square's top-left is (20, 30)
        for (int y = 46; y < 66; y++)
            for (int x = 20; x < 40; x++) {
                uint8_t* p = pixels.bgra + (y * ThumbnailSize + x) * 4;
                p[0] = 0, p[1] = 0, p[2] = 255;
            }
    HBITMAP bitmap = BitmapOf(pixels, maskedSquare ? 24 : 32);
    if (!bitmap) return -1;
    ImageListStore store(bitmap);
    int slot = TakeThumbnailSlot(FreeSlotQueue, store);
    DeleteObject(bitmap);
    if (slot < 0) return -1;
    ImageCollection.push_back(MakeImageEntry(slot, path, pixels.pictureRect));
    RefreshItemCount();
    UpdateStatusCounts();
    return slot;
}

}  // namespace

int AddTestImage(const char* path, int width, int height, uint8_t r, uint8_t g, uint8_t b)
{
    return AddThumbnail(path, width, height, r, g, b, false);
}

int AddTestImageWithMaskedSquare(const char* path)
{
    return AddThumbnail(path, 80, 60, 40, 120, 200, true);
}

void AddTestImages(int count)
{
    for (int i = 0; i < count; i++) {
        char path[64];
        snprintf(path, sizeof path, "C:\\pictures\\image%d.png", i);
        AddTestImage(path, 80, 60, (uint8_t)(40 + 37 * i % 200), (uint8_t)(200 - 23 * i % 180),
                     (uint8_t)(90 + 51 * i % 160));
    }
}

bool StartWithImages(int count, int width, int height)
{
    if (!StartTolvane()) return false;
    SizeMainWindow(width, height);
    AddTestImages(count);
    FlushMessages();
    return (int)ImageCollection.size() == count;
}

std::string CollectionOrder()
{
    std::string order;
    for (const ImageEntry& e : ImageCollection) {
        const char* name = strstr(e.path, "image");
        if (!order.empty()) order += ",";
        order += name ? std::to_string(atoi(name + 5)) : std::string("?");
    }
    return order;
}

void SelectItems(std::initializer_list<int> items)
{
    LVITEMA state;
    ZeroMemory(&state, sizeof state);
    state.stateMask = LVIS_SELECTED;
    SendMessageA(ImageListView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
    state.state = LVIS_SELECTED;
    for (int item : items) SendMessageA(ImageListView, LVM_SETITEMSTATE, item, (LPARAM)&state);
}

std::vector<int> SelectedItems()
{
    std::vector<int> items;
    int i = -1;
    while ((i = (int)SendMessageA(ImageListView, LVM_GETNEXTITEM, i,
                                  MAKELPARAM(LVNI_SELECTED, 0))) >= 0 &&
           items.size() < 10000)
        items.push_back(i);
    return items;
}

POINT ItemViewPoint(int item, double fx, double fy)
{
    RECT r = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(ImageListView, LVM_GETITEMRECT, item, (LPARAM)&r);
    POINT p = {r.left + (int)((r.right - r.left) * fx), r.top + (int)((r.bottom - r.top) * fy)};
    return p;
}

LPARAM ViewPoint(int x, int y)
{
    POINT p = {x, y};
    MapWindowPoints(ImageListView, MainWindow, &p, 1);
    return MAKELPARAM(p.x, p.y);
}

LPARAM ItemPoint(int item, double fx, double fy)
{
    POINT p = ItemViewPoint(item, fx, fy);
    return ViewPoint(p.x, p.y);
}

std::vector<uint8_t> ThumbnailAsShown(int slot)
{
    std::vector<uint8_t> pixels(ThumbnailSize * ThumbnailSize * 4, 0);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ThumbnailSize;
    info.bmiHeader.biHeight = -ThumbnailSize;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, dib);
    PatBlt(dc, 0, 0, ThumbnailSize, ThumbnailSize, WHITENESS);
    ImageList_Draw(Thumbnails(), slot, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    memcpy(pixels.data(), bits, pixels.size());
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return pixels;
}

int ViewScrollY()
{
    POINT origin = {0, 0};
    SendMessageA(ImageListView, LVM_GETORIGIN, 0, (LPARAM)&origin);
    return origin.y < 0 ? -origin.y : origin.y;  // Wine's origin is negative once scrolled
}

void SizeMainWindow(int width, int height)
{
    SetWindowPos(MainWindow, NULL, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    FlushMessages(100);
}

bool SaveScreenshotAsIs(HWND window, const char* name)
{
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC windowDC = GetWindowDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memoryDC, dib);
    BitBlt(memoryDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
    GdiFlush();
    CreateDirectoryA(TOLVANE_SCREENSHOT_DIR, NULL);
    std::string unixPath = std::string(TOLVANE_SCREENSHOT_DIR) + "/" + name + ".png";
    bool ok = SavePngBgra(unixPath.c_str(), (const uint8_t*)bits, width, height);
    SelectObject(memoryDC, old);
    DeleteObject(dib);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    return ok;
}

std::string StatusPartText(int part)
{
    char text[256] = "";
    SendMessageA(StatusBar, SB_GETTEXTA, part, (LPARAM)text);
    return text;
}

static void SendMouse(HWND window, POINT clientPoint, DWORD buttonFlags)
{
    POINT screen = clientPoint;
    ClientToScreen(window, &screen);
    INPUT in;
    ZeroMemory(&in, sizeof in);
    in.type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    in.mi.dx = (screen.x * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (screen.y * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN);
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttonFlags;
    SendInput(1, &in, sizeof in);
    FlushMessages(100);
}

void MouseMoveTo(HWND window, POINT clientPoint)
{
    SendMouse(window, clientPoint, 0);
}

void MouseLeftDown(HWND window, POINT clientPoint)
{
    SendMouse(window, clientPoint, MOUSEEVENTF_LEFTDOWN);
}

void MouseLeftUp(HWND window, POINT clientPoint)
{
    SendMouse(window, clientPoint, MOUSEEVENTF_LEFTUP);
}

std::vector<uint8_t> ViewPixels(RECT area)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HDC viewDC = GetDC(ImageListView);
    HBITMAP dib = CreateDIBSection(viewDC, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC memoryDC = CreateCompatibleDC(viewDC);
    HGDIOBJ old = SelectObject(memoryDC, dib);
    BitBlt(memoryDC, 0, 0, width, height, viewDC, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> pixels((const uint8_t*)bits, (const uint8_t*)bits + width * height * 4);
    SelectObject(memoryDC, old);
    DeleteDC(memoryDC);
    DeleteObject(dib);
    ReleaseDC(ImageListView, viewDC);
    return pixels;
}

int MarkPixelsIn(RECT area)
{
    std::vector<uint8_t> pixels = ViewPixels(area);
    int count = 0;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        const uint8_t* p = &pixels[i];
        bool edge = p[2] == 64 && p[1] == 64 && p[0] == 255;
        bool inside = p[2] == 192 && p[1] == 192 && p[0] == 255;
        if (edge || inside) count++;
    }
    return count;
}
