// Benchmark, not run by ctest: what the Win32 import path adds per image on top of the
// core's thumbnail making. Run by hand on a folder of photos (bench/make-photos.sh):
//   TOLVANE_BENCH_PHOTOS='Z:\tmp\photos20' tests/ui/run-under-wine.sh build/win
//     build/win/ui_bench.exe
// Prints ms per image for: the core alone on bytes already in memory; MakeThumbnail
// (file read + core + CreateDIBitmap, all in this process, as before decoder processes);
// AddImageFile (one file at a time through a decoder process, + image list + entry +
// view); the import batch (two decoders working side by side, as Add Images runs it);
// then Make PDF of the batch's photos at the default settings through its save and
// progress dialogs, and the process's peak memory.
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <psapi.h>

#include <cstdio>
#include <vector>

#include "app/file_io_win.h"
#include "import/add_images_win.h"
#include "import/import_batch_win.h"
#include "import/thumbnail.h"
#include "import/thumbnail_win.h"
#include "listview/remove_win.h"
#include "pdf/make_pdf_win.h"

namespace {

std::vector<std::string> Photos(const std::string& folder)
{
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.jpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return paths;
    do paths.push_back(folder + "\\" + found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return paths;
}

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

}  // namespace

TEST(ImportBench, Win32PathAgainstTheCore)
{
    char folder[MAX_PATH] = "";
    GetEnvironmentVariableA("TOLVANE_BENCH_PHOTOS", folder, sizeof folder);
    std::vector<std::string> photos = Photos(folder);
    ASSERT_FALSE(photos.empty()) << "set TOLVANE_BENCH_PHOTOS to a folder of .jpg photos";
    ASSERT_TRUE(StartTolvane() != NULL);

    // One file's bytes at a time, so that the peak memory below is the program's own.
    static ThumbnailPixels pixels;
    double core = 0;
    for (int round = 0; round < 2; round++) {  // the first warms caches and decoder tables
        core = 0;
        for (const std::string& path : photos) {
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(ReadWholeFile(path.c_str(), &bytes));
            double start = Seconds();
            ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), path.c_str(), &pixels));
            core += Seconds() - start;
        }
    }
    double start = Seconds();
    for (const std::string& path : photos) {
        PictureRect rect;
        HBITMAP bitmap = MakeThumbnail(MainWindow, path.c_str(), &rect);
        ASSERT_TRUE(bitmap != NULL) << path;
        DeleteObject(bitmap);
    }
    double thumbnail = Seconds() - start;

    AddImageFile(photos[0].c_str());  // one file at a time, the view refreshed after each
    start = Seconds();
    for (const std::string& path : photos) AddImageFile(path.c_str());
    double add = Seconds() - start;
    ASSERT_EQ(photos.size() + 1, ImageCollection.size());

    // Add Images as the user runs it, from OK in the open dialog to the last thumbnail,
    // into an empty collection so that the PDF below holds the photos alone.
    LVITEMA all = {};
    all.stateMask = all.state = LVIS_SELECTED;
    SendMessageA(ImageListView, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&all);
    RemoveSelectedImages();
    std::string names;
    for (const std::string& path : photos) names += "\"" + path.substr(path.rfind('\\') + 1) + "\" ";
    CopyText(ImportDirectory, sizeof ImportDirectory, folder);
    static double okAt;
    auto pressOk = [](const std::string& typed) {
        WhenDialogAppears([typed](HWND dialog) {
            HWND box = GetDlgItem(dialog, 0x47C);  // the file-name box
            HWND edit = FindWindowExA(box, NULL, "Edit", NULL);
            SetWindowTextA(edit ? edit : box, typed.c_str());
            okAt = Seconds();
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        }, 60000);
    };
    pressOk(names);
    AddImagesFromFiles();
    double batch = Seconds() - okAt;
    EXPECT_FALSE(DialogTimedOut());
    ASSERT_EQ(photos.size(), ImageCollection.size());

    double n = (double)photos.size();
    printf("%d photos\n", (int)photos.size());
    printf("core on bytes in memory:   %7.1f ms/image\n", 1000 * core / n);
    printf("MakeThumbnail (read+DDB):  %7.1f ms/image  (%.3fx the core)\n", 1000 * thumbnail / n,
           thumbnail / core);
    printf("AddImageFile, one by one:  %7.1f ms/image  (%.3fx the core)\n", 1000 * add / n,
           add / core);
    printf("Add Images, from OK:       %7.1f ms/image  (%.3fx the core)\n", 1000 * batch / n,
           batch / core);

    // Make PDF at the default settings, from OK in the save dialog to the file written.
    const std::string target = MakeTestFolder("bench") + "\\tolvane-bench.pdf";
    pressOk(target);
    MakePdfCommand();
    double pdf = Seconds() - okAt;
    EXPECT_FALSE(DialogTimedOut());
    WIN32_FILE_ATTRIBUTE_DATA written;
    ASSERT_TRUE(GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &written));
    DeleteFileA(target.c_str());
    PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    printf("Make PDF (defaults):       %7.1f ms/image  PDF %.1f MB\n", 1000 * pdf / n,
           written.nFileSizeLow / 1e6);
    printf("peak memory (whole run):   %7.0f MB\n", memory.PeakWorkingSetSize / 1048576.0);
}
