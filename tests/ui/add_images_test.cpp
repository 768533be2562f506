// Add Images through the real open dialog: the chosen folder and names, the progress
// texts, bad files, Cancel, and the reuse of freed thumbnail slots.
#include "ui/gtest_win.h"

#include <deque>

#include "ui/import_support_win.h"
#include "ui/ui_support_win.h"

#include "import/add_images_win.h"
#include "import/import_batch_win.h"
#include "app/progress_win.h"
#include "listview/image_listview_win.h"
#include "support/test_images.h"

namespace {

std::string StatusText(int part)
{
    char text[128] = "";
    SendMessageA(StatusBar, SB_GETTEXTA, part, (LPARAM)text);
    return text;
}

int ViewItemCount()
{
    return (int)SendMessageA(ImageListView, LVM_GETITEMCOUNT, 0, 0);
}

// The state every finished import leaves.
void ExpectImportClosed()
{
    EXPECT_EQ(0, ImportActive);
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_FALSE(IsWindow(AddImagesProgressDialog));
    EXPECT_EQ((int)ImageCollection.size(), ViewItemCount());
}

// Five pictures a.png .. e.png in a fresh folder, chosen together; ImportDirectory is
// set to the folder so that the dialog opens there.
std::string ChooseFivePictures()
{
    std::string folder = MakeTestFolder("five");
    const char* names[] = {"a.png", "b.png", "c.png", "d.png", "e.png"};
    for (int i = 0; i < 5; i++) WritePicture(folder, names[i], 50 + 20 * i, 50, "png");
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    TypeIntoOpenDialog("\"a.png\" \"b.png\" \"c.png\" \"d.png\" \"e.png\"");
    return folder;
}

}  // namespace

TEST(AddImages, OneFileSetsTheFolderAndTheEntry)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = MakeTestFolder("one");
    std::string path = WritePicture(folder, "a.jpg", 200, 100, "jpg");
    std::string filter;
    TypeIntoOpenDialog(path, &filter);
    SetForegroundWindow(window);
    PressKey('N', true);  // Ctrl+N, as the user starts it
    FlushMessages();

    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ("Supported Images", filter);
    EXPECT_EQ(folder, ImportDirectory);  // no trailing backslash
    ASSERT_EQ(1u, ImageCollection.size());
    const ImageEntry& entry = ImageCollection[0];
    EXPECT_EQ(folder + "\\a.jpg", entry.path);
    EXPECT_STREQ("[no caption]", entry.caption);
    EXPECT_EQ(0, entry.slot);
    EXPECT_EQ(0, entry.rotation);
    EXPECT_EQ(0, entry.flips);
    EXPECT_EQ(0, entry.pictureRect.left);
    EXPECT_EQ(24, entry.pictureRect.top);
    EXPECT_EQ(96, entry.pictureRect.right);
    EXPECT_EQ(72, entry.pictureRect.bottom);
    EXPECT_EQ("Images: 001", StatusText(1));
    EXPECT_EQ("Pages: 001", StatusText(2));
    ExpectImportClosed();
    SaveScreenshot(window, "add_images_one_file");
}

