// Adding pictures: Add Images through the real open dialog (hostile files included), and
// files dropped on the list through the registered drop target with a shell-style file
// list in global memory.
#include "ui/ui_support_win.h"

#include <psapi.h>

#include <algorithm>
#include <cstring>

namespace {

void ExpectImportClosed()
{
    EXPECT_EQ(0, ImportActive);
    EXPECT_TRUE(IsWindowEnabled(MainWindow));
    EXPECT_FALSE(IsWindow(AddImagesProgressDialog));
    EXPECT_EQ((int)ImageCollection.size(), ItemCount());
}

}  // namespace

// Chosen files are added in order and what is not a picture is reported. Then files that
// crash, hang or exhaust FreeImage: each is reported as unreadable (or, the one that
// hangs, as too slow), the pictures stay, the program keeps answering and its memory
// stays small, and the next pictures are read as before.
TEST(AddImages, ChosenFilesAreAddedInOrderAndWhatIsNotAPictureOrHostileIsReported)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("add");
    const std::vector<std::string> pictures = {WritePicture(folder, "a.png", 80, 60),
                                               WritePicture(folder, "c.jpg", 60, 80, "jpg")};
    std::string bad = folder + "\\b.jpg";
    WriteTestFile(bad, "not a picture", 13);
    ProgressRecorder progress;
    AddThroughOpenDialog(folder, "\"a.png\" \"b.jpg\" \"c.jpg\"");
    EXPECT_EQ(pictures, CollectionPaths());
    EXPECT_EQ("Processing File 003 of 003", progress.statuses.back());
    EXPECT_EQ(1, std::count(progress.messages.begin(), progress.messages.end(),
                            "Unknown File Format: " + bad));
    EXPECT_EQ(3, progress.steps);
    ExpectImportClosed();
    EXPECT_EQ("Images: 002", StatusText(1));

    const std::vector<HostileFile> files = HostileFiles(TOLVANE_TEST_DATA_DIR);
    std::string typed;
    for (const HostileFile& f : files) {
        const std::string path = folder + "\\" + f.name;
        ASSERT_TRUE(!f.bytes.empty() && WriteTestFile(path, f.bytes.data(), f.bytes.size())) << f.name;
        typed += "\"" + std::string(f.name) + "\" ";
    }
    DWORD started = GetTickCount();
    AddThroughOpenDialog(folder, typed);
    printf("%d hostile files took %lu ms\n", (int)files.size(), (unsigned long)(GetTickCount() - started));
    for (const HostileFile& f : files) {
        const char* said = strcmp(f.does, "hangs") ? "Unknown File Format: " : "Took Too Long to Read: ";
        EXPECT_EQ(1, std::count(progress.messages.begin(), progress.messages.end(),
                                said + folder + "\\" + f.name))
            << f.name << " (" << f.does << ")";
    }
    EXPECT_EQ(pictures, CollectionPaths());
    ExpectImportClosed();
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    PROCESS_MEMORY_COUNTERS memory;
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory));
    EXPECT_LT(memory.PeakWorkingSetSize, 500u << 20);

    // The decoders that died are replaced: the next pictures are read as before, a phone's
    // photo (tests/data/heif) upright with its red corner top left.
    const std::string phone = folder + "\\IMG_0001.HEIC", heic = ReadWholeFile(TOLVANE_TEST_DATA_DIR "/heif/iphone-like.heic");
    ASSERT_TRUE(WriteTestFile(phone, heic.data(), heic.size()));
    AddImageFile(WritePicture(folder, "d.png", 50, 50, "png").c_str());
    AddImageFile(phone.c_str());
    ASSERT_EQ(4u, ImageCollection.size());
    EXPECT_EQ(folder + "\\d.png", ImageCollection[2].path);
    const std::vector<uint8_t> shown = ThumbnailAsShown(3);
    EXPECT_TRUE(Near(Red, ThumbPixel(shown.data(), 17, 5)) && Near(Rgb{32, 96, 192}, ThumbPixel(shown.data(), 78, 90)));
    SaveScreenshot(MainWindow, "hostile_files");
}

