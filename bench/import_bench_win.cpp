// Benchmark, not run by ctest: the program's own Add Images and Make PDF code paths with
// their real windows, on a folder of photos (bench/make-photos.sh; the *.jpg files, or
// those TOLVANE_BENCH_FILES names, e.g. p*.heic); bench/compare.sh runs it beside the
// peers. By hand:
//   TOLVANE_BENCH_PHOTOS='Z:\\tmp\\photos20' tests/ui/run-under-wine.sh build/win
//     build/win/ui_bench.exe
// Bench.PerFileCosts prints ms per photo for the core alone on bytes in memory,
// a thumbnail made in this process (file read + core + CreateDIBitmap) and AddImageFile (one
// file at a time through a decoder process, the view refreshed after each).
// Bench.AddImagesThenMakePdf adds the photos through the open dialog and makes the PDF
// through the save dialog, each timed from OK, at the default settings or at
// TOLVANE_BENCH_QUALITY (0..1) with TOLVANE_BENCH_PASSWORD, and prints this process's
// peak memory (the decoder processes are measured from outside); the PDF is then deleted,
// or moved to TOLVANE_BENCH_KEEP.
#include "ui/ui_support_win.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "decoder/host_win.h"
#include "platform/file_io_win.h"
#include "import/add_images_win.h"
#include "import/import_batch_win.h"
#include "picture/thumbnail.h"
#include "ui/thumbnail_win.h"
#include "pdf/make_pdf_win.h"

namespace {

std::vector<std::string> Photos(std::string* folder)
{
    char text[MAX_PATH] = "", files[64] = "*.jpg";
    GetEnvironmentVariableA("TOLVANE_BENCH_PHOTOS", text, sizeof text);
    GetEnvironmentVariableA("TOLVANE_BENCH_FILES", files, sizeof files);
    *folder = text;
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((*folder + "\\" + files).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return paths;
    do paths.push_back(*folder + "\\" + found.cFileName);
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

double OkPressedAt;

// Types into the next open or save dialog and presses OK, noting when.
void PressOk(const std::string& typed)
{
    WhenDialogAppears([typed](HWND dialog) {
        HWND box = GetDlgItem(dialog, 0x47C);  // the file-name box
        HWND edit = FindWindowExA(box, NULL, "Edit", NULL);
        SetWindowTextA(edit ? edit : box, typed.c_str());
        OkPressedAt = Seconds();
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    }, 60000);
}

}  // namespace

TEST(Bench, PerFileCosts)
{
    std::string folder;
    std::vector<std::string> photos = Photos(&folder);
    ASSERT_FALSE(photos.empty()) << "set TOLVANE_BENCH_PHOTOS to a folder of .jpg photos";
    ASSERT_TRUE(StartTolvane() != NULL);

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
    for (const std::string& path : photos) {  // read, made in this process, made a bitmap
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(path.c_str(), &bytes));
        ASSERT_TRUE(MakeThumbnailPixels(bytes.data(), bytes.size(), path.c_str(), &pixels));
        ASSERT_TRUE(ThumbnailBitmap(MainWindow, &pixels).Get() != NULL) << path;
    }
    double thumbnail = Seconds() - start;
    AddImageFile(photos[0].c_str());  // the decoder process starts
    start = Seconds();
    for (const std::string& path : photos) AddImageFile(path.c_str());
    double add = Seconds() - start;
    ASSERT_EQ(photos.size() + 1, ImageCollection.size());

    const double n = (double)photos.size();
    printf("%d photos\n", (int)photos.size());
    printf("core on bytes in memory:   %7.1f ms/image\n", 1000 * core / n);
    printf("in process (read+DDB):     %7.1f ms/image  (%.3fx the core)\n", 1000 * thumbnail / n,
           thumbnail / core);
    printf("AddImageFile, one by one:  %7.1f ms/image  (%.3fx the core)\n", 1000 * add / n,
           add / core);
}

TEST(Bench, AddImagesThenMakePdf)
{
    std::string folder;
    std::vector<std::string> photos = Photos(&folder);
    ASSERT_FALSE(photos.empty()) << "set TOLVANE_BENCH_PHOTOS to a folder of .jpg photos";
    ASSERT_TRUE(StartTolvane() != NULL);
    char text[64] = "";
    if (GetEnvironmentVariableA("TOLVANE_BENCH_QUALITY", text, sizeof text))
        PdfSettings.imageQuality = atof(text);
    GetEnvironmentVariableA("TOLVANE_BENCH_PASSWORD", PdfSettings.password,
                            sizeof PdfSettings.password);

    std::string names;
    for (const std::string& path : photos) names += "\"" + path.substr(path.rfind('\\') + 1) + "\" ";
    CopyText(ImportDirectory, sizeof ImportDirectory, folder.c_str());
    PressOk(names);
    AddImagesFromFiles();
    const double add = Seconds() - OkPressedAt;
    EXPECT_FALSE(DialogTimedOut());
    ASSERT_EQ(photos.size(), ImageCollection.size());

    const std::string target = MakeTestFolder("bench") + "\\tolvane-bench.pdf";
    PressOk(target);
    MakePdfCommand();
    const double pdf = Seconds() - OkPressedAt;
    EXPECT_FALSE(DialogTimedOut());
    WIN32_FILE_ATTRIBUTE_DATA written;
    ASSERT_TRUE(GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &written));
    char keep[MAX_PATH] = "";  // TOLVANE_BENCH_KEEP: where the PDF goes, to be read
    if (!GetEnvironmentVariableA("TOLVANE_BENCH_KEEP", keep, sizeof keep) ||
        !MoveFileExA(target.c_str(), keep, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        DeleteFileA(target.c_str());
    PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::string decoders;  // those still running: one is ended when Make PDF goes alone
    for (int slot = 0; slot < DecoderCount; slot++)
        if (SIZE_T peak = DecoderPeakBytes(slot))
            decoders += " " + std::to_string(peak >> 20) + " MB";

    const double n = (double)photos.size();
    printf("%d photos, quality %.2f%s\n", (int)photos.size(), PdfSettings.imageQuality,
           PdfSettings.password[0] ? ", password" : "");
    printf("Add Images, from OK:       %7.1f ms/image\n", 1000 * add / n);
    printf("Make PDF, from OK:         %7.1f ms/image  PDF %.1f MB\n", 1000 * pdf / n,
           ((double)written.nFileSizeHigh * 4294967296.0 + written.nFileSizeLow) / 1e6);
    printf("program peak memory:       %7.0f MB\n", memory.PeakWorkingSetSize / 1048576.0);
    printf("decoders' peak memory:    %s\n", decoders.c_str());
}
