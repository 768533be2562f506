// Make PDF end to end: the real save dialog, the build under the "Make PDF" progress
// dialog, the file on disk, and what the shell and Simple MAPI are asked to do.
#include "ui/gtest_win.h"
#include "ui/import_support_win.h"
#include "ui/ui_support_win.h"

#include <cstring>
#include <map>
#include <memory>

#include "app/file_io_win.h"
#include "app/progress_win.h"
#include "app/wide_text_win.h"
#include "import/add_images_win.h"
#include "pdf/build_host_win.h"
#include "pdf/make_pdf_win.h"
#include "pdf/options_win.h"
#include "support/pdf_summary.h"

namespace {

const char OldContent[] = "an older file that must survive";

// Pictures in files of a fresh folder, added through Add Images and its open dialog;
// wide and tall ones take turns.
std::vector<std::string> AddPictures(int count, int width = 160, int height = 120)
{
    std::string folder = MakeTestFolder("makepdf-pictures");
    std::vector<std::string> paths;
    std::string typed;
    for (int i = 0; i < count; i++) {
        bool tall = i % 2 == 1;
        char name[32];
        snprintf(name, sizeof name, "picture%03d.jpg", i);
        paths.push_back(WritePicture(folder, name, tall ? height : width, tall ? width : height,
                                     "jpg", (BYTE)(40 * i), 120, 200));
        typed += std::string(i ? " \"" : "\"") + name + "\"";
    }
    size_t before = ImageCollection.size();
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    TypeIntoOpenDialog(typed);
    AddImagesFromFiles();
    EXPECT_EQ(before + count, ImageCollection.size()) << "the pictures were not added";
    return paths;
}

HWND FileNameBox(HWND saveDialog)
{
    HWND combo = GetDlgItem(saveDialog, 0x47C);
    HWND edit = FindWindowExA(combo, NULL, "Edit", NULL);
    return edit ? edit : combo;
}

struct SaveDialogView {
    HWND dialog = NULL;
    std::string offeredName, folder, fileType, title;
};

// Queues the next save dialog to read what it offers, then type `typed` and press OK.
// An empty `typed` presses Cancel instead.
void AnswerSaveDialog(const std::string& typed, SaveDialogView* view = nullptr)
{
    WhenDialogAppears([typed, view](HWND dialog) {
        if (view) {
            view->dialog = dialog;
            view->offeredName = WindowText(FileNameBox(dialog));
            WCHAR folder[MAX_PATH] = {0};  // the dialog is a Unicode one
            SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, (LPARAM)folder);
            char utf8[MaxPathBytes];
            view->folder = WideToUtf8(folder, utf8, sizeof utf8);
            view->fileType = WindowText(GetDlgItem(dialog, 0x470));
            view->title = WindowText(dialog);
        }
        if (typed.empty()) {
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SetWindowTextUtf8(FileNameBox(dialog), typed.c_str());
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
}

// Queues the save dialog to take `typed`, and the overwrite question that follows to be
// answered with `answer` (IDYES or IDNO); after No the save dialog is cancelled.
void AnswerOverwrite(const std::string& typed, int answer, std::string* question)
{
    auto answered = std::make_shared<int>(0);
    WhenDialogAppears([typed, answered](HWND dialog) {
        SetWindowTextUtf8(FileNameBox(dialog), typed.c_str());
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // returns once the question is answered
        if (*answered == IDNO) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    WhenDialogAppears([answer, answered, question](HWND box) {
        *question = ItemText(box, 0xFFFF);  // the message box's text
        *answered = answer;
        SendMessageA(box, WM_COMMAND, answer, 0);
    });
}

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    ReadWholeFile(path.c_str(), &bytes);
    return bytes;
}

std::string FileText(const std::string& path)
{
    std::vector<uint8_t> bytes = FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool StartsAsPdf(const std::string& path)
{
    return FileText(path).compare(0, 5, "%PDF-") == 0;
}

// Waits for a file that another process writes; true once it is there and not empty.
bool WaitForFile(const std::string& path, DWORD ms)
{
    for (DWORD waited = 0; waited < ms; waited += 50) {
        std::vector<uint8_t> bytes;
        if (ReadWholeFile(path.c_str(), &bytes) && !bytes.empty()) return true;
        Sleep(50);
    }
    return false;
}

// The shell's "open" for .pdf files copies the opened file to a marker file, through an
// association registered for the test (the machine-wide one; Wine's shell does not read
// per-user classes). The association Wine had is put back afterwards.
class ShellOpenRecorder {
public:
    explicit ShellOpenRecorder(const std::string& marker) : marker_(marker)
    {
        LONG size = sizeof previous_;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, ".pdf", previous_, &size) != ERROR_SUCCESS)
            previous_[0] = 0;
        std::string command = "cmd.exe /c copy /y \"%1\" \"" + marker + "\"";
        ok_ = RegSetValueA(HKEY_CLASSES_ROOT, "TolvaneTest.OpenRecorder\\shell\\open\\command",
                           REG_SZ, command.c_str(), (DWORD)command.size()) == ERROR_SUCCESS &&
              RegSetValueA(HKEY_CLASSES_ROOT, ".pdf", REG_SZ, "TolvaneTest.OpenRecorder",
                           24) == ERROR_SUCCESS;
    }
    ~ShellOpenRecorder()
    {
        if (previous_[0])
            RegSetValueA(HKEY_CLASSES_ROOT, ".pdf", REG_SZ, previous_, (DWORD)strlen(previous_));
        else
            RegDeleteKeyA(HKEY_CLASSES_ROOT, ".pdf");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "TolvaneTest.OpenRecorder");
    }
    bool ok() const { return ok_; }
    const std::string& marker() const { return marker_; }

private:
    std::string marker_;
    char previous_[MAX_PATH];
    bool ok_ = false;
};

// The stand-in MAPI32.DLL that records MAPISendMail's arguments, loaded as the program's
// MapiLibrary. Its lines are fields "key=value" separated by '|'.
class MailRecorder {
public:
    explicit MailRecorder(const std::string& folder) : record_(folder + "\\mapi-record.txt")
    {
        std::string dll = std::string("Z:") + TOLVANE_MAPI_RECORDER;
        for (char& c : dll)
            if (c == '/') c = '\\';
        SetEnvironmentVariableA("TOLVANE_MAPI_RECORD", record_.c_str());
        SetEnvironmentVariableA("TOLVANE_MAPI_WAIT_FOR", NULL);
        MapiLibrary = LoadLibraryA(dll.c_str());
    }
    ~MailRecorder()
    {
        SetEnvironmentVariableA("TOLVANE_MAPI_RECORD", NULL);
        SetEnvironmentVariableA("TOLVANE_MAPI_WAIT_FOR", NULL);
    }
    // MAPISendMail first waits for this file and records whether it came.
    void WaitFor(const std::string& path)
    {
        SetEnvironmentVariableA("TOLVANE_MAPI_WAIT_FOR", path.c_str());
    }
    std::vector<std::map<std::string, std::string>> Calls() const
    {
        std::vector<std::map<std::string, std::string>> calls;
        std::string text = FileText(record_);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::map<std::string, std::string> fields;
            std::string line = text.substr(start, end - start);
            size_t at = 0;
            while (at <= line.size()) {
                size_t bar = line.find('|', at);
                if (bar == std::string::npos) bar = line.size();
                std::string field = line.substr(at, bar - at);
                size_t eq = field.find('=');
                if (eq != std::string::npos) fields[field.substr(0, eq)] = field.substr(eq + 1);
                at = bar + 1;
            }
            calls.push_back(fields);
            start = end + 1;
        }
        return calls;
    }

private:
    std::string record_;
};

// What the progress bar and the message line of "Make PDF" were sent during a build.
class PdfProgressWatch {
public:
    PdfProgressWatch()
    {
        Watch = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Seen, NULL, GetCurrentThreadId());
    }
    ~PdfProgressWatch()
    {
        UnhookWindowsHookEx(hook_);
        Watch = nullptr;
    }
    LPARAM range = -1;
    int steps = 0, resets = 0;
    std::vector<std::string> messages;

private:
    static LRESULT CALLBACK Seen(int code, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* m = (const CWPSTRUCT*)lParam;
        if (code == HC_ACTION && Watch && MakePdfProgressDialog &&
            GetParent(m->hwnd) == MakePdfProgressDialog) {
            int id = GetDlgCtrlID(m->hwnd);
            if (id == IDC_PDF_PROGRESS_BAR && m->message == PBM_SETRANGE) Watch->range = m->lParam;
            if (id == IDC_PDF_PROGRESS_BAR && m->message == PBM_STEPIT) Watch->steps++;
            if (id == IDC_PDF_PROGRESS_BAR && m->message == PBM_SETPOS && m->wParam == 0)
                Watch->resets++;
            if (id == IDC_PDF_MESSAGE && m->message == WM_SETTEXT) {  // the line is set in UTF-16
                char text[2048];
                Watch->messages.push_back(WideToUtf8((const WCHAR*)m->lParam, text, sizeof text));
            }
        }
        return CallNextHookEx(NULL, code, wParam, lParam);
    }
    static PdfProgressWatch* Watch;
    HHOOK hook_;
};
PdfProgressWatch* PdfProgressWatch::Watch;

