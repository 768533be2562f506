// The Options dialog, driven inside its own modal loop.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include "pdf/options_win.h"

namespace {
struct OptionsView {
    std::string paper, password;
    int open = -1, mail = -1, mailEnabled = -1, quality = -1, rangeMin = -1, rangeMax = -1;
    int paperCount = -1;
};

OptionsView Read(HWND dialog)
{
    OptionsView v;
    HWND paper = GetDlgItem(dialog, IDC_OPT_PAGE_SIZE);
    char text[64] = "";
    LRESULT sel = SendMessageA(paper, CB_GETCURSEL, 0, 0);
    if (sel >= 0) SendMessageA(paper, CB_GETLBTEXT, sel, (LPARAM)text);
    v.paper = text;
    v.paperCount = (int)SendMessageA(paper, CB_GETCOUNT, 0, 0);
    v.password = ItemText(dialog, IDC_OPT_PASSWORD);
    v.open = IsDlgButtonChecked(dialog, IDC_OPT_OPEN_AFTER);
    v.mail = IsDlgButtonChecked(dialog, IDC_OPT_MAIL_AFTER);
    v.mailEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_OPT_MAIL_AFTER));
    HWND quality = GetDlgItem(dialog, IDC_OPT_QUALITY);
    v.quality = (int)SendMessageA(quality, TBM_GETPOS, 0, 0);
    v.rangeMin = (int)SendMessageA(quality, TBM_GETRANGEMIN, 0, 0);
    v.rangeMax = (int)SendMessageA(quality, TBM_GETRANGEMAX, 0, 0);
    return v;
}

void Press(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}
}  // namespace

TEST(Options, OpensWithTheDefaults)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    OptionsView seen;
    WhenDialogAppears([&](HWND dialog) {
        seen = Read(dialog);
        EXPECT_EQ("Options", WindowText(dialog));
        SaveScreenshot(dialog, "options-dialog");
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(2, ShowPdfOptions());
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ("Letter", seen.paper);
    EXPECT_EQ(2, seen.paperCount);
    EXPECT_EQ("", seen.password);
    EXPECT_EQ(BST_UNCHECKED, seen.open);
    EXPECT_EQ(BST_UNCHECKED, seen.mail);
    EXPECT_EQ(3, seen.quality);
    EXPECT_EQ(0, seen.rangeMin);
    EXPECT_EQ(10, seen.rangeMax);
}

TEST(Options, OkStoresTheControls)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    MapiLibrary = LoadLibraryA("MAPI32.DLL");
    ASSERT_TRUE(MapiLibrary != NULL);
    std::string password45(45, 'p');
    WhenDialogAppears([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_OPT_PAGE_SIZE, CB_SETCURSEL, 1, 0);
        SetDlgItemTextA(dialog, IDC_OPT_PASSWORD, password45.c_str());
        CheckDlgButton(dialog, IDC_OPT_OPEN_AFTER, BST_CHECKED);
        CheckDlgButton(dialog, IDC_OPT_MAIL_AFTER, BST_CHECKED);
        SendDlgItemMessageA(dialog, IDC_OPT_QUALITY, TBM_SETPOS, TRUE, 10);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(1, ShowPdfOptions());
    EXPECT_STREQ("A4", PdfSettings.pageSizeName);
    EXPECT_EQ(std::string(39, 'p'), PdfSettings.password);
    EXPECT_EQ(1, PdfSettings.openAfterCreation);
    EXPECT_EQ(1, PdfSettings.mailAfterCreation);
    EXPECT_DOUBLE_EQ(1.0, PdfSettings.imageQuality);

    // Reopening shows what was stored; "Lowest" stores 0.0; clearing the password empties it.
    OptionsView seen;
    WhenDialogAppears([&](HWND dialog) {
        seen = Read(dialog);
        SendDlgItemMessageA(dialog, IDC_OPT_QUALITY, TBM_SETPOS, TRUE, 0);
        SetDlgItemTextA(dialog, IDC_OPT_PASSWORD, "");
        Press(dialog, IDOK);
    });
    EXPECT_EQ(1, ShowPdfOptions());
    EXPECT_EQ("A4", seen.paper);
    EXPECT_EQ(10, seen.quality);
    EXPECT_EQ(BST_CHECKED, seen.mail);
    EXPECT_DOUBLE_EQ(0.0, PdfSettings.imageQuality);
    EXPECT_STREQ("", PdfSettings.password);
}

TEST(Options, PasswordBoxTakesNoMoreThanIsStored)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    int limit = -1;
    WhenDialogAppears([&](HWND dialog) {
        limit = (int)SendDlgItemMessageA(dialog, IDC_OPT_PASSWORD, EM_GETLIMITTEXT, 0, 0);
        Press(dialog, IDCANCEL);
    });
    ShowPdfOptions();
    EXPECT_EQ(39, limit);
}

