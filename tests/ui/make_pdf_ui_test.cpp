// Make PDF end to end at the platform's boundaries: the real save dialog, the file on
// disk read back, the shell's "open", the mail through MAPI, and a save that fails.
#include "ui/ui_support_win.h"

#include <mapi.h>

#include <cstring>

#include "ui/progress_win.h"
#include "platform/wide_text_win.h"
#include "pdf/options_win.h"

namespace {

// The shell's "open" for .pdf copies the file to a marker, through an association
// registered for the test; Wine's own is put back afterwards.
class ShellOpenRecorder {
public:
    explicit ShellOpenRecorder(const std::string& marker) : marker(marker)
    {
        LONG size = sizeof previous_;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, ".pdf", previous_, &size) != ERROR_SUCCESS)
            previous_[0] = 0;
        std::string command = "cmd.exe /c copy /y \"%1\" \"" + marker + "\"";
        ok = RegSetValueA(HKEY_CLASSES_ROOT, "TolvaneTest.Open\\shell\\open\\command", REG_SZ,
                          command.c_str(), (DWORD)command.size()) == ERROR_SUCCESS &&
             RegSetValueA(HKEY_CLASSES_ROOT, ".pdf", REG_SZ, "TolvaneTest.Open", 16) == ERROR_SUCCESS;
    }
    ~ShellOpenRecorder()
    {
        if (previous_[0]) RegSetValueA(HKEY_CLASSES_ROOT, ".pdf", REG_SZ, previous_, strlen(previous_));
        else RegDeleteKeyA(HKEY_CLASSES_ROOT, ".pdf");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "TolvaneTest.Open");
    }
    std::string marker;
    bool ok = false;

private:
    char previous_[MAX_PATH];
};

std::string Mail, MailWaitsFor;

}  // namespace

// This test program stands in for MAPI32.DLL (it exports MAPISendMail: tests/ui/ui_tests.def)
// as the program's MapiLibrary. The flags and each attached file's path and name go into
// Mail, after waiting up to 5 s for MailWaitsFor to be written: whether the program had
// started it before asking for the mail.
extern "C" ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR, lpMapiMessage message, FLAGS flags,
                                     ULONG)
{
    Mail += "flags=" + std::to_string(flags);
    for (ULONG i = 0; message && message->lpFiles && i < message->nFileCount; i++) {
        const MapiFileDesc& file = message->lpFiles[i];
        Mail += std::string("|path=") + file.lpszPathName + "|name=" + file.lpszFileName;
    }
    Mail += WaitForFileBytes(MailWaitsFor, 5000).empty() ? "|waited=no\n" : "|waited=yes\n";
    return SUCCESS_SUCCESS;
}