void PressButton(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool ProgressDialogShown()
{
    return MakePdfProgressDialog && IsWindow(MakePdfProgressDialog) &&
           IsWindowVisible(MakePdfProgressDialog);
}

// Presses Cancel once the bar has moved three steps, from a timer that fires inside the
// build's own pumping; takes a screenshot of the dialog at work first.
int PositionAtCancel;
bool CancelShot;
void CALLBACK CancelAfterThreeSteps(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!MakePdfProgressDialog || !IsWindow(MakePdfProgressDialog)) return;
    HWND bar = GetDlgItem(MakePdfProgressDialog, IDC_PDF_PROGRESS_BAR);
    int position = (int)SendMessageA(bar, PBM_GETPOS, 0, 0);
    if (position < 3) return;
    KillTimer(NULL, id);
    PositionAtCancel = position;
    CancelShot = SaveScreenshot(MakePdfProgressDialog, "make-pdf-progress");
    PressButton(MakePdfProgressDialog, IDC_PDF_CANCEL);
}

}  // namespace

TEST(MakePdf, CtrlMWithNoImagesOpensNoDialog)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    SetForegroundWindow(window);
    SetFocus(ImageListView);
    FlushMessages();
    int dialogs = 0;
    WhenDialogAppears([&](HWND dialog) {
        dialogs++;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    PressKey('M', true);
    FlushMessages(500);
    EXPECT_EQ(0, dialogs);
    EXPECT_FALSE(MakePdfProgressDialog && IsWindow(MakePdfProgressDialog));
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(0, PdfBuildActive);

    // The same keys with a picture in the list do reach the save dialog.
    ForgetDialogActions();
    AddPictures(1);
    SaveDialogView seen;
    AnswerSaveDialog("", &seen);
    PressKey('M', true);
    FlushMessages(500);
    EXPECT_TRUE(seen.dialog != NULL);
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_TRUE(IsWindowEnabled(window));
}

TEST(MakePdf, FirstSaveOffersThePatternAndAddsTheExtension)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(2);
    std::string folder = MakeTestFolder("makepdf-save");
    SaveDialogView seen;
    AnswerSaveDialog(folder + "\\report", &seen);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ("Save As", seen.title);
    EXPECT_EQ("*.pdf", seen.offeredName);
    EXPECT_EQ("PDF Files (*.pdf)", seen.fileType);
    EXPECT_EQ(folder + "\\report.pdf", std::string(PdfPath));
    EXPECT_EQ(folder, std::string(PdfSaveDirectory));
    EXPECT_TRUE(StartsAsPdf(folder + "\\report.pdf"));
    EXPECT_FALSE(FileExists((folder + "\\report").c_str()));
    // Finished: the dialog is gone and the main window usable again.
    EXPECT_FALSE(MakePdfProgressDialog && IsWindow(MakePdfProgressDialog));
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(0, PdfBuildActive);
}

