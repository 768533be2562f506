// The About box: its texts, its layout, the acknowledgement text, and the four ways to
// close it.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <functional>
#include <vector>

#include "app/help_win.h"
#include "app/wide_text_win.h"

namespace {

// Opens the About box through the main window's command and runs `inspect` inside it;
// then closes it with OK. Returns the box's handle (no longer a window by then).
HWND InspectAboutBox(std::function<void(HWND)> inspect)
{
    HWND shown = NULL;
    WhenDialogAppears([&](HWND box) {
        shown = box;
        inspect(box);
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(MainWindow, WM_COMMAND, IDM_ABOUT, 0);
    return shown;
}

RECT DialogUnits(HWND box, int x, int y, int width, int height)
{
    RECT r = {x, y, x + width, y + height};
    MapDialogRect(box, &r);
    return r;
}

// A child's rectangle in its dialog's client coordinates.
RECT ChildRect(HWND box, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, box, (POINT*)&r, 2);
    return r;
}

std::string ClassOf(HWND window)
{
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    return cls;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return lines;
        start = end + 2;
    }
}

// Width in pixels of text in the window's own font.
int TextWidth(HWND window, const std::string& text)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(window, WM_GETFONT, 0, 0));
    SIZE size = {0, 0};
    WidePath wide(text.c_str());  // window texts come as UTF-8
    GetTextExtentPoint32W(dc, wide.text, lstrlenW(wide.text), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

int LineHeight(HWND window)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(window, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

// A key pressed through the input queue, left for the dialog's own loop to handle.
void QueueKey(WORD key)
{
    INPUT in[2];
    ZeroMemory(in, sizeof in);
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

}  // namespace

TEST(About, ShowsProductMakerAndRightsOwnedByTheMainWindow)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string caption;
    HWND owner = NULL;
    std::vector<std::string> texts;
    HICON icon = NULL;
    HWND shown = InspectAboutBox([&](HWND box) {
        caption = WindowText(box);
        owner = GetWindow(box, GW_OWNER);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (ClassOf(child) == "Static" && (WORD)GetDlgCtrlID(child) == 0xFFFF)
                texts.push_back(WindowText(child));
        icon = (HICON)SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_GETICON, 0, 0);
        SaveScreenshot(box, "about-box");
    });
    ASSERT_TRUE(shown != NULL);
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ("About", caption);
    EXPECT_EQ(window, owner);
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ("Tolvane 2.0", texts[0]);
    EXPECT_EQ("Quorrel, Inc.", texts[1]);
    EXPECT_EQ("\xC2\xA9 2024-2026 Quorrel, Inc.", texts[2]);
    EXPECT_TRUE(icon != NULL) << "the program's icon is shown";
}

TEST(About, ControlsSitWhereTheLayoutSays)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    struct Expected {
        const char* cls;
        int id, x, y, width, height;
        bool sizeFixed;  // an icon static takes the icon's own size
    } expected[] = {
        {"Static", IDC_ABOUT_ICON, 4, 8, 20, 20, false},
        {"Static", 0xFFFF, 40, 8, 84, 8, true},
        {"Static", 0xFFFF, 40, 20, 84, 8, true},
        {"Button", IDOK, 160, 12, 50, 14, true},
        {"Static", 0xFFFF, 40, 32, 89, 10, true},
        {"Edit", IDC_ABOUT_CREDITS, 4, 48, 208, 56, true},
    };
    std::vector<RECT> actual, wanted;
    RECT client = {}, wantedClient = {}, wantedPlace = {};
    POINT ownerOrigin = {0, 0}, clientOrigin = {0, 0};
    std::vector<LONG> styles;
    std::vector<std::string> classes;
    std::vector<WORD> ids;
    InspectAboutBox([&](HWND box) {
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            classes.push_back(ClassOf(child));
            ids.push_back((WORD)GetDlgCtrlID(child));
            actual.push_back(ChildRect(box, child));
            styles.push_back(GetWindowLongA(child, GWL_STYLE));
        }
        for (const Expected& e : expected)
            wanted.push_back(DialogUnits(box, e.x, e.y, e.width, e.height));
        GetClientRect(box, &client);
        wantedClient = DialogUnits(box, 0, 0, 218, 109);
        ClientToScreen(box, &clientOrigin);
        wantedPlace = DialogUnits(box, 22, 17, 0, 0);
        ClientToScreen(MainWindow, &ownerOrigin);
    });
    EXPECT_EQ(wantedClient.right, client.right);
    EXPECT_EQ(wantedClient.bottom, client.bottom);
    // Placed relative to the main window's client area (the template places the box's
    // client area).
    EXPECT_EQ(ownerOrigin.x + wantedPlace.left, clientOrigin.x);
    EXPECT_EQ(ownerOrigin.y + wantedPlace.top, clientOrigin.y);

    ASSERT_EQ(6u, classes.size());
    for (size_t i = 0; i < 6; i++) {
        const Expected& e = expected[i];
        EXPECT_EQ(e.cls, classes[i]) << "control " << i;
        EXPECT_EQ((WORD)e.id, ids[i]) << "control " << i;
        EXPECT_EQ(wanted[i].left, actual[i].left) << "control " << i;
        EXPECT_EQ(wanted[i].top, actual[i].top) << "control " << i;
        if (e.sizeFixed) {
            EXPECT_EQ(wanted[i].right, actual[i].right) << "control " << i;
            EXPECT_EQ(wanted[i].bottom, actual[i].bottom) << "control " << i;
        }
    }
    EXPECT_EQ(SS_ICON, styles[0] & SS_TYPEMASK);
    EXPECT_TRUE(styles[1] & SS_NOPREFIX) << "the version text shows no mnemonic";
    EXPECT_EQ(BS_DEFPUSHBUTTON, styles[3] & BS_TYPEMASK);
    LONG edit = styles[5];
    EXPECT_TRUE(edit & ES_MULTILINE);
    EXPECT_TRUE(edit & ES_AUTOHSCROLL);
    EXPECT_TRUE(edit & WS_TABSTOP);
    EXPECT_FALSE(edit & WS_BORDER);
}

