// Help: F1 and the help window, the missing-help-file message, and the loader of the
// HTML Help control (registry path first, then the name, a failed load never retried).
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <cctype>
#include <vector>

#include "app/help_loader_win.h"
#include "app/help_win.h"

namespace {

const char TestKey[] = "Software\\Tolvane Tests\\Help Control";
const char MissingKey[] = "Software\\Tolvane Tests\\No Such Key";
const char UnloadableName[] = "no-such-help-control.ocx";
const UINT HelpCloseAll = 0x12;  // HH_CLOSE_ALL: a command that opens no window

// Top-level windows of this process with the given class.
struct WindowSearch {
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    WindowSearch* search = (WindowSearch*)param;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && strcmp(cls, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> ProcessWindows(const char* className)
{
    WindowSearch search = {className, {}};
    EnumWindows(CollectWindow, (LPARAM)&search);
    return search.found;
}

// The icon of a message box: its one icon static (Windows and Wine give it other ids).
HICON MessageBoxIcon(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return (HICON)SendMessageA(child, STM_GETICON, 0, 0);
    }
    return NULL;
}

std::string Lower(std::string text)
{
    for (char& c : text) c = (char)tolower((unsigned char)c);
    return text;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A registry key of the tests' own, holding the given default value; gone again when the
// test ends.
struct TestRegistryKey {
    explicit TestRegistryKey(const std::string& value)
    {
        HKEY key;
        ok = RegCreateKeyExA(HKEY_CURRENT_USER, TestKey, 0, NULL, 0, KEY_WRITE, NULL, &key,
                             NULL) == ERROR_SUCCESS;
        if (!ok) return;
        ok = RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)value.c_str(),
                            (DWORD)value.size() + 1) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~TestRegistryKey() { RegDeleteKeyA(HKEY_CURRENT_USER, TestKey); }
    bool ok;
};

void CloseHelpWindows()
{
    for (HWND window : ProcessWindows("HH Parent")) SendMessageA(window, WM_CLOSE, 0, 0);
    FlushMessages();
}

// Stands between the loader and the control's entry, recording the calls that reach it.
struct EntryCall {
    HWND caller;
    std::string file;
    UINT command;
    DWORD_PTR data;
};
HtmlHelpEntryProc RealEntry;
std::vector<EntryCall> EntryCalls;

HWND WINAPI RecordingEntry(HWND caller, LPCSTR file, UINT command, DWORD_PTR data)
{
    EntryCalls.push_back({caller, file ? file : "(null)", command, data});
    return RealEntry(caller, file, command, data);
}

void RecordEntryCalls()
{
    RealEntry = HtmlHelpEntry;
    HtmlHelpEntry = RecordingEntry;
    EntryCalls.clear();
}

std::string RegisteredControlPath()
{
    char path[MaxPathChars];
    return FindHelpControlPath(path) ? path : "";
}

}  // namespace

TEST(Help, HelpFileIsFoundBesideTheProgram)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    char program[MaxPathChars];
    GetModuleFileNameA(NULL, program, sizeof program);
    std::string folder = program;
    folder.erase(folder.rfind('\\'));
    EXPECT_EQ(folder + "\\Tolvane.chm", HelpFilePath);
}

TEST(Help, F1TwiceOpensOneHelpWindow)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    ASSERT_STRNE("", HelpFilePath);
    SetForegroundWindow(window);
    FlushMessages();

    PressKey(VK_F1);
    FlushMessages(500);
    ASSERT_TRUE(IsWindow(HelpWindow));
    HWND first = HelpWindow;
    char cls[64] = "";
    GetClassNameA(first, cls, sizeof cls);
    EXPECT_STREQ("HH Parent", cls);
    EXPECT_EQ(1u, ProcessWindows("HH Parent").size());
    SaveScreenshot(first, "help-window");

    // Neither the key nor the Help button asks the control again while it is open.
    ASSERT_TRUE(HtmlHelpEntry != NULL);
    RecordEntryCalls();
    PressKey(VK_F1);
    SendMessageA(window, WM_COMMAND, IDM_HELP, 0);
    FlushMessages(500);
    EXPECT_TRUE(EntryCalls.empty());
    EXPECT_EQ(first, HelpWindow);
    EXPECT_EQ(1u, ProcessWindows("HH Parent").size());
    CloseHelpWindows();
}