TEST(MakePdf, CancelledSaveDialogMakesNothing)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(1);
    AnswerSaveDialog("");
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_FALSE(MakePdfProgressDialog && IsWindow(MakePdfProgressDialog));
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(0, PdfBuildActive);
    EXPECT_STREQ("", PdfSaveDirectory);
}

TEST(MakePdf, ExistingFileIsKeptWhenTheUserSaysNo)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(1);
    std::string target = MakeTestFolder("makepdf-no") + "\\existing.pdf";
    ASSERT_TRUE(WriteTestFile(target, OldContent, strlen(OldContent)));
    std::string question;
    AnswerOverwrite(target, IDNO, &question);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_NE(std::string::npos, question.find("already exists")) << question;
    EXPECT_EQ(OldContent, FileText(target));
    EXPECT_FALSE(MakePdfProgressDialog && IsWindow(MakePdfProgressDialog));
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
}

TEST(MakePdf, ExistingFileIsReplacedWhenTheUserSaysYes)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(1);
    std::string target = MakeTestFolder("makepdf-yes") + "\\existing.pdf";
    ASSERT_TRUE(WriteTestFile(target, OldContent, strlen(OldContent)));
    std::string question;
    AnswerOverwrite(target, IDYES, &question);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_NE(std::string::npos, question.find("already exists")) << question;
    EXPECT_TRUE(StartsAsPdf(target));
    PdfSummary pdf = SummarizePdf(FileBytes(target));
    EXPECT_TRUE(pdf.opened) << pdf.error;
    EXPECT_EQ(1u, pdf.pages.size());
    EXPECT_FALSE(FileExists((target + ".part").c_str()));
}