TEST(DropTarget, FilesAreAddedInDropOrderBadListsAndBusyTimesRefused)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("drop");
    std::vector<std::string> files = {WritePicture(folder, "c.png", 90, 60),
                                      WritePicture(folder, "a.gif", 60, 90, "gif"), folder,
                                      WritePicture(folder, "b.bmp", 70, 70, "bmp")};
    TestData text(files, TestData::TextOnly), damaged(files, TestData::DamagedList);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, DropOnList(&text));
    EXPECT_EQ(0, text.gets);
    DropOnList(&damaged);  // the list's offset points outside its block: nothing is read
    EXPECT_TRUE(ImageCollection.empty());
    ExpectImportClosed();

    const std::string tooLong = folder + "\\" + std::string(MaxPathChars, 'x') + ".png";
    files.insert(files.begin() + 2, tooLong);
    TestData data(files);
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, DropOnList(&data, DROPEFFECT_MOVE)) << "never a move";
    EnableWindow(MainWindow, FALSE);  // as a modal dialog of the main window does
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, DropOnList(&data));
    EnableWindow(MainWindow, TRUE);
    EXPECT_EQ(0, data.gets);
    DWORD nested = 99;
    ProgressRecorder progress;
    progress.onStatus = [&](const std::string&) { nested = DropOnList(&damaged); };
    EXPECT_EQ((DWORD)DROPEFFECT_COPY, DropOnList(&data));
    EXPECT_EQ((DWORD)DROPEFFECT_NONE, nested) << "a drop during an import";
    EXPECT_EQ((std::vector<std::string>{files[0], files[1], files[4]}), CollectionPaths());
    EXPECT_EQ(1, std::count(progress.messages.begin(), progress.messages.end(),
                            "Unknown File Format: " + folder));  // a folder is no picture
    EXPECT_EQ(1, std::count_if(progress.messages.begin(), progress.messages.end(),
                               [](const std::string& m) { return m.find("Path Too Long: ") == 0; }));
    ExpectImportClosed();
}

// A phone's folder of 2,000 Cyrillic names and two more (Japanese, Latin with an accent):
// about 26,000 characters chosen, far beyond the dialog's first buffer. Every name arrives
// whole, never as '?', chosen in the open dialog and dropped as the shell drops them
// (UTF-16). Cancel during the fourth file keeps the three before it: the file being read
// when Cancel comes is not waited for.
TEST(AddImages, TwoThousandNamesOutsideTheCodePageByDialogCancelledAtTheFourthAndDrop)
{
    ASSERT_TRUE(StartTolvane() != NULL);
    std::string folder = MakeTestFolder("\xe5\x86\x99\xe7\x9c\x9f");  // 写真
    std::vector<std::string> files = {WritePicture(folder, "\xe5\x86\x99\xe7\x9c\x9f.png", 60, 40),
                                      WritePicture(folder, "caf\xc3\xa9.gif", 60, 40, "gif")};
    std::string typed = "\"\xe5\x86\x99\xe7\x9c\x9f.png\" \"caf\xc3\xa9.gif\"";  // 写真.png café.gif
    std::vector<uint8_t> jpeg = MakeTestImageBytes(8, 8, "jpg");
    for (int i = 0; i < 2000; i++) {
        char name[40];
        snprintf(name, sizeof name, "\xd1\x84\xd0\xbe\xd1\x82\xd0\xbe_%04d.jpg", i);  // фото_0000.jpg
        ASSERT_TRUE(WriteTestFile(folder + "\\" + name, jpeg.data(), jpeg.size()));
        typed += std::string(" \"") + name + "\"";
        if (i == 0) files.push_back(folder + "\\" + name);
    }
    ProgressRecorder progress;
    progress.onStatus = [](const std::string& status) {
        if (status == "Processing File 004 of 2002")
            SendMessageA(GetDlgItem(AddImagesProgressDialog, IDC_ADD_CANCEL), BM_CLICK, 0, 0);
    };
    AddThroughOpenDialog(folder, typed, 60000);  // Wine's dialog takes its time over 2,000 names
    EXPECT_EQ("Processing File 001 of 2002", progress.statuses.at(0)) << "the selection was lost";
    EXPECT_EQ(files, CollectionPaths());
    ExpectImportClosed();
    TestData data(files, TestData::WideFileList);
    progress.messages.clear();
    DropOnList(&data);
    std::vector<std::string> all = CollectionPaths();
    EXPECT_EQ(files, std::vector<std::string>(all.begin() + 3, all.end())) << "dropped after";
    EXPECT_EQ("Making Thumbnail for: " + files[0], progress.messages.at(0));
    ExpectImportClosed();
}
