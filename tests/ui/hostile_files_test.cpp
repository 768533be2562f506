// Files that crash, hang or exhaust FreeImage, added through the open dialog after two
// photos: each is reported as unreadable (or, the one that hangs, as too slow), the two
// photos stay, the program keeps answering and its memory stays small, and the next
// picture is read as before.
#include "ui/ui_support_win.h"

#include <psapi.h>

#include <algorithm>
#include <cstring>

TEST(HostileFiles, EachIsReportedAsUnreadableAndTheListStays)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = MakeTestFolder("hostile");
    const std::vector<std::string> photos = {WritePicture(folder, "a.jpg", 200, 100, "jpg"),
                                             WritePicture(folder, "b.png", 90, 120, "png")};
    AddThroughOpenDialog(folder, "\"a.jpg\" \"b.png\"");
    ASSERT_EQ(photos, CollectionPaths());

    const std::vector<HostileFile> files = HostileFiles(TOLVANE_TEST_DATA_DIR);
    std::string typed;
    for (const HostileFile& f : files) {
        const std::string path = folder + "\\" + f.name;
        ASSERT_TRUE(!f.bytes.empty() && WriteTestFile(path, f.bytes.data(), f.bytes.size())) << f.name;
        typed += "\"" + std::string(f.name) + "\" ";
    }
    ProgressRecorder progress;
    DWORD started = GetTickCount();
    AddThroughOpenDialog(folder, typed);
    printf("%d hostile files took %lu ms\n", (int)files.size(), GetTickCount() - started);
    for (const HostileFile& f : files) {
        const char* said = strcmp(f.does, "hangs") ? "Unknown File Format: " : "Took Too Long to Read: ";
        const std::string message = said + folder + "\\" + f.name;
        EXPECT_NE(progress.messages.end(),
                  std::find(progress.messages.begin(), progress.messages.end(), message))
            << f.name << " (" << f.does << ")";
    }
    EXPECT_EQ(photos, CollectionPaths());
    EXPECT_EQ(2, ItemCount());
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    PROCESS_MEMORY_COUNTERS memory;
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory));
    EXPECT_LT(memory.PeakWorkingSetSize, 500u << 20);

    // The decoders that died are replaced: the next picture is read as before.
    AddImageFile(WritePicture(folder, "c.png", 50, 50, "png").c_str());
    ASSERT_EQ(3u, ImageCollection.size());
    EXPECT_EQ(folder + "\\c.png", ImageCollection[2].path);
    SaveScreenshot(window, "hostile_files");
}