TEST(MakePdf, SecondSaveOffersTheLastNameInTheLastFolder)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(1);
    std::string folder = MakeTestFolder("makepdf-again");
    AnswerSaveDialog(folder + "\\album.pdf");
    MakePdfCommand();
    ASSERT_TRUE(StartsAsPdf(folder + "\\album.pdf"));

    SaveDialogView second;
    AnswerSaveDialog("", &second);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ("album.pdf", second.offeredName);
    EXPECT_EQ(0, lstrcmpiA(folder.c_str(), second.folder.c_str())) << second.folder;
    EXPECT_EQ(folder, std::string(PdfSaveDirectory));  // a cancelled dialog changes nothing

    // Pressing OK on what is offered saves there again (after the overwrite question).
    std::string question;
    WhenDialogAppears([](HWND dialog) { SendMessageA(dialog, WM_COMMAND, IDOK, 0); });
    WhenDialogAppears([&](HWND box) {
        question = ItemText(box, 0xFFFF);
        SendMessageA(box, WM_COMMAND, IDYES, 0);
    });
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ(0, lstrcmpiA((folder + "\\album.pdf").c_str(), PdfPath)) << PdfPath;
    EXPECT_NE(std::string::npos, question.find("already exists")) << question;
}

TEST(MakePdf, PagesFollowTheLayout)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(5);
    std::string folder = MakeTestFolder("makepdf-layout");
    struct Case {
        LayoutMode layout;
        std::vector<int> imagesPerPage;
    } cases[] = {
        {LayoutOnePerPage, {1, 1, 1, 1, 1}},
        {LayoutTwoPerPage, {2, 2, 1}},
        {LayoutFourPerPage, {4, 1}},
    };
    for (const Case& c : cases) {
        PdfSettings.layout = c.layout;
        std::string target = folder + "\\layout" + std::to_string(c.layout) + ".pdf";
        AnswerSaveDialog(target);
        PdfProgressWatch watch;
        MakePdfCommand();
        EXPECT_FALSE(DialogTimedOut());
        PdfSummary pdf = SummarizePdf(FileBytes(target));
        ASSERT_TRUE(pdf.opened) << c.layout << ": " << pdf.error;
        std::vector<int> images;
        for (const PdfPageSummary& page : pdf.pages) images.push_back(page.images);
        EXPECT_EQ(c.imagesPerPage, images) << "layout " << c.layout;
        // The bar runs over the five entries, one step each, and is set back at the end.
        EXPECT_EQ(MAKELPARAM(0, 5), watch.range);
        EXPECT_EQ(5, watch.steps);
        EXPECT_EQ(1, watch.resets);
        ASSERT_FALSE(watch.messages.empty());
        EXPECT_EQ("Saving the PDF...", watch.messages.back());
    }
}

