// A running operation against everything else the user may do meanwhile: while it waits
// for a slow decoder, what would change the collection or start another operation is
// refused, Cancel ends the wait at once, and closing the window waits until it has
// stopped. A process that opens a decoder's pipe before the decoder is turned away.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <tlhelp32.h>
#include <winternl.h>

#include "decoder/host_win.h"
#include "platform/wide_text_win.h"
#include "import/import_batch_win.h"
#include "platform/message_loop_win.h"
#include "pdf/make_pdf_win.h"
#include "ui/operation_win.h"
#include "support/pdf_reader.h"

namespace {

void BeginDragOf(int item)
{
    NMLISTVIEW begin;
    ZeroMemory(&begin, sizeof begin);
    begin.hdr = {ImageListView, IDC_IMAGE_LIST_VIEW, (UINT)LVN_BEGINDRAG};
    begin.iItem = item;
    SendMessageA(MainWindow, WM_NOTIFY, IDC_IMAGE_LIST_VIEW, (LPARAM)&begin);
}

// The command line of a process, read from its own memory.
std::string CommandLineOf(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_BASIC_INFORMATION basic;
    PEB peb;
    RTL_USER_PROCESS_PARAMETERS parameters;
    WCHAR text[1024] = {0};
    if (process &&
        !NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, NULL) &&
        ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, NULL) &&
        ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, NULL))
        ReadProcessMemory(process, parameters.CommandLine.Buffer, text,
                          std::min<size_t>(parameters.CommandLine.Length, sizeof text - 2), NULL);
    if (process) CloseHandle(process);
    char utf8[2048];
    return WideToUtf8(text, utf8, sizeof utf8);
}

// The pipe name on the command line of a decoder of this program whose pipe waits for it,
// or "".
std::string DecoderPipeName()
{
    char self[MAX_PATH];
    const std::string program(self, GetModuleFileNameA(NULL, self, sizeof self));
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {sizeof entry};
    std::string name;
    for (BOOL more = Process32First(snapshot, &entry); more && name.empty();
         more = Process32Next(snapshot, &entry)) {
        std::string line = CommandLineOf(entry.th32ProcessID);
        const std::string decoder = program + "\" /decoder ";  // Wine tells no parent
        size_t at = line.find(decoder);
        if (at != std::string::npos) name = line.substr(at + decoder.size(), 64);
        name = name.substr(0, name.find(' '));
        if (!name.empty() && !WaitNamedPipeA(name.c_str(), 1)) name.clear();  // an older one's
    }
    CloseHandle(snapshot);
    return name;
}

}  // namespace

TEST(Busy, MakePdfRefusesEveryChangeWhileItWaitsAndCancelEndsTheWaitAtOnce)
{
    ASSERT_TRUE(StartWithImages(3));
    const std::string folder = MakeTestFolder("busy"), target = folder + "\\busy.pdf";
    TestData more({WritePicture(folder, "more.png", 40, 40)});
    SlowDecodersDown(60000);  // only a Cancel ends these waits
    bool tried = false;
    int ticks = 0;
    WhenReady(
        [&] {
            tried = true;
            SelectItems({0});
            SendMessageA(MainWindow, WM_COMMAND, IDM_REMOVE, 0);
            SendMessageA(MainWindow, WM_COMMAND, IDM_MAKE_PDF, 0);  // would show a save dialog
            EXPECT_EQ((DWORD)DROPEFFECT_NONE, DropOnList(&more));
            BeginDragOf(1);
            EXPECT_EQ(0, DragActive);
            EXPECT_EQ("0,1,2", CollectionOrder());
            SendMessageA(MakePdfProgressDialog, WM_COMMAND, IDCANCEL, 0);
            PumpPendingMessages();  // what the Cancel asked of the main window
            EXPECT_FALSE(IsWindowEnabled(MainWindow)) << "handed back before the build stopped";
        },
        // Inside a wait for a decoder: the first pump of the build handles one tick at most.
        [&ticks] { return RunningOperation() != NoOperation && ++ticks == 2; });
    AnswerSaveDialog(target);
    const DWORD started = GetTickCount();
    MakePdfCommand();
    // Without the Cancel the wait would last until a decoder's start (15 s) had passed.
    EXPECT_LT(GetTickCount() - started, 10000u) << "the Cancel did not end the wait";
    EXPECT_TRUE(tried);
    EXPECT_TRUE(ReadTestFile(target).empty());
    EXPECT_TRUE(IsWindowEnabled(MainWindow) && !IsWindow(MakePdfProgressDialog));
    EXPECT_EQ(0, PdfBuildActive);

    SlowDecodersDown(0);
    SelectItems({0});
    SendMessageA(MainWindow, WM_COMMAND, IDM_REMOVE, 0);
    AnswerSaveDialog(target);
    MakePdfCommand();
    const std::string bytes = ReadTestFile(target);
    PdfReadBack pdf = ReadPdf(ByteVec(bytes.begin(), bytes.end()));
    EXPECT_EQ(2u, pdf.pages.size()) << pdf.error;
}

TEST(Busy, ClosingTheWindowDuringAnImportCancelsItThenCloses)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    const std::string folder = MakeTestFolder("closing");
    TestData files({WritePicture(folder, "a.png", 40, 40), WritePicture(folder, "b.png", 40, 40)});
    SlowDecodersDown(60000);
    WhenReady([] {
        SendMessageA(MainWindow, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(MainWindow)) << "closed under the running import";
    });
    const DWORD started = GetTickCount();
    DropOnList(&files);
    EXPECT_LT(GetTickCount() - started, 10000u) << "the close did not end the wait";
    EXPECT_TRUE(ImageCollection.empty());
    FlushMessages();
    EXPECT_FALSE(IsWindow(MainWindow));
    SlowDecodersDown(0);
}

TEST(Busy, TheQuitMessageDuringAnImportEndsItsWait)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    TestData file({WritePicture(MakeTestFolder("quit"), "a.png", 40, 40)});
    SlowDecodersDown(60000);
    WhenReady([] { PostQuitMessage(0); });
    const DWORD started = GetTickCount();
    DropOnList(&file);
    EXPECT_LT(GetTickCount() - started, 10000u) << "the wait went on";
    EXPECT_TRUE(QuitRequested() && ImageCollection.empty());
    SlowDecodersDown(0);
}

// The decoder here reads its file later than a thumbnail may take: the reading does not
// count against the decoding.
TEST(Busy, AProcessThatOpensTheDecoderPipeFirstIsTurnedAway)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    const std::string folder = MakeTestFolder("impostor"), record = folder + "\\impostor.txt";
    const std::string picture = WritePicture(folder, "a.png", 40, 40);
    SlowDecodersDown(ThumbnailTimeLimitMs + 1000);
    PROCESS_INFORMATION started = {};
    std::string pipe;
    WhenReady(
        [&] {
            char program[MAX_PATH];
            GetModuleFileNameA(NULL, program, sizeof program);
            std::string line = "\"" + std::string(program) + "\" /impostor " + pipe + " " + record;
            STARTUPINFOA startup = {sizeof startup};
            EXPECT_TRUE(CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL,
                                       &startup, &started));
        },
        [&] { return !(pipe = DecoderPipeName()).empty(); });
    AddImageFile(picture.c_str());
    ASSERT_EQ(1u, ImageCollection.size());
    // Under Wine a Winelib program starts through a launcher: there is no handle to wait on.
    for (int i = 0; i < 300 && ReadTestFile(record).empty(); i++) Sleep(100);
    EXPECT_EQ("connected, then turned away", ReadTestFile(record));
    SlowDecodersDown(0);
}