TEST(Help, F1OpensHelpAgainAfterItWasClosed)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    SetForegroundWindow(window);
    FlushMessages();
    PressKey(VK_F1);
    FlushMessages(500);
    ASSERT_TRUE(IsWindow(HelpWindow));

    SendMessageA(HelpWindow, WM_CLOSE, 0, 0);
    FlushMessages();
    ASSERT_TRUE(ProcessWindows("HH Parent").empty());

    RecordEntryCalls();
    SetForegroundWindow(window);
    FlushMessages();
    PressKey(VK_F1);
    FlushMessages(500);
    EXPECT_TRUE(IsWindow(HelpWindow));
    EXPECT_EQ(1u, ProcessWindows("HH Parent").size());
    // The help file at its default topic, for the main window.
    ASSERT_EQ(1u, EntryCalls.size());
    EXPECT_EQ(window, EntryCalls[0].caller);
    EXPECT_EQ(HelpFilePath, EntryCalls[0].file);
    EXPECT_EQ(0u, EntryCalls[0].command);
    EXPECT_EQ(0u, EntryCalls[0].data);
    CloseHelpWindows();
}

TEST(Help, MissingHelpFileIsReportedEveryTime)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    // As when no help file was found at start-up. Tolvane.chm is still beside the program:
    // the path is decided at start only.
    HelpFilePath[0] = 0;
    SetForegroundWindow(window);
    FlushMessages();

    for (int round = 0; round < 3; round++) {
        std::string caption = "(no box)", text;
        HWND owner = (HWND)1;
        HICON icon = NULL;
        WhenDialogAppears([&](HWND box) {
            caption = WindowText(box);
            text = ItemText(box, 0xFFFF);  // the message text of a message box
            owner = GetWindow(box, GW_OWNER);
            icon = MessageBoxIcon(box);
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        });
        PressKey(VK_F1);
        EXPECT_FALSE(DialogTimedOut()) << "round " << round;
        EXPECT_EQ("Help File Missing", caption) << "round " << round;
        EXPECT_EQ("Could Not Locate Help File", text) << "round " << round;
        EXPECT_TRUE(owner == NULL) << "the box has no owner, round " << round;
        EXPECT_EQ(LoadIconA(NULL, IDI_WARNING), icon) << "warning icon, round " << round;
    }
    EXPECT_TRUE(HelpWindow == NULL);
    EXPECT_TRUE(HelpControlModule == NULL) << "the control is not loaded without a file";
    EXPECT_TRUE(ProcessWindows("HH Parent").empty());
}

TEST(HelpLoader, RegistryGivesTheControlPath)
{
    char path[MaxPathChars];
    memset(path, 0xcc, sizeof path);
    ASSERT_EQ(1, FindHelpControlPath(path));
    EXPECT_TRUE(EndsWith(Lower(path), "\\hhctrl.ocx")) << path;

    struct Case {
        const char* what;
        HKEY root;
        const char* key;
        std::string value;  // written to the test key when not empty
        int expected;
    } cases[] = {
        {"missing key", HKEY_CURRENT_USER, MissingKey, "", 0},
        {"short value", HKEY_CURRENT_USER, TestKey, "C:\\help\\hhctrl.ocx", 1},
        {"259 characters", HKEY_CURRENT_USER, TestKey, "C:\\" + std::string(256, 'x'), 1},
        {"260 characters do not fit", HKEY_CURRENT_USER, TestKey,
         "C:\\" + std::string(257, 'x'), 0},
    };
    for (const Case& c : cases) {
        TestRegistryKey key(c.value.empty() ? "unused" : c.value);
        ASSERT_TRUE(key.ok);
        HelpControlPlace.root = c.root;
        HelpControlPlace.key = c.key;
        memset(path, 0xcc, sizeof path);
        EXPECT_EQ(c.expected, FindHelpControlPath(path)) << c.what;
        EXPECT_EQ(c.expected ? c.value : "", std::string(path)) << c.what;
    }
}

TEST(HelpLoader, RegisteredPathIsLoadedFirst)
{
    std::string registered = RegisteredControlPath();
    ASSERT_NE("", registered);
    ASSERT_TRUE(GetModuleHandleA("hhctrl.ocx") == NULL);
    // Only the registry can lead to the control: the name cannot load.
    TestRegistryKey key(registered);
    ASSERT_TRUE(key.ok);
    HelpControlPlace = {HKEY_CURRENT_USER, TestKey, UnloadableName};

    HtmlHelpA(NULL, NULL, HelpCloseAll, 0);
    ASSERT_TRUE(HelpControlModule != NULL);
    EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), HelpControlModule);
    EXPECT_EQ((FARPROC)HtmlHelpEntry, GetProcAddress(HelpControlModule, MAKEINTRESOURCEA(14)));
    EXPECT_EQ(0, HelpLoadFailed);
}