TEST(MakePdf, CancelDuringTheBuildWritesAndOpensNothing)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    const int count = 40;
    AddPictures(count, 1600, 1200);
    std::string folder = MakeTestFolder("makepdf-cancel");
    ShellOpenRecorder opened(folder + "\\opened.pdf");
    ASSERT_TRUE(opened.ok());
    MailRecorder mail(folder);
    ASSERT_TRUE(MapiLibrary != NULL);
    PdfSettings.openAfterCreation = 1;
    PdfSettings.mailAfterCreation = 1;
    std::string target = folder + "\\cancelled.pdf";
    AnswerSaveDialog(target);

    PositionAtCancel = -1;
    CancelShot = false;
    SetTimer(NULL, 0, 10, CancelAfterThreeSteps);
    PdfProgressWatch watch;
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_TRUE(CancelShot);
    ASSERT_GE(PositionAtCancel, 3) << "Cancel was never pressed";
    EXPECT_LT(PositionAtCancel, count);
    EXPECT_LT(watch.steps, count) << "the build went on after Cancel";
    EXPECT_FALSE(FileExists(target.c_str()));
    EXPECT_FALSE(FileExists((target + ".part").c_str()));
    EXPECT_FALSE(MakePdfProgressDialog && IsWindow(MakePdfProgressDialog));
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(0, PdfBuildActive);
    EXPECT_FALSE(WaitForFile(opened.marker(), 1500)) << "the viewer was started";
    EXPECT_TRUE(mail.Calls().empty()) << "the mail program was asked";
}

