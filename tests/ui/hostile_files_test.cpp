// Files that crash, hang or exhaust FreeImage, added through the open dialog after two
// photos: each is reported as unreadable (or, the one that hangs, as too slow), the two
// photos stay, the program keeps
// answering and its memory stays small, and the next picture is read as before.
#include "ui/gtest_win.h"

#include "ui/globals_win.h"

#include <psapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "import/add_images_win.h"
#include "import/import_batch_win.h"
#include "ui/ui_support_win.h"

namespace {

// The fuzzed files in tests/data/hostile, as Windows paths (Wine's Z: is /).
std::string HostileFile(const char* name)
{
    std::string path = std::string("Z:") + TOLVANE_TEST_DATA_DIR "/hostile/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string CopyInto(const std::string& folder, const char* name)
{
    std::string to = folder + "\\" + name;
    return CopyFileA(HostileFile(name).c_str(), to.c_str(), FALSE) ? to : "";
}

std::string WriteBytes(const std::string& folder, const char* name, const std::string& bytes)
{
    std::string path = folder + "\\" + name;
    return WriteTestFile(path, bytes.data(), bytes.size()) ? path : "";
}

}  // namespace

TEST(HostileFiles, EachIsReportedAsUnreadableAndTheListStays)
{
    HWND window = StartTolvane();
    ASSERT_TRUE(window != NULL);
    std::string folder = MakeTestFolder("hostile");
    WritePicture(folder, "a.jpg", 200, 100, "jpg");
    WritePicture(folder, "b.png", 90, 120, "png");
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    TypeIntoOpenDialog("\"a.jpg\" \"b.png\"");
    AddImagesFromFiles();
    ASSERT_EQ(2u, ImageCollection.size());

    const std::string cutXbm = "#define c_width 64\n#define c_height 64\nstatic char c_bits[] = {\n0x01,";
    const std::string hugeXbm =  // the comment once gave the size; FreeImage reads the defines
        "/* c_width 8 c_height 8 */\n#define c_width 200000\n#define c_height 200000\n"
        "static char c_bits[] = {\n0x01, 0x02 };\n";
    // A BMHD and no BODY, in a FORM whose size never runs out: FreeImage looks for the
    // BODY for ever.
    const std::string endlessIff("FORM\0\0\0\x21ILBMBMHD\0\0\0\x14"
                                 "\0\x02\0\x02\0\0\0\0\x08\0\0\0\0\0\x01\x01\0\x02\0\x02", 40);
    struct Case {
        const char* name;
        std::string path;
        const char* does;  // to FreeImage 3.18, in this program's own process before
    } cases[] = {
        {"A-xpm-sprintf-stack-overflow.xpm", CopyInto(folder, "A-xpm-sprintf-stack-overflow.xpm"), "crash"},
        {"J-psd-rle-overflow.psd", CopyInto(folder, "J-psd-rle-overflow.psd"), "crash"},
        {"C-exr-bigalloc.exr", CopyInto(folder, "C-exr-bigalloc.exr"), "endless header read"},
        {"M-openexr-bigalloc.exr", CopyInto(folder, "M-openexr-bigalloc.exr"), "5.2 GB"},
        {"one.pct", WriteBytes(folder, "one.pct", std::string(1, '\0')), "endless loop"},
        {"cut.xbm", WriteBytes(folder, "cut.xbm", cutXbm), "endless loop"},
        {"huge.xbm", WriteBytes(folder, "huge.xbm", hugeXbm), "5 GB"},
        {"endless.iff", WriteBytes(folder, "endless.iff", endlessIff), "hangs"},
        {"ext.wbmp", WriteBytes(folder, "ext.wbmp", std::string("\x00\x80\x80\x80\x80", 5)), "endless loop"},
    };
    std::string typed;
    for (const Case& c : cases) {
        ASSERT_FALSE(c.path.empty()) << c.name;
        typed += std::string("\"") + c.name + "\" ";
    }
    TypeIntoOpenDialog(typed);
    ProgressRecorder progress;
    DWORD started = GetTickCount();
    AddImagesFromFiles();
    printf("%d hostile files took %lu ms\n", (int)(sizeof cases / sizeof cases[0]),
           (unsigned long)(GetTickCount() - started));

    EXPECT_FALSE(DialogTimedOut());
    for (const Case& c : cases) {
        bool reported = false;
        const char* said = strcmp(c.does, "hangs") ? "Unknown File Format: " : "Took Too Long to Read: ";
        for (const std::string& m : progress.messages) reported |= m == said + c.path;
        EXPECT_TRUE(reported) << c.name << " (" << c.does << ")";
    
    }
    ASSERT_EQ(2u, ImageCollection.size());
    EXPECT_EQ(folder + "\\a.jpg", ImageCollection[0].path);
    EXPECT_EQ(folder + "\\b.png", ImageCollection[1].path);
    EXPECT_EQ(2, (int)SendMessageA(ImageListView, LVM_GETITEMCOUNT, 0, 0));
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