TEST(Options, CancelChangesNothing)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    PdfSettingsRecord before = PdfSettings;
    WhenDialogAppears([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_OPT_PAGE_SIZE, CB_SETCURSEL, 1, 0);
        SetDlgItemTextA(dialog, IDC_OPT_PASSWORD, "secret");
        CheckDlgButton(dialog, IDC_OPT_OPEN_AFTER, BST_CHECKED);
        SendDlgItemMessageA(dialog, IDC_OPT_QUALITY, TBM_SETPOS, TRUE, 9);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(2, ShowPdfOptions());
    EXPECT_EQ(0, memcmp(&before, &PdfSettings, sizeof before));

    // The close box and Escape cancel too.
    WhenDialogAppears([&](HWND dialog) {
        CheckDlgButton(dialog, IDC_OPT_OPEN_AFTER, BST_CHECKED);
        SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(2, ShowPdfOptions());
    EXPECT_EQ(0, PdfSettings.openAfterCreation);
}

TEST(Options, WithoutMailTheMailBoxIsOffAndGreyedEveryTime)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    MapiLibrary = NULL;  // as on a system without MAPI32.DLL
    PdfSettings.mailAfterCreation = 1;
    for (int round = 0; round < 2; round++) {
        OptionsView seen;
        WhenDialogAppears([&](HWND dialog) {
            seen = Read(dialog);
            Press(dialog, round == 0 ? IDCANCEL : IDOK);
        });
        ShowPdfOptions();
        EXPECT_EQ(BST_UNCHECKED, seen.mail) << round;
        EXPECT_EQ(FALSE, seen.mailEnabled) << round;
        EXPECT_EQ(0, PdfSettings.mailAfterCreation) << round;
    }
}

TEST(Options, QualityOutsideTheScaleShowsTheMiddle)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    struct { double quality; int position; } cases[] = {
        {0.0, 0}, {0.3, 3}, {0.7, 7}, {1.0, 10}, {1.5, 5}, {-0.2, 5}, {0.99, 9},
    };
    for (auto& c : cases) {
        PdfSettings.imageQuality = c.quality;
        int shown = -1;
        WhenDialogAppears([&](HWND dialog) {
            shown = (int)SendDlgItemMessageA(dialog, IDC_OPT_QUALITY, TBM_GETPOS, 0, 0);
            Press(dialog, IDCANCEL);
        });
        ShowPdfOptions();
        EXPECT_EQ(c.position, shown) << c.quality;
    }
}

TEST(Options, ToolbarButtonOpensTheDialog)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    bool opened = false;
    WhenDialogAppears([&](HWND dialog) {
        opened = WindowText(dialog) == "Options" && GetWindow(dialog, GW_OWNER) == window;
        Press(dialog, IDCANCEL);
    });
    SendMessageA(window, WM_COMMAND, IDM_OPTIONS, 0);
    EXPECT_TRUE(opened);
}