TEST(MakePdf, TooManyImagesLeaveTheFailureOnScreen)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(1);
    AddTestPictures(200);  // the quick way, file by file
    ASSERT_EQ(201u, ImageCollection.size());
    std::string target = MakeTestFolder("makepdf-201") + "\\many.pdf";
    ASSERT_TRUE(WriteTestFile(target, OldContent, strlen(OldContent)));
    std::string question, boxText, boxTitle, lineWhileBoxShown;
    AnswerOverwrite(target, IDYES, &question);
    WhenDialogAppears([&](HWND box) {
        boxText = ItemText(box, 0xFFFF);
        boxTitle = WindowText(box);
        lineWhileBoxShown = ItemText(MakePdfProgressDialog, IDC_PDF_MESSAGE);
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ("PDF Error", boxTitle);
    EXPECT_EQ("Only a maximum of 200 images is supported.", boxText);
    EXPECT_EQ(boxText, lineWhileBoxShown);

    // The dialog stays with the message, the main window locked, until Cancel.
    ASSERT_TRUE(ProgressDialogShown());
    EXPECT_TRUE(SaveScreenshot(MakePdfProgressDialog, "make-pdf-failed"));
    EXPECT_EQ("Only a maximum of 200 images is supported.",
              ItemText(MakePdfProgressDialog, IDC_PDF_MESSAGE));
    EXPECT_EQ(target, ItemText(MakePdfProgressDialog, IDC_PDF_FILE));
    EXPECT_FALSE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(1, PdfBuildActive);
    EXPECT_EQ(OldContent, FileText(target));
    FlushMessages(300);
    EXPECT_TRUE(ProgressDialogShown());
    EXPECT_FALSE(IsWindowEnabled(MainWindow));

    // Meanwhile the main window's shortcuts start nothing.
    int dialogs = 0;
    WhenDialogAppears([&](HWND dialog) {
        dialogs++;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    PressKey('M', true);
    PressKey('N', true);
    FlushMessages(300);
    EXPECT_EQ(0, dialogs);
    ForgetDialogActions();
    EXPECT_TRUE(ProgressDialogShown());

    PressButton(MakePdfProgressDialog, IDC_PDF_CANCEL);
    FlushMessages();
    EXPECT_FALSE(MakePdfProgressDialog && IsWindow(MakePdfProgressDialog));
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(0, PdfBuildActive);
    EXPECT_EQ(OldContent, FileText(target));
}

TEST(MakePdf, FailedWriteKeepsTheExistingFile)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(2);
    std::string folder = MakeTestFolder("makepdf-locked");
    std::string target = folder + "\\locked.pdf";
    ASSERT_TRUE(WriteTestFile(target, OldContent, strlen(OldContent)));
    // Held open without sharing: Wine then refuses to replace it.
    HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    std::string other = folder + "\\other.bin";
    ASSERT_TRUE(WriteTestFile(other, "x", 1));
    ASSERT_FALSE(MoveFileExA(other.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        << "this system replaces files that are held open";

    std::string question, boxText, boxTitle;
    AnswerOverwrite(target, IDYES, &question);
    WhenDialogAppears([&](HWND box) {
        boxText = ItemText(box, 0xFFFF);
        boxTitle = WindowText(box);
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
    MakePdfCommand();
    CloseHandle(held);
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ("PDF Error", boxTitle);
    // The message says why, in the system's words (e.g. the file is in use).
    EXPECT_EQ(0u, boxText.find("PDF Save Failed. ")) << boxText;
    EXPECT_GT(boxText.size(), strlen("PDF Save Failed. ") + 4) << boxText;
    ASSERT_TRUE(ProgressDialogShown());
    EXPECT_EQ(boxText, ItemText(MakePdfProgressDialog, IDC_PDF_MESSAGE));
    EXPECT_FALSE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(1, PdfBuildActive);
    EXPECT_EQ(OldContent, FileText(target));
    EXPECT_FALSE(FileExists((target + ".part").c_str()));

    SendMessageA(MakePdfProgressDialog, WM_COMMAND, IDCANCEL, 0);  // Escape or the close box
    FlushMessages();
    EXPECT_FALSE(MakePdfProgressDialog && IsWindow(MakePdfProgressDialog));
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(0, PdfBuildActive);
}

TEST(MakePdf, OpenAfterCreationAsksTheShellToOpenTheFile)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(3);
    std::string folder = MakeTestFolder("makepdf-open");
    ShellOpenRecorder opened(folder + "\\opened.pdf");
    ASSERT_TRUE(opened.ok());
    PdfSettings.openAfterCreation = 1;
    std::string target = folder + "\\to open.pdf";
    AnswerSaveDialog(target);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    ASSERT_TRUE(StartsAsPdf(target));
    ASSERT_TRUE(WaitForFile(opened.marker(), 5000)) << "the shell was not asked to open it";
    EXPECT_EQ(FileBytes(target), FileBytes(opened.marker()));
}

TEST(MakePdf, WithoutOpenAfterCreationTheShellIsNotAsked)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(1);
    std::string folder = MakeTestFolder("makepdf-noopen");
    ShellOpenRecorder opened(folder + "\\opened.pdf");
    ASSERT_TRUE(opened.ok());
    std::string target = folder + "\\kept.pdf";
    AnswerSaveDialog(target);
    MakePdfCommand();
    ASSERT_TRUE(StartsAsPdf(target));
    EXPECT_FALSE(WaitForFile(opened.marker(), 1500));
}

TEST(MakePdf, MailAfterCreationAttachesTheFileAfterOpeningIt)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(2);
    std::string folder = MakeTestFolder("makepdf-mail");
    ShellOpenRecorder opened(folder + "\\opened.pdf");
    ASSERT_TRUE(opened.ok());
    MailRecorder mail(folder);
    ASSERT_TRUE(MapiLibrary != NULL);
    mail.WaitFor(opened.marker());
    PdfSettings.openAfterCreation = 1;
    PdfSettings.mailAfterCreation = 1;
    std::string target = folder + "\\for mail.pdf";
    AnswerSaveDialog(target);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    ASSERT_TRUE(StartsAsPdf(target));

    auto calls = mail.Calls();
    ASSERT_EQ(1u, calls.size());
    std::map<std::string, std::string> call = calls[0];
    EXPECT_EQ("0", call["session"]);
    EXPECT_EQ("0", call["window"]);
    EXPECT_EQ("8", call["flags"]);  // MAPI_DIALOG: the compose window
    EXPECT_EQ("0", call["reserved"]);
    EXPECT_EQ("1", call["files"]);
    EXPECT_EQ("0", call["recipients"]);
    EXPECT_EQ("(null)", call["subject"]);
    EXPECT_EQ("(null)", call["note"]);
    EXPECT_EQ("-1", call["position"]);
    EXPECT_EQ(target, call["path"]);
    EXPECT_EQ("for mail.pdf", call["name"]);
    EXPECT_EQ("yes", call["waited"]) << "the viewer was not started before the mail";
}

TEST(MakePdf, MailPdfNeedsSimpleMapiAndAFileName)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("makepdf-mailpdf");
    MailRecorder mail(folder);
    ASSERT_TRUE(MapiLibrary != NULL);
    HMODULE recorder = MapiLibrary;

    MailPdf((folder + "\\").c_str());  // no file name: nothing to attach
    MailPdf("");
    EXPECT_TRUE(mail.Calls().empty());

    MapiLibrary = NULL;  // no Simple MAPI on this system
    MailPdf((folder + "\\a.pdf").c_str());
    EXPECT_TRUE(mail.Calls().empty());

    // A MAPI32.DLL without MAPISendMail: nothing is called (and nothing crashes).
    MapiLibrary = LoadLibraryA("version.dll");
    ASSERT_TRUE(MapiLibrary != NULL);
    ASSERT_TRUE(GetProcAddress(MapiLibrary, "MAPISendMail") == NULL);
    MailPdf((folder + "\\a.pdf").c_str());
    EXPECT_TRUE(mail.Calls().empty());

    MapiLibrary = recorder;
    MailPdf("C:\\somewhere\\b.pdf");
    auto calls = mail.Calls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("C:\\somewhere\\b.pdf", calls[0]["path"]);
    EXPECT_EQ("b.pdf", calls[0]["name"]);
}

TEST(MakePdf, MailWithoutMapiSendMailStillFinishesTheRun)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    AddPictures(1);
    MapiLibrary = LoadLibraryA("version.dll");
    ASSERT_TRUE(MapiLibrary != NULL);
    PdfSettings.mailAfterCreation = 1;
    std::string target = MakeTestFolder("makepdf-nomapi") + "\\plain.pdf";
    AnswerSaveDialog(target);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_TRUE(StartsAsPdf(target));
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(0, PdfBuildActive);
}

TEST(MakePdf, ProgressRangeIsCutToSixteenBits)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    MakePdfProgressDialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAKE_PDF_PROGRESS),
                                               MainWindow, MakePdfProgressProc, 0);
    ASSERT_TRUE(MakePdfProgressDialog != NULL);
    HWND bar = GetDlgItem(MakePdfProgressDialog, IDC_PDF_PROGRESS_BAR);
    MakePdfDialogHost host;
    struct Case {
        int count, top;
    } cases[] = {{5, 5}, {200, 200}, {65535, 65535}, {70000, 65535}, {-3, 0}};
    for (const Case& c : cases) {
        host.SetProgressRange(c.count);
        EXPECT_EQ(c.top, (int)SendMessageA(bar, PBM_GETRANGE, FALSE, 0)) << c.count;
        EXPECT_EQ(0, (int)SendMessageA(bar, PBM_GETRANGE, TRUE, 0)) << c.count;
    }
    host.SetProgressRange(5);
    host.StepProgress();
    host.StepProgress();
    EXPECT_EQ(2, (int)SendMessageA(bar, PBM_GETPOS, 0, 0));  // step 1
    host.ResetProgress();
    EXPECT_EQ(0, (int)SendMessageA(bar, PBM_GETPOS, 0, 0));
    host.SetMessageLine("line text");
    EXPECT_EQ("line text", ItemText(MakePdfProgressDialog, IDC_PDF_MESSAGE));

    // Once the dialog is gone the host writes nowhere.
    DestroyWindow(MakePdfProgressDialog);
    host.SetMessageLine("after");
    host.StepProgress();
    host.SetProgressRange(3);
    EXPECT_FALSE(IsWindow(MakePdfProgressDialog));
}

