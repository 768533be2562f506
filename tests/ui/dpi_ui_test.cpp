// The window at the display's DPI (ctest runs these at 96, 144 and 192 DPI, each in a Wine
// prefix of its own) and after a move to a monitor of another DPI: what the user sees at
// 100 % keeps its size times the scale, and its relations.
#include "ui/ui_support_win.h"

#include "pdf/options_win.h"
#include "ui/dpi_win.h"
#include "ui/thumbnail_win.h"

namespace {

HIMAGELIST Pictures(HWND control, UINT message = LVM_GETIMAGELIST)
{
    return (HIMAGELIST)SendMessageA(control, message, LVSIL_NORMAL, 0);
}

RECT Rect(HWND control, UINT message, int item, int part = 0)
{
    RECT r = {part, 0, 0, 0};
    SendMessageA(control, message, item, (LPARAM)&r);
    return r;
}

// Thumbnails, toolbar pictures and buttons, the palette, the list's items and the status
// bar's counts at dpi.
void ExpectDrawnFor(int dpi)
{
    SCOPED_TRACE(dpi);
    const int side = MulDiv(96, dpi, 96), art = MulDiv(24, dpi, 96);
    EXPECT_EQ(side, ImageListSide(Pictures(ImageListView)));
    for (HWND toolbar : {MainToolbar, PaletteToolbar}) {
        EXPECT_EQ(art, ImageListSide(Pictures(toolbar, TB_GETIMAGELIST)));
        const RECT button = Rect(toolbar, TB_GETITEMRECT, 0);
        EXPECT_TRUE(button.right - button.left > art && button.bottom - button.top > art);
    }
    RECT palette, lowest = Rect(PaletteToolbar, TB_GETITEMRECT, 2);
    GetClientRect(LayoutPalette, &palette);
    EXPECT_TRUE(lowest.top >= 2 * art && lowest.bottom <= palette.bottom) << "one column";
    const RECT icon = Rect(ImageListView, LVM_GETITEMRECT, 0, LVIR_ICON),
               caption = Rect(ImageListView, LVM_GETITEMRECT, 0, LVIR_LABEL),
               next = Rect(ImageListView, LVM_GETITEMRECT, 1, LVIR_ICON);
    EXPECT_TRUE(icon.right - icon.left >= side && caption.top >= icon.top + side &&
                next.left >= icon.left + side);
    WindowDC bar(StatusBar);
    Selection font(bar.Get(), (HFONT)SendMessageA(StatusBar, WM_GETFONT, 0, 0));
    SIZE count = {0, 0};
    GetTextExtentPoint32A(bar.Get(), "Images: 003", 11, &count);
    const RECT part = Rect(StatusBar, SB_GETRECT, 1);
    EXPECT_GT(part.right - part.left, count.cx) << "the count shown whole";
}

}  // namespace

TEST(Dpi, ThumbnailsToolbarListAndDialogsAreDrawnAtTheDisplaysDpi)
{
    ASSERT_TRUE(StartWithImages(3));
    const int dpi = DpiOfWindow(MainWindow), side = MulDiv(96, dpi, 96);
    const char* display = getenv("TOLVANE_TEST_DPI");  // run-under-wine.sh's display
    ASSERT_EQ(display ? atoi(display) : 96, dpi) << "the program sees the display's DPI";
    const std::string shot = "dpi" + std::to_string(dpi) + "-";
    SetWindowPos(MainWindow, NULL, 0, 0, MulDiv(480, dpi, 96), MulDiv(360, dpi, 96), SWP_NOZORDER);
    // One-pixel stripes as wide as a thumbnail: every stripe shows when the thumbnail is
    // made at its size; one stretched from a smaller thumbnail shows none.
    std::string stripes = "P5 " + std::to_string(side) + " " + std::to_string(side) + " 255\n";
    for (int i = 0; i < side * side; i++) stripes += (char)(i % 2 ? 255 : 0);
    const std::string path = MakeTestFolder("dpi") + "\\stripes.pgm";
    ProgressRecorder progress;
    progress.onStatus = [&](const std::string&) {
        SaveScreenshot(AddImagesProgressDialog, (shot + "progress").c_str());
    };
    ASSERT_TRUE(WriteTestFile(path, stripes.data(), stripes.size()));
    AddImageFile(path.c_str());
    ASSERT_EQ(4, ItemCount());
    const std::vector<uint8_t> shown = ThumbnailAsShown(ImageCollection[3].slot);
    const uint8_t* row = &shown[side * side / 2 * 4];  // blue bytes of a middle row
    int edges = 0;
    for (int x = 1; x < side; x++) edges += abs(row[x * 4] - row[x * 4 - 4]) > 200;
    EXPECT_EQ(side - 1, edges);
    ExpectDrawnFor(dpi);

    // For people to look at: the window, the palette, the preview and the Options dialog.
    SaveScreenshot(MainWindow, (shot + "main").c_str());
    NMTOOLBARA dropDown = {{MainToolbar, IDC_MAIN_TOOLBAR, (UINT)TBN_DROPDOWN}, PdfSettings.layout};
    SendMessageA(MainWindow, WM_NOTIFY, IDC_MAIN_TOOLBAR, (LPARAM)&dropDown);
    SaveScreenshot(LayoutPalette, (shot + "palette").c_str());
    SendMessageA(MainWindow, WM_COMMAND, IDM_PREVIEW, 0);
    SaveScreenshot(MainWindow, (shot + "preview").c_str());
    WhenDialogAppears([&](HWND options) {
        SaveScreenshot(options, (shot + "options").c_str());
        PostMessageA(options, WM_COMMAND, IDCANCEL, 0);
    });
    ShowPdfOptions();
}

TEST(Dpi, AMoveToAMonitorOfAnotherDpiRedrawsEverythingForItInThePlaceSuggested)
{
    ASSERT_TRUE(StartWithImages(3));
    const int start = DpiOfWindow(MainWindow);
    SendMessageA(MainWindow, WM_COMMAND, IDM_PREVIEW, 0);
    const double pageAt100 = ImageListSide(Pictures(PreviewListView)) * 96.0 / start;
    for (int dpi : {192, 120, start}) {
        RECT suggested = {10, 20, 10 + MulDiv(480, dpi, 96), 20 + MulDiv(360, dpi, 96)}, now;
        SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), (LPARAM)&suggested);
        GetWindowRect(MainWindow, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << dpi;
        EXPECT_NEAR(pageAt100 * dpi / 96, ImageListSide(Pictures(PreviewListView)), 2) << dpi;
        ExpectDrawnFor(dpi);
    }
}