TEST(AddImages, CancelledDialogChangesNothing)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    CopyText(ImportDirectory, sizeof ImportDirectory, "C:\\windows");
    WhenDialogAppears([](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    AddImagesFromFiles();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_STREQ("C:\\windows", ImportDirectory);
    EXPECT_TRUE(ImageCollection.empty());
    ExpectImportClosed();
}

TEST(AddImages, FilterListIsTheSupportedImagesThenAllFiles)
{
    const WCHAR* p = SupportedImagesFilter;
    std::vector<std::string> parts;
    while (*p) {
        char part[400];
        WideCharToMultiByte(CP_UTF8, 0, p, -1, part, sizeof part, NULL, NULL);
        parts.push_back(part);
        p += lstrlenW(p) + 1;
    }
    ASSERT_EQ(4u, parts.size());
    EXPECT_EQ("Supported Images", parts[0]);
    EXPECT_EQ("*.BMP;*.CUT;*.DDS;*.GIF;*.HDR;*.ICO;*.IFF;*.LBM;*.JNG;*.JPG;*.JIF;*.JPEG;*.JPE;"
              "*.KOA;*.MNG;*.PBM;*.PBM;*.PCD;*.PCX;*.PGM;*.PGM;*.PNG;*.PPM;*.PPM;*.PSD;*.RAS;"
              "*.TGA;*.TARGA;*.TIF;*.TIFF;*.WBMP;*.XBM;*.XPM",
              parts[1]);
    EXPECT_EQ("All Files (*.*)", parts[2]);
    EXPECT_EQ("*.*", parts[3]);
}

TEST(AddImages, TextFileNamedJpgIsReportedAndTheOthersAdded)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = MakeTestFolder("three");
    WritePicture(folder, "a.png", 80, 60, "png");
    std::string bad = WriteTextFile(folder, "b.jpg", "this is not a picture\r\n");
    WritePicture(folder, "c.jpg", 60, 80, "jpg");
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    TypeIntoOpenDialog("\"a.png\" \"b.jpg\" \"c.jpg\"");
    ProgressRecorder progress;
    AddImagesFromFiles();

    EXPECT_FALSE(DialogTimedOut());
    ASSERT_EQ(2u, ImageCollection.size());
    EXPECT_EQ(folder + "\\a.png", ImageCollection[0].path);
    EXPECT_EQ(folder + "\\c.jpg", ImageCollection[1].path);
    EXPECT_EQ((std::vector<std::string>{"Processing File 001 of 003",
                                        "Processing File 002 of 003",
                                        "Processing File 003 of 003"}),
              progress.statuses);
    EXPECT_EQ((std::vector<std::string>{"Making Thumbnail for: " + folder + "\\a.png",
                                        "Making Thumbnail for: " + bad,
                                        "Unknown File Format: " + bad,
                                        "Making Thumbnail for: " + folder + "\\c.jpg"}),
              progress.messages);
    EXPECT_EQ(MAKELPARAM(0, 3), progress.range);
    EXPECT_EQ(3, progress.steps);
    ExpectImportClosed();
}

TEST(AddImages, CancelDuringTheThirdOfFiveKeepsThree)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = ChooseFivePictures();
    ProgressRecorder progress;
    progress.onStatus = [](const std::string& status) {
        if (status == "Processing File 003 of 005") PressProgressCancel();
    };
    AddImagesFromFiles();

    EXPECT_FALSE(DialogTimedOut());
    ASSERT_EQ(3u, ImageCollection.size());
    EXPECT_EQ(folder + "\\c.png", ImageCollection[2].path);
    EXPECT_EQ(3u, progress.statuses.size());
    ExpectImportClosed();
    EXPECT_EQ("Images: 003", StatusText(1));
}

TEST(AddImages, ProgressDialogMidImport)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    ChooseFivePictures();
    ProgressRecorder progress;
    bool shown = false, disabled = true;
    progress.onMessage = [&](const std::string& message) {
        if (progress.statuses.size() == 2 && !shown) {
            shown = IsWindowVisible(AddImagesProgressDialog) != 0;
            disabled = !IsWindowEnabled(MainWindow);
            SaveScreenshot(AddImagesProgressDialog, "add_images_progress");
        }
    };
    AddImagesFromFiles();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(disabled) << "the main window is disabled while the import runs";
    EXPECT_EQ(5u, ImageCollection.size());
    ExpectImportClosed();
    FlushMessages();
    SaveScreenshot(window, "add_images_five");
}

