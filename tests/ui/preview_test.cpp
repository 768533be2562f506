// Preview mode: page pictures drawn from the thumbnails, and the window state around it.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"
#include "ui/collection_support_win.h"

#include "app/mainwindow_win.h"
#include "app/statusbar_win.h"
#include "import/thumbnail.h"
#include "layout/page_geometry.h"
#include "layout/palette_win.h"
#include "layout/preview_win.h"
#include "listview/image_listview_win.h"
#include "support/test_images.h"

namespace {

void AddPicture(int width, int height, BYTE r, BYTE g, BYTE b)
{
    ASSERT_GE(AddTestImage("C:\\pictures\\p.png", width, height, r, g, b), 0);
}

void AddPictures(int n)
{
    BYTE colours[][3] = {{200, 40, 40}, {40, 160, 60}, {40, 80, 200}, {220, 180, 30}, {120, 40, 160}};
    for (int i = 0; i < n; i++) {
        bool wide = i % 2 == 0;
        BYTE* c = colours[i % 5];
        AddPicture(wide ? 400 : 300, wide ? 300 : 400, c[0], c[1], c[2]);
    }
}

std::string PageLabel(int k)
{
    char text[64];
    memset(text, 0xcc, sizeof text);
    LVITEMA item;
    ZeroMemory(&item, sizeof item);
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(PreviewListView, LVM_GETITEMTEXTA, k, (LPARAM)&item);
    return text;
}

// The pixels of page picture k, top-down, as 0x00RRGGBB.
struct PagePixels {
    int size = 0;
    std::vector<DWORD> bits;
    DWORD at(int x, int y) const { return bits[(size_t)y * size + x] & 0xFFFFFF; }
};

PagePixels ReadPage(int k)
{
    PagePixels page;
    HIMAGELIST list = (HIMAGELIST)SendMessageA(PreviewListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    page.size = cx;
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ImageList_Draw(list, PreviewSlotList.at(k), dc, 0, 0, ILD_NORMAL);
    SelectObject(dc, old);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    page.bits.resize((size_t)cx * cy);
    GetDIBits(dc, bitmap, 0, cy, page.bits.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return page;
}

void ChooseLayout(LayoutMode layout)
{
    SendMessageA(LayoutPalette, WM_COMMAND, MAKEWPARAM(layout, BN_CLICKED), 0);
    FlushMessages();
}

BOOL ButtonEnabled(int command)
{
    return (BOOL)SendMessageA(MainToolbar, TB_ISBUTTONENABLED, command, 0);
}

int ButtonImage(int command)
{
    TBBUTTONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    SendMessageA(MainToolbar, TB_GETBUTTONINFOA, command, (LPARAM)&info);
    return info.iImage;
}

UINT AddImagesMenuState()
{
    return GetMenuState(GetSubMenu(GetMenu(MainWindow), 0), IDM_MENU_ADD_IMAGES, MF_BYCOMMAND);
}

void SaveWindow(const char* name)
{
    SetWindowPos(MainWindow, NULL, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOMOVE);
    FlushMessages();
    SaveScreenshot(MainWindow, name);
}

const DWORD White = 0xFFFFFF, Black = 0x000000, Grey = 0x7F7F7F, Shadow = 0xC0C0C0;

}  // namespace

TEST(Preview, FivePicturesFourPerPageGiveTwoPages)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(5);
    PdfSettings.layout = LayoutFourPerPage;
    SendMessageA(MainWindow, WM_COMMAND, IDM_KEY_PREVIEW, 0);
    FlushMessages();
    ASSERT_EQ(1, PreviewActive);
    ASSERT_EQ(2, (int)SendMessageA(PreviewListView, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ("Page 001", PageLabel(0));
    EXPECT_EQ("Page 002", PageLabel(1));
    EXPECT_TRUE(IsWindowVisible(PreviewListView));
    EXPECT_FALSE(IsWindowVisible(ImageListView));

    // The second page holds one filled cell; its other three cells stay plain page white.
    PagePixels page = ReadPage(1);
    ASSERT_EQ(226, page.size);
    // The first picture of page 2 is wide: a landscape page 222 x 172 at (1, 28).
    PreviewGeometry g = ComputePreviewGeometry(612, 792);
    PreviewPage landscape = LandscapePreviewPage(g);
    PreviewCells cells = LayOutPreviewCells(LayoutFourPerPage, g.E, landscape);
    EXPECT_EQ(Black, page.at(cells.x[0], cells.y[0]));                    // cell frame
    DWORD centre = page.at(cells.x[0] + cells.cw / 2, cells.y[0] + cells.ch / 2);
    EXPECT_NEAR(120, (int)(centre >> 16 & 0xFF), 12);                     // the fifth picture
    EXPECT_NEAR(40, (int)(centre >> 8 & 0xFF), 12);
    EXPECT_EQ(White, page.at(cells.x[1] + cells.cw / 2, cells.y[1] + cells.ch / 2));
    EXPECT_EQ(White, page.at(cells.x[3] + 2, cells.y[3] + 2));
    EXPECT_EQ(Black, page.at(cells.ox, cells.oy + 20));                   // page frame
    EXPECT_EQ(Shadow, page.at(cells.ox + landscape.W + 1, cells.oy + 30)); // shadow
    EXPECT_EQ(White, page.at(0, 0));                                       // outside the page
    SaveWindow("preview-four-per-page");
}

TEST(Preview, LetterTwoUpWidePictureTurnsThePageToPortrait)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPicture(400, 100, 30, 90, 200);  // thumbnail rectangle 96 x 24
    ASSERT_EQ(24, ImageCollection[0].pictureRect.bottom - ImageCollection[0].pictureRect.top);
    PdfSettings.layout = LayoutTwoPerPage;
    ASSERT_EQ(1, RenderPreviewPages());
    PagePixels page = ReadPage(0);
    // Portrait page 172 x 222 at (28, 1); cells 156 x 96 at (36, 11) and (36, 117).
    EXPECT_EQ(Black, page.at(28, 1));
    EXPECT_EQ(Black, page.at(28 + 171, 1 + 221));
    EXPECT_EQ(White, page.at(27, 100));
    EXPECT_EQ(Black, page.at(36, 11));
    EXPECT_EQ(Black, page.at(36 + 155, 11 + 95));
    EXPECT_EQ(White, page.at(36, 117));  // the second cell has no picture: page white
    EXPECT_EQ(Grey, page.at(100, 12));   // above the picture: cell grey
    EXPECT_EQ(Grey, page.at(100, 38));
    // The picture 156 x 39, 28 pixels below the cell's top, stretched from the thumbnail.
    DWORD inside = page.at(120, 60);
    EXPECT_NEAR(30, (int)(inside >> 16 & 0xFF), 12);
    EXPECT_NEAR(90, (int)(inside >> 8 & 0xFF), 12);
    EXPECT_NEAR(200, (int)(inside & 0xFF), 12);
    EXPECT_EQ(Grey, page.at(100, 80));   // below the picture
    EXPECT_EQ(White, page.at(100, 160)); // the empty second cell stays page white
}

TEST(Preview, EnteringAndLeavingChangesTheButtonsMenuAndTooltips)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(3);
    SendMessageA(MainToolbar, TB_CHECKBUTTON, IDM_PREVIEW, MAKELPARAM(TRUE, 0));  // as a click does
    SendMessageA(MainWindow, WM_COMMAND, IDM_PREVIEW, 0);
    ASSERT_EQ(1, PreviewActive);
    int disabled[] = {112, 115, 116, 121, 122, 123, 124, 125};
    int enabled[] = {117, 118, 126};
    for (int c : disabled) EXPECT_FALSE(ButtonEnabled(c)) << c;
    for (int c : enabled) EXPECT_TRUE(ButtonEnabled(c)) << c;
    EXPECT_EQ(6, ButtonImage(IDM_PREVIEW));
    EXPECT_TRUE(AddImagesMenuState() & MF_GRAYED);
    EXPECT_TRUE(SendMessageA(MainToolbar, TB_ISBUTTONCHECKED, IDM_PREVIEW, 0));

    NMTTDISPINFOA tip;
    ZeroMemory(&tip, sizeof tip);
    tip.hdr.hwndFrom = MainToolbarTips;
    tip.hdr.idFrom = IDM_PREVIEW;
    tip.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(MainWindow, WM_NOTIFY, 0, (LPARAM)&tip);
    EXPECT_EQ((UINT_PTR)IDS_TIP_CLOSE_PREVIEW, (UINT_PTR)tip.lpszText);
    SaveWindow("preview-one-per-page");

    SendMessageA(MainWindow, WM_COMMAND, IDM_KEY_PREVIEW, 0);
    EXPECT_EQ(0, PreviewActive);
    for (int c : disabled) EXPECT_TRUE(ButtonEnabled(c)) << c;
    EXPECT_EQ(5, ButtonImage(IDM_PREVIEW));
    EXPECT_FALSE(AddImagesMenuState() & MF_GRAYED);
    EXPECT_FALSE(SendMessageA(MainToolbar, TB_ISBUTTONCHECKED, IDM_PREVIEW, 0));
    EXPECT_TRUE(IsWindowVisible(ImageListView));
    EXPECT_FALSE(IsWindowVisible(PreviewListView));
}

TEST(Preview, ClosingTheWindowInPreviewLeavesPreview)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    AddPictures(2);
    SendMessageA(window, WM_COMMAND, IDM_KEY_PREVIEW, 0);
    ASSERT_EQ(1, PreviewActive);
    SendMessageA(window, WM_CLOSE, 0, 0);
    FlushMessages();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(0, PreviewActive);
    EXPECT_TRUE(IsWindowVisible(ImageListView));
}

