// A running operation against everything else the user may do meanwhile: while it waits
// for a slow decoder, what would change the collection or start another operation is
// refused, Cancel ends the wait at once, and closing the window waits until it has
// stopped. A process that opens a decoder's pipe before the decoder is turned away.
#include "ui/ui_support_win.h"

#include "platform/message_loop_win.h"

TEST(Busy, ChangesAreRefusedWhileMakePdfWaitsAndCancelOrClosingEndsTheWaitAtOnce)
{
    ASSERT_TRUE(StartWithImages(3));
    const std::string folder = MakeTestFolder("busy"), target = folder + "\\busy.pdf";
    TestData more({WritePicture(folder, "more.png", 40, 40)});
    SlowDecodersDown(60000);  // only a Cancel ends these waits
    bool tried = false;
    WhenOperationRuns([&] {
        tried = true;
        SelectItems({0});
        SendMessageA(MainWindow, WM_COMMAND, IDM_REMOVE, 0);
        SendMessageA(MainWindow, WM_COMMAND, IDM_MAKE_PDF, 0);  // would show a save dialog
        EXPECT_EQ((DWORD)DROPEFFECT_NONE, DropOnList(&more));
        BeginDrag(1);
        EXPECT_EQ(0, DragActive);
        EXPECT_EQ("0,1,2", CollectionOrder());
        SendMessageA(MakePdfProgressDialog, WM_COMMAND, IDCANCEL, 0);
        PumpPendingMessages();  // what the Cancel asked of the main window
        EXPECT_FALSE(IsWindowEnabled(MainWindow)) << "handed back before the build stopped";
    });
    TypeIntoFileDialog(target);
    DWORD started = GetTickCount();
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
    TypeIntoFileDialog(target);
    MakePdfCommand();
    PdfReadBack pdf = ReadPdf(ReadTestFile(target));
    EXPECT_EQ(2u, pdf.pages.size()) << pdf.error;

    // Closing the window during an import cancels it, then closes.
    TestData files({WritePicture(folder, "a.png", 40, 40), WritePicture(folder, "b.png", 40, 40)});
    SlowDecodersDown(60000);
    WhenOperationRuns([] {
        SendMessageA(MainWindow, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(MainWindow)) << "closed under the running import";
    });
    started = GetTickCount();
    DropOnList(&files);
    EXPECT_LT(GetTickCount() - started, 10000u) << "the close did not end the wait";
    EXPECT_EQ("1,2", CollectionOrder());
    FlushMessages();
    EXPECT_FALSE(IsWindow(MainWindow));
    SlowDecodersDown(0);
}

TEST(Busy, TheQuitMessageDuringAnImportEndsItsWait)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    TestData file({WritePicture(MakeTestFolder("quit"), "a.png", 40, 40)});
    SlowDecodersDown(60000);
    WhenOperationRuns([] { PostQuitMessage(0); });
    const DWORD started = GetTickCount();
    DropOnList(&file);
    EXPECT_LT(GetTickCount() - started, 10000u) << "the wait went on";
    EXPECT_TRUE(QuitRequested() && ImageCollection.empty());
    SlowDecodersDown(0);
}

// The decoder here reads its file later than a thumbnail may take: the reading does not
// count against the decoding. The impostor, started first, takes the pipe of the first
// decoder started (its test program notes the pipe's name) as soon as that pipe waits.
TEST(Busy, AProcessThatOpensTheDecoderPipeFirstIsTurnedAway)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    const std::string folder = MakeTestFolder("impostor");
    SlowDecodersDown(ThumbnailTimeLimitMs + 1000);
    SetEnvironmentVariableA(PIPE_RECORD_VARIABLE, (folder + "\\pipes.txt").c_str());
    char program[MAX_PATH];
    GetModuleFileNameA(NULL, program, sizeof program);
    std::string line = "\"" + std::string(program) + "\" /impostor " + folder;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started));
    AddImageFile(WritePicture(folder, "a.png", 40, 40).c_str());
    ASSERT_EQ(1u, ImageCollection.size());
    // Under Wine a Winelib program starts through a launcher: there is no handle to wait on.
    EXPECT_EQ("connected, then turned away", WaitForFileBytes(folder + "\\impostor.txt", 30000));
    SlowDecodersDown(0);
}