TEST(AddImages, FreedSlotsAreFilledFirstAndEntriesAppended)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    // The picture in slot 3 is pure red, the list's transparent colour: it still shows
    // (a step darker), and the new picture put into that slot shows in full.
    std::string folder = MakeTestFolder("reuse");
    std::string red = WritePicture(folder, "red.png", 96, 96, "png", 255, 0, 0);
    AddTestPictures(3);  // slots 0..2
    AddImageFile(red.c_str());
    ASSERT_EQ(3, ImageCollection[3].slot);
    EXPECT_EQ(RGB(254, 0, 0), SlotPixel(3, 60, 60)) << "pure red must not become a hole";
    int positions[] = {1, 3};
    ASSERT_TRUE(RemoveEntriesAt(ImageCollection, FreeSlotQueue, positions, 2));
    RefreshItemCount();
    ASSERT_EQ((std::deque<int>{3, 1}), FreeSlotQueue);

    WritePicture(folder, "blue.png", 96, 96, "png", 0, 0, 255);
    WritePicture(folder, "green.png", 96, 96, "png", 0, 255, 0);
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    TypeIntoOpenDialog("\"blue.png\" \"green.png\"");
    AddImagesFromFiles();

    ASSERT_EQ(4u, ImageCollection.size());
    EXPECT_EQ(0, ImageCollection[0].slot);
    EXPECT_EQ(2, ImageCollection[1].slot);
    EXPECT_EQ(3, ImageCollection[2].slot);
    EXPECT_EQ(1, ImageCollection[3].slot);
    EXPECT_EQ(folder + "\\blue.png", ImageCollection[2].path);
    EXPECT_EQ(folder + "\\green.png", ImageCollection[3].path);
    EXPECT_TRUE(FreeSlotQueue.empty());
    HIMAGELIST list = (HIMAGELIST)SendMessageA(ImageListView, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    EXPECT_EQ(4, ImageList_GetImageCount(list));
    EXPECT_EQ(RGB(0, 0, 255), SlotPixel(3, 60, 60));
    EXPECT_EQ(RGB(0, 255, 0), SlotPixel(1, 60, 60));
    ExpectImportClosed();
}

namespace {
struct ChildInfo {
    HWND window;
    std::string cls, text;
    RECT rect;  // in the dialog's client coordinates
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto* children = (std::vector<ChildInfo>*)param;
    ChildInfo info;
    info.window = child;
    char cls[64] = "";
    GetClassNameA(child, cls, sizeof cls);
    info.cls = cls;
    info.text = WindowText(child);
    GetWindowRect(child, &info.rect);
    MapWindowPoints(NULL, GetParent(child), (POINT*)&info.rect, 2);
    children->push_back(info);
    return TRUE;
}
}  // namespace