// Pictures with Cyrillic and Japanese names go through the decoders into the PDF, which is
// saved as "отчёт.pdf" into a Cyrillic folder under the longest path there is (259
// characters; its temporary file is longer still, its UTF-8 far longer), locked with a
// password typed in Japanese (the options box is read as typed, then kept as UTF-8).
// Then the file held open by a viewer, or no temporary folder for the pictures to wait
// in: the save fails and says why, and the file that was there stays.
TEST(MakePdf, UnicodeNamesFoldersAndPasswordsAndAFailedSaveKeepsTheExistingFileAndSaysSo)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("\xd0\xbf\xd0\xb0\xd0\xbf\xd0\xba\xd0\xb0");  // папка
    for (const char* name : {"\xd1\x84\xd0\xbe\xd1\x82\xd0\xbe.jpg", "\xe5\x86\x99\xe7\x9c\x9f.png"})
        AddImageFile(WritePicture(folder, name, 120, 90, strrchr(name, '.') + 1).c_str());
    ASSERT_EQ(2u, ImageCollection.size());
    const char japanese[] = "\xe3\x83\x91\xe3\x82\xb9";  // パス
    WhenDialogAppears([&](HWND dialog) {
        SetWindowTextUtf8(GetDlgItem(dialog, IDC_OPT_PASSWORD), japanese);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ShowPdfOptions();
    EXPECT_STREQ(japanese, PdfSettings.password);

    const std::string name = "\\\xd0\xbe\xd1\x82\xd1\x87\xd1\x91\xd1\x82.pdf";
    int room = MaxPathChars - 2 - lstrlenW(WidePath(folder.c_str()).text) -
               lstrlenW(WidePath(name.c_str()).text);
    std::string sub = folder + "\\" + std::string(room, 'd'), target = sub + name;
    ASSERT_TRUE(CreateDirectoryW(WidePath(sub.c_str()).text, NULL));
    ASSERT_EQ(MaxPathChars - 1, lstrlenW(WidePath(target.c_str()).text));
    TypeIntoFileDialog(target);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ(target, PdfPath);
    const std::string bytes = ReadTestFile(target);
    PdfReadBack pdf = ReadPdf(bytes, japanese);
    ASSERT_TRUE(pdf.opened) << pdf.error;
    EXPECT_EQ(2u, pdf.pages.size());
    EXPECT_EQ(1u, pdf.pages[1].images.size()) << "the Japanese-named picture was decoded";
    EXPECT_FALSE(ReadPdf(bytes, "\xc6\x92p\xc6\x92X").opened);

    for (bool heldOpen : {true, false}) {
        SCOPED_TRACE(heldOpen ? "held open" : "no temporary folder");
        const std::string kept = folder + (heldOpen ? "\\locked.pdf" : "\\no temp.pdf");
        ASSERT_TRUE(WriteTestFile(kept, "older", 5));
        // Held open without sharing: Wine then refuses to replace it.
        HANDLE held = heldOpen ? CreateFileW(WidePath(kept.c_str()).text, GENERIC_READ, 0, NULL,
                                             OPEN_EXISTING, 0, NULL)
                               : INVALID_HANDLE_VALUE;
        for (const WCHAR* variable : {L"TMP", L"TEMP"})
            SetEnvironmentVariableW(variable, heldOpen ? NULL : WidePath((folder + "\\gone").c_str()).text);
        std::string boxText;
        TypeIntoFileDialog(kept);
        WhenDialogAppears([](HWND question) { SendMessageA(question, WM_COMMAND, IDYES, 0); });
        WhenDialogAppears([&](HWND box) {
            boxText = WindowText(GetDlgItem(box, 0xFFFF));
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        });
        MakePdfCommand();
        if (heldOpen) CloseHandle(held);
        EXPECT_FALSE(DialogTimedOut());
        EXPECT_EQ(0u, boxText.find("PDF Save Failed. ")) << boxText;  // why, in the system's words
        EXPECT_GT(boxText.size(), strlen("PDF Save Failed. ") + 4) << boxText;
        EXPECT_EQ("older", ReadTestFile(kept));
        EXPECT_EQ(boxText, WindowText(GetDlgItem(MakePdfProgressDialog, IDC_PDF_MESSAGE)));
        SendMessageA(MakePdfProgressDialog, WM_COMMAND, IDCANCEL, 0);
        FlushMessages();
        EXPECT_TRUE(IsWindowEnabled(MainWindow));
        EXPECT_EQ(0, PdfBuildActive);
    }
}

// The decoders make pictures side by side: they still land in order, one gone bad since
// it was added is skipped, and Cancel in the middle ends the run and its decoders, after
// which the next run is whole; that PDF is opened in the shell's viewer, then mailed.
TEST(MakePdf, PicturesLandInOrderCancelStopsTheDecodersAndTheWholePdfIsOpenedThenMailed)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    const std::string folder = MakeTestFolder("order");
    const int widths[] = {320, 200, 280, 240, 360, 160};
    for (int i = 0; i < 6; i++) {
        const std::string name = "p" + std::to_string(i) + ".jpg";
        AddImageFile(WritePicture(folder, name.c_str(), widths[i], 120, "jpg").c_str());
    }
    ASSERT_EQ(6u, ImageCollection.size());
    ASSERT_TRUE(WriteTestFile(ImageCollection[2].path, "broken", 6));
    const std::string plain = ReadTestFile(ImageCollection[5].path);  // given an Exif block
    const ByteVec exif = WithExifOrientation(ByteVec(plain.begin(), plain.end()), 1);
    ASSERT_TRUE(WriteTestFile(ImageCollection[5].path, (const char*)exif.data(), exif.size()));
    ShellOpenRecorder opened(folder + "\\opened.pdf");
    ASSERT_TRUE(opened.ok);
    const std::string target = folder + "\\for mail.pdf";
    MapiLibrary = GetModuleHandleA(NULL);
    MailWaitsFor = opened.marker;
    PdfSettings.imageQuality = 1.0;  // full size: each picture keeps its width
    PdfSettings.layout = LayoutFourPerPage;
    PdfSettings.openAfterCreation = PdfSettings.mailAfterCreation = 1;

    ProgressRecorder progress;
    progress.onStep = [&] {
        if (progress.steps == 3) PostMessageA(MakePdfProgressDialog, WM_COMMAND, IDCANCEL, 0);
    };
    TypeIntoFileDialog(target);
    MakePdfCommand();
    EXPECT_FALSE(DialogTimedOut());
    EXPECT_EQ(3, progress.steps);
    EXPECT_TRUE(ReadTestFile(target).empty());
    EXPECT_EQ(0, PdfBuildActive);

    progress.onStep = nullptr;
    TypeIntoFileDialog(target);
    MakePdfCommand();
    const std::string bytes = ReadTestFile(target);
    PdfReadBack pdf = ReadPdf(bytes);
    ASSERT_TRUE(pdf.opened) << pdf.error;
    ASSERT_EQ(2u, pdf.pages.size());
    EXPECT_EQ(4u, pdf.pages[0].images.size());
    std::vector<int> placed;
    for (const PdfPage& page : pdf.pages)
        for (const PdfRect& r : page.images) placed.push_back(r.pixelWidth);
    EXPECT_EQ(std::vector<int>({320, 200, 240, 360, 160}), placed);
    EXPECT_EQ(plain, pdf.pages[1].images[0].data) << "at Highest, the file's JPEG less its metadata";
    EXPECT_EQ(bytes, WaitForFileBytes(opened.marker, 5000)) << "the shell was not asked to open it";
    // 8: MAPI_DIALOG, the user writes the message; waited: the viewer was started first.
    EXPECT_EQ("flags=8|path=" + target + "|name=for mail.pdf|waited=yes\n", Mail);
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_EQ(0, PdfBuildActive);
}
