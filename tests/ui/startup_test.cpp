// Start-up: the main window's state, the version checks and the help-file search.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include "app/startup_win.h"
#include "app/version_rules.h"

static std::string StatusText(int part)
{
    char text[128] = "";
    SendMessageA(StatusBar, SB_GETTEXTA, part, (LPARAM)text);
    return text;
}

TEST(Startup, MainWindowStartsEmptyWithDefaults)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ("Tolvane", WindowText(window));
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ("QUORREL_TOLVANE", cls);
    EXPECT_TRUE(IsWindowVisible(window));

    EXPECT_EQ("", StatusText(0));
    EXPECT_EQ("Images: 000", StatusText(1));
    EXPECT_EQ("Pages: 000", StatusText(2));

    EXPECT_EQ(LayoutOnePerPage, PdfSettings.layout);
    EXPECT_STREQ("Letter", PdfSettings.pageSizeName);
    EXPECT_DOUBLE_EQ(0.3, PdfSettings.imageQuality);
    EXPECT_STREQ("", PdfSettings.password);
    EXPECT_EQ(0, PdfSettings.openAfterCreation);
    EXPECT_EQ(0, PdfSettings.mailAfterCreation);
    EXPECT_EQ(0, PreviewActive);
    EXPECT_EQ(0, DragActive);
    EXPECT_EQ(0, ImportActive);
    EXPECT_EQ(0, PdfBuildActive);
    EXPECT_TRUE(ImageCollection.empty());
    EXPECT_STREQ("", PdfPath);
    EXPECT_STREQ("", ImportDirectory);

    // The child windows exist with their ids; only the image list is visible.
    EXPECT_EQ(IDC_IMAGE_LIST_VIEW, GetDlgCtrlID(ImageListView));
    EXPECT_EQ(IDC_MAIN_TOOLBAR, GetDlgCtrlID(MainToolbar));
    EXPECT_EQ(IDC_STATUS_BAR, GetDlgCtrlID(StatusBar));
    EXPECT_EQ(IDC_PREVIEW_LIST_VIEW, GetDlgCtrlID(PreviewListView));
    EXPECT_TRUE(IsWindowVisible(ImageListView));
    EXPECT_FALSE(IsWindowVisible(PreviewListView));
    EXPECT_TRUE(MainToolbarTips != NULL);

    // The class carries the program's icon and menu.
    EXPECT_TRUE(GetClassLongPtrA(window, GCLP_HICON) != 0);
    HMENU menu = GetMenu(window);
    ASSERT_TRUE(menu != NULL);
    EXPECT_EQ(2, GetMenuItemCount(menu));

    // The insertion-mark bitmaps are ready for reordering.
    ASSERT_TRUE(InsertMarkDC != NULL);
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(GetCurrentObject(InsertMarkDC, OBJ_BITMAP), sizeof bm, &bm));
    EXPECT_EQ(4, bm.bmWidth);
    EXPECT_EQ(132, bm.bmHeight);
    EXPECT_TRUE(GetObjectA(GetCurrentObject(InsertEraserDC, OBJ_BITMAP), sizeof bm, &bm));
    EXPECT_EQ(4, bm.bmWidth);

    SaveScreenshot(window, "main-window");
    DestroyWindow(window);
}

TEST(Startup, CommonControlsAreRecentEnough)
{
    DWORD version = GetCommonControlsVersion("comctl32.dll");
    EXPECT_TRUE(CommonControlsRecentEnough(version)) << std::hex << version;
    EXPECT_EQ(0u, GetCommonControlsVersion("no-such-library.dll"));
    EXPECT_EQ(0u, GetCommonControlsVersion("kernel32.dll"));  // no DllGetVersion
    int osClass = GetOsVersionClass();
    EXPECT_GE(osClass, 1);
    EXPECT_LE(osClass, 7);
}

TEST(Startup, ExitEndsTheMessageLoopWithCodeZero)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
    HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    EXPECT_EQ(0, RunMessageLoop(accelerators));
    EXPECT_FALSE(IsWindow(window));
}

TEST(Startup, HelpFileIsFoundBesideTheProgramThenInTheCurrentDirectory)
{
    std::string program = MakeTestFolder("program");
    std::string current = MakeTestFolder("current");
    std::string programFile = program + "\\Tolvane.exe";
    char data[] = "ITSF";

    // Nowhere: empty.
    FindHelpFileFrom(programFile.c_str(), current.c_str());
    EXPECT_STREQ("", HelpFilePath);

    // A folder named like the help file does not count.
    CreateDirectoryA((program + "\\Tolvane.chm").c_str(), NULL);
    FindHelpFileFrom(programFile.c_str(), current.c_str());
    EXPECT_STREQ("", HelpFilePath);

    // Only in the current directory.
    ASSERT_TRUE(WriteTestFile(current + "\\Tolvane.chm", data, 4));
    FindHelpFileFrom(programFile.c_str(), current.c_str());
    EXPECT_EQ(current + "\\Tolvane.chm", HelpFilePath);

    // Beside the program wins over the current directory.
    RemoveDirectoryA((program + "\\Tolvane.chm").c_str());
    ASSERT_TRUE(WriteTestFile(program + "\\Tolvane.chm", data, 4));
    FindHelpFileFrom(programFile.c_str(), current.c_str());
    EXPECT_EQ(program + "\\Tolvane.chm", HelpFilePath);

    // A program path without a backslash falls back to the current directory.
    FindHelpFileFrom("Tolvane.exe", current.c_str());
    EXPECT_EQ(current + "\\Tolvane.chm", HelpFilePath);

    EXPECT_FALSE(HelpFileAttributesPresent(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(HelpFileAttributesPresent(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_FALSE(HelpFileAttributesPresent(INVALID_FILE_ATTRIBUTES));
    EXPECT_TRUE(HelpFileAttributesPresent(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(HelpFileAttributesPresent(FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(HelpFileAttributesPresent(FILE_ATTRIBUTE_ARCHIVE));
}
