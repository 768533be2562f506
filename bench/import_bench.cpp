// import_bench FOLDER [ROUNDS]: thumbnail import speed and memory on a folder of photos
// (JPEG, or HEIF and AVIF). Times MakeThumbnailPixels (what Add Images runs per file)
// against the bare work it cannot avoid: decoding the bytes in full (FreeImage; libheif
// for HEIF and AVIF, which FreeImage does not read) and box-scaling them to the
// thumbnail size.
// File reading is outside both timings. Prints ms per image, the ratio, and memory.
#include <FreeImage.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "picture/image_load.h"
#include "picture/thumbnail.h"

namespace {

typedef std::chrono::steady_clock Clock;

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// VmHWM (peak) or VmRSS (current) of this process in kilobytes.
long StatusKb(const char* key)
{
    FILE* f = fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    size_t n = strlen(key);
    while (fgets(line, sizeof line, f))
        if (strncmp(line, key, n) == 0) kb = atol(line + n + 1);
    fclose(f);
    return kb;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The unavoidable work: decode in full with default flags, box-scale to thumbnail size.
bool BareThumbnail(const std::vector<uint8_t>& bytes)
{
    FIMEMORY* stream = FreeImage_OpenMemory(const_cast<BYTE*>(bytes.data()), (DWORD)bytes.size());
    FIBITMAP* picture = FreeImage_LoadFromMemory(FreeImage_GetFileTypeFromMemory(stream, 0), stream, 0);
    FreeImage_CloseMemory(stream);
    PictureFile heif;
    if (!picture && heif.ReadHeader(bytes.data(), bytes.size(), "a.heic"))
        picture = heif.DecodeAsStored().release();
    if (!picture) return false;
    int w, h;
    ThumbnailScaledSize(FreeImage_GetWidth(picture), FreeImage_GetHeight(picture), &w, &h);
    FIBITMAP* scaled = FreeImage_Rescale(picture, w, h, FILTER_BOX);
    FreeImage_Unload(picture);
    if (scaled) FreeImage_Unload(scaled);
    return scaled != nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s FOLDER [ROUNDS]\n", argv[0]);
        return 2;
    }
    int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 2;
    std::vector<std::string> files;
    for (const auto& item : std::filesystem::directory_iterator(argv[1])) {
        std::string ext = item.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (item.is_regular_file() &&
            (ext == ".jpg" || ext == ".jpeg" || ext == ".heic" || ext == ".heif" || ext == ".avif"))
            files.push_back(item.path().string());
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        fprintf(stderr, "no JPEG, HEIF or AVIF files in %s\n", argv[1]);
        return 1;
    }

    // First pass: imports only, untimed, to measure the import's own peak memory and
    // to check that resident memory stays flat from image to image.
    ThumbnailPixels* thumb = new ThumbnailPixels;
    int failures = 0;
    long rssAfterFirst = 0;
    for (size_t i = 0; i < files.size(); i++) {
        std::vector<uint8_t> bytes = ReadBytes(files[i]);
        if (!MakeThumbnailPixels(bytes.data(), bytes.size(), files[i].c_str(), thumb)) failures++;
        if (i == 0) rssAfterFirst = StatusKb("VmRSS:");
    }
    long rssAfterAll = StatusKb("VmRSS:");
    long importPeakKb = StatusKb("VmHWM:");

    // Timed rounds: import and bare work alternate per file (in turn going first), so a
    // busy shared machine slows both alike.
    Clock::duration importTime{}, bareTime{};
    for (int round = 0; round < rounds; round++) {
        for (size_t i = 0; i < files.size(); i++) {
            std::vector<uint8_t> bytes = ReadBytes(files[i]);
            for (int turn = 0; turn < 2; turn++) {
                bool importNow = (turn == 0) == ((i + round) % 2 == 0);
                Clock::time_point start = Clock::now();
                bool ok = importNow ? MakeThumbnailPixels(bytes.data(), bytes.size(),
                                                          files[i].c_str(), thumb)
                                    : BareThumbnail(bytes);
                (importNow ? importTime : bareTime) += Clock::now() - start;
                if (!ok) failures++;
            }
        }
    }
    delete thumb;

    double count = (double)files.size() * rounds;
    double importMs = Ms(importTime) / count, bareMs = Ms(bareTime) / count;
    printf("images: %zu x %d round(s), failures: %d\n", files.size(), rounds, failures);
    printf("import (MakeThumbnailPixels): %.1f ms/image\n", importMs);
    printf("bare (decode + box rescale):  %.1f ms/image\n", bareMs);
    printf("ratio import/bare: %.3f (target <= 1.2)\n", importMs / bareMs);
    printf("peak memory of the imports alone (VmHWM): %.1f MB\n", importPeakKb / 1024.0);
    printf("resident after the first import / after all %zu: %.1f / %.1f MB\n", files.size(),
           rssAfterFirst / 1024.0, rssAfterAll / 1024.0);
    printf("peak memory at the end, bare loop included (VmHWM): %.1f MB\n",
           StatusKb("VmHWM:") / 1024.0);
    return failures ? 1 : 0;
}