// Names outside the system code page (Cyrillic, Japanese) and a Latin one: added through
// the dialog, the PDF saved into a Cyrillic folder under the longest path, and a password
// typed in Japanese opens it (the options box is read as typed, then UTF-8).
TEST(MakePdf, UnicodeNamesFoldersAndPasswords)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("\xd0\xbf\xd0\xb0\xd0\xbf\xd0\xba\xd0\xb0");  // папка
    const char* names[] = {"\xd1\x84\xd0\xbe\xd1\x82\xd0\xbe.jpg",  // фото.jpg
                           "\xe5\x86\x99\xe7\x9c\x9f.png",            // 写真.png
                           "caf\xc3\xa9.jpg"};                         // café.jpg
    std::string typed;
    for (const char* name : names) {
        const char* format = strstr(name, ".png") ? "png" : "jpg";
        ASSERT_FALSE(WritePicture(folder, name, 120, 90, format).empty());
        typed += std::string(typed.empty() ? "\"" : " \"") + name + "\"";
    }
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    TypeIntoOpenDialog(typed);
    AddImagesFromFiles();
    ASSERT_EQ(3u, ImageCollection.size());
    for (int i = 0; i < 3; i++) EXPECT_EQ(folder + "\\" + names[i], ImageCollection[i].path);

    const char japanese[] = "\xe3\x83\x91\xe3\x82\xb9";  // パス
    WhenDialogAppears([&](HWND dialog) {
        SetWindowTextUtf8(GetDlgItem(dialog, IDC_OPT_PASSWORD), japanese);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ShowPdfOptions();
    EXPECT_STREQ(japanese, PdfSettings.password);

    // Saved as "отчёт.pdf" in a folder that makes the path 259 characters, the longest
    // there is (its temporary file beside it is longer still, and its UTF-8 far longer).
    const std::string name = "\\\xd0\xbe\xd1\x82\xd1\x87\xd1\x91\xd1\x82.pdf";
    int room = MaxPathChars - 2 - lstrlenW(WidePath(folder.c_str()).text) -
               lstrlenW(WidePath(name.c_str()).text);
    std::string sub = folder + "\\" + std::string(room, 'd');
    ASSERT_TRUE(CreateDirectoryW(WidePath(sub.c_str()).text, NULL));
    std::string target = sub + name;
    ASSERT_EQ(MaxPathChars - 1, lstrlenW(WidePath(target.c_str()).text));
    AnswerSaveDialog(target);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ(target, PdfPath);
    std::vector<uint8_t> bytes = FileBytes(target);
    ASSERT_TRUE(StartsAsPdf(target));
    PdfSummary pdf = SummarizePdf(bytes, japanese);
    EXPECT_TRUE(pdf.opened) << pdf.error;
    EXPECT_EQ(3u, pdf.pages.size());
    EXPECT_FALSE(SummarizePdf(bytes, "\xc6\x92p\xc6\x92X").opened);  // the code page 1252 reading
}