TEST(About, AcknowledgementIsThereAndFitsItsField)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string text;
    RECT field = {};
    int lineHeight = 0, lastFirstVisible = -1;
    LONG style = 0;
    std::vector<int> widths;
    int rightsWidth = 0, rightsRoom = 0;
    InspectAboutBox([&](HWND box) {
        HWND edit = GetDlgItem(box, IDC_ABOUT_CREDITS);
        text = WindowText(edit);
        style = GetWindowLongA(edit, GWL_STYLE);
        SendMessageA(edit, EM_GETRECT, 0, (LPARAM)&field);
        lineHeight = LineHeight(edit);
        for (const std::string& line : SplitLines(text)) widths.push_back(TextWidth(edit, line));
        SendMessageA(edit, WM_VSCROLL, SB_BOTTOM, 0);
        lastFirstVisible = (int)SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
        SaveScreenshot(box, "about-box-scrolled");
        HWND rights = GetWindow(GetDlgItem(box, IDOK), GW_HWNDNEXT);
        RECT room;
        GetClientRect(rights, &room);
        rightsWidth = TextWidth(rights, WindowText(rights));
        rightsRoom = room.right;
    });
    EXPECT_EQ(std::string(AboutAcknowledgement), text);
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at " << i;
        }
    }
    // The libraries, their licences and addresses, read across the line breaks.
    std::string flat;
    for (const std::string& line : SplitLines(text)) flat += (line.empty() ? "|" : line) + " ";
    const char* mentions[] = {
        "uses the FreeImage open source image library", "https://freeimage.sourceforge.io",
        "FreeImage Public License, version 1.0. | libharu", "zlib/libpng License",
        "https://github.com/libharu/libharu", "qpdf (PDF encryption", "Apache License 2.0",
        "https://qpdf.sourceforge.io",
    };
    for (const char* mention : mentions)
        EXPECT_NE(std::string::npos, flat.find(mention)) << mention;

    // Every line is seen whole across; lines below the field are reached by its scroll bar.
    ASSERT_GT(lineHeight, 0);
    for (size_t i = 0; i < widths.size(); i++)
        EXPECT_LE(widths[i], field.right - field.left) << "line " << i;
    int visibleLines = (field.bottom - field.top) / lineHeight;
    if ((int)widths.size() > visibleLines) {
        EXPECT_TRUE(style & WS_VSCROLL) << widths.size() << " lines, " << visibleLines << " seen";
    }
    EXPECT_GE(lastFirstVisible + visibleLines, (int)widths.size()) << "the last line can be seen";
    EXPECT_LE(rightsWidth, rightsRoom) << "the rights notice fits its line";
}

TEST(About, ClosesWithOkEnterEscapeAndTheCloseBox)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    SetForegroundWindow(MainWindow);
    FlushMessages();
    struct Way {
        const char* name;
        std::function<void(HWND)> close;
    } ways[] = {
        {"OK button", [](HWND box) { SendDlgItemMessageA(box, IDOK, BM_CLICK, 0, 0); }},
        {"Enter", [](HWND) { QueueKey(VK_RETURN); }},
        {"Escape", [](HWND) { QueueKey(VK_ESCAPE); }},
        {"close box", [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Way& way : ways) {
        HWND shown = NULL;
        WhenDialogAppears([&](HWND box) {
            shown = box;
            way.close(box);
        });
        ShowAboutBox();
        ASSERT_TRUE(shown != NULL) << way.name;
        EXPECT_FALSE(IsWindow(shown)) << way.name;
        EXPECT_FALSE(DialogTimedOut()) << way.name << " did not close the box";
        EXPECT_EQ(MainWindow, GetActiveWindow()) << way.name;
    }
}

TEST(About, OtherCommandsKeepItOpen)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    INT_PTR commandResult = -1, otherResult = -1;
    bool openAfterCommand = false;
    InspectAboutBox([&](HWND box) {
        HWND edit = GetDlgItem(box, IDC_ABOUT_CREDITS);
        commandResult = AboutDialogProc(box, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_CREDITS, EN_SETFOCUS),
                                        (LPARAM)edit);
        openAfterCommand = IsWindow(box) && IsWindowVisible(box);
        otherResult = AboutDialogProc(box, WM_MOUSEMOVE, 0, 0);
    });
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ(TRUE, commandResult) << "every command counts as handled";
    EXPECT_TRUE(openAfterCommand);
    EXPECT_EQ(FALSE, otherResult) << "other messages go to the default handling";
}