TEST(Preview, LayoutChangeRedrawsAtOnce)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(5);
    SendMessageA(MainWindow, WM_COMMAND, IDM_KEY_PREVIEW, 0);
    ASSERT_EQ(5, (int)SendMessageA(PreviewListView, LVM_GETITEMCOUNT, 0, 0));
    ChooseLayout(LayoutTwoPerPage);
    EXPECT_EQ(1, PreviewActive);
    EXPECT_EQ(3, (int)SendMessageA(PreviewListView, LVM_GETITEMCOUNT, 0, 0));
    SaveWindow("preview-two-per-page");
    ChooseLayout(LayoutFourPerPage);
    EXPECT_EQ(2, (int)SendMessageA(PreviewListView, LVM_GETITEMCOUNT, 0, 0));
}

TEST(Preview, TenthPageIsLabelledWithThreeDigits)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(10);
    ASSERT_EQ(1, RenderPreviewPages());
    EXPECT_EQ("Page 010", PageLabel(9));
    // A request for item -1 is not answered from the pages.
    NMLVDISPINFOA request;
    memset(&request, 0, sizeof request);
    char text[16] = "unchanged";
    request.item.iItem = -1;
    request.item.mask = LVIF_TEXT | LVIF_IMAGE;
    request.item.pszText = text;
    request.item.cchTextMax = sizeof text;
    request.item.iImage = -7;
    AnswerPageDisplayInfo(&request);
    EXPECT_STREQ("unchanged", text);
    EXPECT_EQ(-7, request.item.iImage);
}
