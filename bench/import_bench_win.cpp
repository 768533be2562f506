// Benchmark, not run by ctest: what the Win32 import path adds per image on top of the
// core's thumbnail making. Run by hand on a folder of photos (bench/make-photos.sh):
//   TOLVANE_BENCH_PHOTOS='Z:\tmp\photos20' tests/ui/run-under-wine.sh build/win
//     build/win/ui_bench.exe
// Prints ms per image for: the core alone on bytes already in memory; MakeThumbnail
// (file read + core + CreateDIBitmap, all in this process, as before decoder processes);
// AddImageFile (one file at a time through a decoder process, + image list + entry +
// view); the import batch (two decoders working side by side, as Add Images runs it).
#include "ui/gtest_win.h"
#include "ui/ui_support_win.h"

#include <cstdio>
#include <vector>

#include "app/file_io_win.h"
#include "import/import_batch_win.h"
#include "import/thumbnail.h"
#include "import/thumbnail_win.h"

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

    std::vector<std::vector<uint8_t>> bytes(photos.size());
    for (size_t i = 0; i < photos.size(); i++) ASSERT_TRUE(ReadWholeFile(photos[i].c_str(), &bytes[i]));
    static ThumbnailPixels pixels;
    for (size_t i = 0; i < photos.size(); i++)  // warm-up: caches, allocator, decoder tables
        ASSERT_TRUE(MakeThumbnailPixels(bytes[i].data(), bytes[i].size(), photos[i].c_str(), &pixels));
    double start = Seconds();
    for (size_t i = 0; i < photos.size(); i++)
        ASSERT_TRUE(MakeThumbnailPixels(bytes[i].data(), bytes[i].size(), photos[i].c_str(), &pixels));
    double core = Seconds() - start;
    bytes.clear();

    start = Seconds();
    for (const std::string& path : photos) {
        PictureRect rect;
        HBITMAP bitmap = MakeThumbnail(MainWindow, path.c_str(), &rect);
        ASSERT_TRUE(bitmap != NULL) << path;
        DeleteObject(bitmap);
    }
    double thumbnail = Seconds() - start;

    AddImageFile(photos[0].c_str());  // the first decoder process starts
    start = Seconds();
    for (const std::string& path : photos) AddImageFile(path.c_str());
    double add = Seconds() - start;
    ASSERT_EQ(photos.size() + 1, ImageCollection.size());

    start = Seconds();
    int count = OpenImportBatch((int)photos.size());
    ImportFiles(count, [](int i, char* path, size_t size, void* list) {
        CopyText(path, size, (*(std::vector<std::string>*)list)[i].c_str());
    }, &photos);
    CloseImportBatch(count);
    double batch = Seconds() - start;
    ASSERT_EQ(2 * photos.size() + 1, ImageCollection.size());

    double n = (double)photos.size();
    printf("%d photos\n", (int)photos.size());
    printf("core on bytes in memory:   %7.1f ms/image\n", 1000 * core / n);
    printf("MakeThumbnail (read+DDB):  %7.1f ms/image  (%.3fx the core)\n", 1000 * thumbnail / n,
           thumbnail / core);
    printf("AddImageFile (all of it):  %7.1f ms/image  (%.3fx the core)\n", 1000 * add / n,
           add / core);
    printf("import batch, 2 decoders:  %7.1f ms/image  (%.3fx the core)\n", 1000 * batch / n,
           batch / core);
}