TEST(HelpLoader, ControlIsLoadedByNameWithoutTheRegistryEntry)
{
    ASSERT_TRUE(GetModuleHandleA("hhctrl.ocx") == NULL);
    HelpControlPlace = {HKEY_CURRENT_USER, MissingKey, "hhctrl.ocx"};
    HtmlHelpA(NULL, NULL, HelpCloseAll, 0);
    EXPECT_TRUE(HelpControlModule != NULL);
    EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), HelpControlModule);
    EXPECT_TRUE(HtmlHelpEntry != NULL);
    EXPECT_EQ(0, HelpLoadFailed);
}

TEST(HelpLoader, RegisteredFileThatIsMissingFallsBackToTheName)
{
    TestRegistryKey key("C:\\no\\such\\folder\\hhctrl.ocx");
    ASSERT_TRUE(key.ok);
    HelpControlPlace = {HKEY_CURRENT_USER, TestKey, "hhctrl.ocx"};
    HtmlHelpA(NULL, NULL, HelpCloseAll, 0);
    EXPECT_TRUE(HelpControlModule != NULL);
    EXPECT_EQ(0, HelpLoadFailed);
}

TEST(HelpLoader, FailedLoadIsNeverRetried)
{
    ASSERT_TRUE(GetModuleHandleA("hhctrl.ocx") == NULL);
    TestRegistryKey key("C:\\no\\such\\folder\\hhctrl.ocx");
    ASSERT_TRUE(key.ok);
    HelpControlPlace = {HKEY_CURRENT_USER, TestKey, UnloadableName};
    EXPECT_TRUE(HtmlHelpA(NULL, NULL, HelpCloseAll, 0) == NULL);
    EXPECT_EQ(1, HelpLoadFailed);
    EXPECT_TRUE(HelpControlModule == NULL);

    // The control could be found now, but the run keeps the first answer.
    HelpControlPlace = {HKEY_CLASSES_ROOT,
                        "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32",
                        "hhctrl.ocx"};
    for (int call = 0; call < 3; call++)
        EXPECT_TRUE(HtmlHelpA(NULL, NULL, HelpCloseAll, 0) == NULL) << "call " << call;
    EXPECT_EQ(1, HelpLoadFailed);
    EXPECT_TRUE(HelpControlModule == NULL);
    EXPECT_TRUE(GetModuleHandleA("hhctrl.ocx") == NULL) << "nothing was loaded";
}

TEST(HelpLoader, ControlWithoutTheEntryFailsQuietly)
{
    // A library that loads but has no export with ordinal 14.
    HMODULE other = LoadLibraryA("msimg32.dll");
    ASSERT_TRUE(other != NULL);
    ASSERT_TRUE(GetProcAddress(other, MAKEINTRESOURCEA(14)) == NULL);
    HelpControlPlace = {HKEY_CURRENT_USER, MissingKey, "msimg32.dll"};

    EXPECT_TRUE(HtmlHelpA(NULL, NULL, HelpCloseAll, 0) == NULL);
    EXPECT_EQ(1, HelpLoadFailed);
    EXPECT_TRUE(HtmlHelpEntry == NULL);
    EXPECT_TRUE(HtmlHelpA(NULL, NULL, HelpCloseAll, 0) == NULL);
    EXPECT_TRUE(GetModuleHandleA("hhctrl.ocx") == NULL);
}

TEST(HelpLoader, HelpStaysSilentWithoutTheControl)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    ASSERT_STRNE("", HelpFilePath);
    HelpControlPlace = {HKEY_CURRENT_USER, MissingKey, UnloadableName};
    SetForegroundWindow(window);
    FlushMessages();
    PressKey(VK_F1);
    PressKey(VK_F1);
    FlushMessages(300);
    EXPECT_TRUE(HelpWindow == NULL);
    EXPECT_EQ(1, HelpLoadFailed);
    EXPECT_TRUE(ProcessWindows("#32770").empty()) << "no message box";
    EXPECT_TRUE(ProcessWindows("HH Parent").empty());
    EXPECT_EQ(window, GetActiveWindow());
}