TEST(AddImages, ProgressDialogLayout)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL),
                                     MAKEINTRESOURCEA(IDD_ADD_IMAGES_PROGRESS), window,
                                     AddImagesProgressProc, 0);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_FALSE(IsWindowVisible(dialog)) << "made hidden, shown by the import";
    EXPECT_EQ("Add Images", WindowText(dialog));
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    RECT client;
    GetClientRect(dialog, &client);
    RECT size = {0, 0, 283, 65};
    MapDialogRect(dialog, &size);
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);

    struct Expected {
        int id;
        const char* cls;
        const char* text;
        int x, y, w, h;
        bool bordered;
        LONG style;  // style bits that must be there
    } expected[] = {
        {IDC_ADD_CANCEL, "Button", "Cancel", 224, 8, 50, 14, false, 0},
        {-1, "Static", "Status:", 4, 8, -1, -1, false, 0},
        {IDC_ADD_STATUS, "Static", "", 40, 8, 175, 12, true, 0},
        {-1, "Static", "Message:", 4, 28, -1, -1, false, 0},
        {IDC_ADD_MESSAGE, "Static", "", 40, 28, 235, 12, true, SS_LEFTNOWORDWRAP | SS_NOPREFIX},
        {-1, "Static", "Progress:", 4, 48, -1, -1, false, 0},
        {IDC_ADD_PROGRESS_BAR, "msctls_progress32", "", 40, 48, 235, 12, false, 0},
    };
    std::vector<ChildInfo> children;
    EnumChildWindows(dialog, CollectChild, (LPARAM)&children);
    ASSERT_EQ(7u, children.size());
    for (size_t i = 0; i < children.size(); i++) {
        const Expected& e = expected[i];
        const ChildInfo& c = children[i];
        EXPECT_EQ(e.id, (int)(short)GetDlgCtrlID(c.window)) << e.text;
        EXPECT_STRCASEEQ(e.cls, c.cls.c_str()) << e.text;
        EXPECT_EQ(e.text, c.text);
        RECT units = {e.x, e.y, e.x + (e.w < 0 ? 0 : e.w), e.y + (e.h < 0 ? 0 : e.h)};
        MapDialogRect(dialog, &units);
        EXPECT_EQ(units.left, c.rect.left) << e.text << " " << e.id;
        EXPECT_EQ(units.top, c.rect.top) << e.text << " " << e.id;
        if (e.w >= 0) {
            EXPECT_EQ(units.right, c.rect.right) << e.text << " " << e.id;
            EXPECT_EQ(units.bottom, c.rect.bottom) << e.text << " " << e.id;
        }
        LONG style = GetWindowLongA(c.window, GWL_STYLE);
        EXPECT_EQ(e.style, style & e.style) << e.text << " " << e.id;
        // The dialog manager may turn a control's border into a sunken client edge.
        if (e.bordered)
            EXPECT_TRUE((style & WS_BORDER) ||
                        (GetWindowLongA(c.window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
                << e.id;
    }
    // The status and message lines take the longest texts the import writes.
    SetDlgItemTextA(dialog, IDC_ADD_STATUS, "Processing File 1234 of 1234");
    EXPECT_EQ("Processing File 1234 of 1234", ItemText(dialog, IDC_ADD_STATUS));
    DestroyWindow(dialog);
}

TEST(AddImages, BatchRangeBeyondSixteenBits)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    struct Case {
        int count, high;
    } cases[] = {{1, 1}, {12, 12}, {65535, 65535}, {70000, 70000}, {1000000, 1000000}};
    for (const Case& c : cases) {
        ASSERT_EQ(c.count, OpenImportBatch(c.count));
        EXPECT_EQ(1, ImportActive);
        EXPECT_FALSE(IsWindowEnabled(MainWindow));
        EXPECT_TRUE(IsWindowVisible(AddImagesProgressDialog));
        HWND bar = GetDlgItem(AddImagesProgressDialog, IDC_ADD_PROGRESS_BAR);
        PBRANGE range;
        memset(&range, 0xcc, sizeof range);
        SendMessageA(bar, PBM_GETRANGE, 0, (LPARAM)&range);
        EXPECT_EQ(0, range.iLow) << c.count;
        EXPECT_EQ(c.high, range.iHigh) << c.count << ": never wraps round";
        ShowImportProgress(1234, c.count, "C:\\x.png");
        EXPECT_FALSE(GetUpdateRect(GetDlgItem(AddImagesProgressDialog, IDC_ADD_MESSAGE), NULL, FALSE))
            << "the lines are painted before the file is read";
        EXPECT_EQ("Making Thumbnail for: C:\\x.png", ItemText(AddImagesProgressDialog, IDC_ADD_MESSAGE));
        EXPECT_EQ(1, (int)SendMessageA(bar, PBM_GETPOS, 0, 0));
        char expected[64];
        snprintf(expected, sizeof expected, "Processing File 1234 of %03d", c.count);
        EXPECT_EQ(expected, ItemText(AddImagesProgressDialog, IDC_ADD_STATUS))
            << "counts are padded, never cut";
        CloseImportBatch(c.count);
        EXPECT_EQ(0, ImportActive);
        EXPECT_TRUE(IsWindowEnabled(MainWindow));
        EXPECT_FALSE(IsWindow(AddImagesProgressDialog));
    }
    EXPECT_EQ(0, OpenImportBatch(0));
    EXPECT_EQ(0, ImportActive);
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_TRUE(AddImagesProgressDialog == NULL);
}

// A whole folder of phone photos chosen at once: 2,000 names take about 56,000
// characters, far more than the dialog's first buffer. Every name reaches the import
// (which is cancelled after the first file: the count is what matters here).
TEST(AddImages, TwoThousandPhoneNamesAllArrive)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("phone");
    std::vector<uint8_t> jpeg = MakeTestImageBytes(8, 8, "jpg");
    std::string typed;
    for (int i = 0; i < 2000; i++) {
        char name[40];
        snprintf(name, sizeof name, "IMG_20240101_1%05d.jpg", i);
        ASSERT_TRUE(WriteTestFile(folder + "\\" + name, jpeg.data(), jpeg.size()));
        typed += std::string(i ? " \"" : "\"") + name + "\"";
    }
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    TypeIntoOpenDialog(typed, nullptr, 60000);  // Wine's dialog takes its time over 2,000 names
    ProgressRecorder progress;
    progress.onStatus = [](const std::string&) { PressProgressCancel(); };
    AddImagesFromFiles();
    EXPECT_FALSE(DialogTimedOut());
    ASSERT_FALSE(progress.statuses.empty()) << "the selection was lost";
    EXPECT_EQ("Processing File 001 of 2000", progress.statuses[0]);
    EXPECT_EQ(folder + "\\IMG_20240101_100000.jpg", ImageCollection.at(0).path);
    ExpectImportClosed();
}
