// Start-up state of the real main window.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

TEST(Startup, MainWindowHasTitleClassAndEmptyCounts)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ("Tolvane", WindowText(window));
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ("QUORREL_TOLVANE", cls);
    char text[64] = "";
    SendMessageA(StatusBar, SB_GETTEXTA, 1, (LPARAM)text);
    EXPECT_STREQ("Images: 000", text);
    SendMessageA(StatusBar, SB_GETTEXTA, 2, (LPARAM)text);
    EXPECT_STREQ("Pages: 000", text);
    EXPECT_EQ(LayoutOnePerPage, PdfSettings.layout);
    SaveScreenshot(window, "main-window");
    DestroyWindow(window);
}
