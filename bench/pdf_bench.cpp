// pdf_bench [FOLDER] [summary] -- builds a PDF from the folder's p*.jpg photos through
// BuildPdfDocument at quality 0.3 and 1.0 and, for comparison, does the bare library work
// for the same files (FreeImage decode, bicubic rescale, JPEG encode to memory, a libharu
// page with the image). Prints seconds per photo, peak memory (VmHWM) and PDF size.
// Each measurement runs in its own child process so that peaks do not mix; the time is
// the best of RUNS runs (default 2; the machine may be shared), builder and bare loop
// taking turns. With "summary" it only times the builder at the defaults and measures
// its peak memory at the highest quality with a password, for all the photos and for a
// quarter of them (bench/compare.sh reads these lines).
#include <FreeImage.h>
#include <dirent.h>
#include <hpdf.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "picture/exif_orientation.h"
#include "picture/exif_reader.h"
#include "model/collection.h"
#include "pdf/pdf_builder.h"
#include "picture/page_picture.h"
#include "model/page_geometry.h"
#include "model/pdf_settings.h"
#include "support/support.h"

namespace {

struct Result {
    double seconds;
    long peakKb;
    long long pdfBytes;
};

long PeakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmHWM:") == 0) return atol(line.c_str() + 6);
    return -1;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    out->resize((size_t)in.tellg());
    in.seekg(0);
    in.read((char*)out->data(), (std::streamsize)out->size());
    return (bool)in;
}

// The PDF written to its file as it is made, the spool in a temporary file.
class FileHost : public PdfFiles, public BuildProgress {
public:
    bool FileExists(const char* path) override
    {
        struct stat s;
        return stat(path, &s) == 0;
    }
    ~FileHost() override
    {
        if (out_) End(false);
        if (spool_) fclose(spool_);
    }
    bool Start(const char* path) override
    {
        path_ = path;
        out_ = fopen((path_ + ".partial").c_str(), "wb");
        return out_ != nullptr;
    }
    bool Write(const uint8_t* data, size_t size) override
    {
        return out_ && fwrite(data, 1, size, out_) == size;
    }
    bool End(bool keep) override
    {
        const std::string temp = path_ + ".partial";
        bool ok = out_ && fclose(out_) == 0 && keep;
        out_ = nullptr;
        ok = ok && rename(temp.c_str(), path_.c_str()) == 0;
        if (!ok) remove(temp.c_str());
        return ok;
    }
    // An anonymous temporary file (native Linux: std::tmpfile is sound here).
    bool Append(const uint8_t* data, size_t size, uint64_t* offset) override
    {
        if (!spool_ && !(spool_ = std::tmpfile())) return false;
        if (fseeko(spool_, 0, SEEK_END) != 0) return false;
        *offset = (uint64_t)ftello(spool_);
        return fwrite(data, 1, size, spool_) == size;
    }
    bool Read(uint64_t offset, uint8_t* data, size_t size) override
    {
        return spool_ && fseeko(spool_, (off_t)offset, SEEK_SET) == 0 &&
               fread(data, 1, size, spool_) == size;
    }
    bool DeleteFileAt(const char* path) override { return remove(path) == 0; }
    void DescribeFailure(char* out, size_t outSize) override { out[0] = 0; }
    void SetProgressRange(int) override {}
    void StepProgress() override {}
    void ResetProgress() override {}
    void SetMessageLine(const char*) override {}
    bool PumpAndContinue() override { return true; }
    void ShowFailure(const char* message) override { fprintf(stderr, "failure: %s\n", message); }

private:
    std::string path_;
    FILE* out_ = nullptr;
    FILE* spool_ = nullptr;
};

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long long FileSize(const std::string& path)
{
    struct stat s;
    return stat(path.c_str(), &s) == 0 ? (long long)s.st_size : -1;
}

Result RunBuilder(const std::vector<std::string>& files, double quality, const std::string& out,
                  const char* password = "")
{
    ImageCollectionType images;
    for (const std::string& f : files) images.push_back(MakeImageEntry(0, f.c_str(), {}));
    PdfSettingsRecord settings;
    SetDefaultPdfSettings(&settings);
    settings.imageQuality = quality;
    snprintf(settings.password, sizeof settings.password, "%s", password);
    FileHost host;
    InProcessPictures pictures;
    remove(out.c_str());
    double start = Now();
    int ok = BuildPdfDocument(images, settings, out.c_str(), host, pictures, host);
    double seconds = Now() - start;
    return {ok == 1 ? seconds : -1, PeakKb(), FileSize(out)};
}

// The same work done directly on the libraries: one-up Letter pages, the picture fitted
// and resampled as the builder does, the document made in memory.
Result RunBareLoop(const std::vector<std::string>& files, double quality)
{
    double start = Now();
    HPDF_Doc doc = HPDF_New(nullptr, nullptr);
    for (const std::string& f : files) {
        std::vector<uint8_t> bytes;
        if (!ReadFile(f, &bytes)) continue;
        FIMEMORY* in = FreeImage_OpenMemory(bytes.data(), (DWORD)bytes.size());
        FIBITMAP* picture = FreeImage_LoadFromMemory(FIF_JPEG, in, 0);
        FreeImage_CloseMemory(in);
        std::vector<uint8_t>().swap(bytes);
        if (!picture) continue;
        unsigned w = FreeImage_GetWidth(picture), h = FreeImage_GetHeight(picture);
        bool wide = w > h;
        HPDF_Page page = HPDF_AddPage(doc);
        HPDF_Page_SetWidth(page, wide ? 792 : 612);
        HPDF_Page_SetHeight(page, wide ? 612 : 792);
        DrawnSize drawn = FitPicture(w, h, wide ? 720 : 540, wide ? 540 : 720);
        DrawnSize target;
        if (ResampledSize(w, h, drawn, quality, &target)) {
            FIBITMAP* smaller =
                FreeImage_Rescale(picture, target.width, target.height, FILTER_BICUBIC);
            FreeImage_Unload(picture);
            picture = smaller;
        }
        FIMEMORY* jpeg = FreeImage_OpenMemory(nullptr, 0);
        FreeImage_SaveToMemory(FIF_JPEG, picture, jpeg, JPEG_DEFAULT);
        FreeImage_Unload(picture);
        BYTE* data;
        DWORD size;
        FreeImage_AcquireMemory(jpeg, &data, &size);
        HPDF_Image image = HPDF_LoadJpegImageFromMem(doc, data, size);
        FreeImage_CloseMemory(jpeg);
        HPDF_Page_DrawImage(page, image, 36, 36, drawn.width, drawn.height);
    }
    HPDF_SaveToStream(doc);
    HPDF_ResetStream(doc);
    std::vector<uint8_t> pdf(HPDF_GetStreamSize(doc));
    HPDF_UINT32 size = (HPDF_UINT32)pdf.size();
    HPDF_ReadFromStream(doc, pdf.data(), &size);
    HPDF_Free(doc);
    double seconds = Now() - start;
    return {seconds, PeakKb(), (long long)pdf.size()};
}

// Runs one measurement in a child process and returns what it measured.
template <typename F>
Result InChild(F measure)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {-1, -1, -1};
    fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        Result r = measure();
        ssize_t written = write(pipeFds[1], &r, sizeof r);
        _exit(written == (ssize_t)sizeof r ? 0 : 1);
    }
    close(pipeFds[1]);
    Result r = {-1, -1, -1};
    if (read(pipeFds[0], &r, sizeof r) != (ssize_t)sizeof r) r = {-1, -1, -1};
    close(pipeFds[0]);
    int status;
    waitpid(child, &status, 0);
    return r;
}

std::vector<std::string> Photos(const std::string& folder)
{
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir)) {
            std::string name = e->d_name;
            if (name.size() > 4 && name[0] == 'p' && name.compare(name.size() - 4, 4, ".jpg") == 0)
                files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

// PSNR of b against a, two 24-bit pictures of one size; -1 when the sizes differ.
double Psnr(FIBITMAP* a, FIBITMAP* b)
{
    const unsigned w = FreeImage_GetWidth(a), h = FreeImage_GetHeight(a);
    if (!b || FreeImage_GetWidth(b) != w || FreeImage_GetHeight(b) != h) return -1;
    double sum = 0;
    for (unsigned y = 0; y < h; y++) {
        const BYTE *p = FreeImage_GetScanLine(a, y), *q = FreeImage_GetScanLine(b, y);
        for (unsigned i = 0; i < w * 3; i++) sum += (double)(p[i] - q[i]) * (p[i] - q[i]);
    }
    return sum == 0 ? 99 : 10 * log10(255.0 * 255 * w * h * 3 / sum);
}

// The page pictures at the defaults against the photo decoded at full size, turned and
// resampled with FreeImage's own bicubic filter: the lowest PSNR over every tenth photo.
double LowestPsnrAtTheDefaults(const std::vector<std::string>& files)
{
    PdfSettingsRecord settings;
    SetDefaultPdfSettings(&settings);
    PagePlan plan;
    plan.cellsPerPage = 1;
    plan.pageWidth = 612, plan.pageHeight = 792;  // Letter
    plan.margin = settings.pageMargin, plan.gap = settings.cellGap;
    plan.quality = settings.imageQuality;
    double lowest = 99;
    for (size_t i = 7; i < files.size(); i += 10) {  // p007, p017, ...: some EXIF-turned
        std::vector<uint8_t> bytes;
        if (!ReadFile(files[i], &bytes)) return -1;
        unsigned w = 0, h = 0;
        FIBITMAP* ours =
            MakePagePixels(bytes.data(), bytes.size(), files[i].c_str(), plan, &w, &h).release();
        FIMEMORY* memory = FreeImage_OpenMemory(bytes.data(), (DWORD)bytes.size());
        FIBITMAP* full = FreeImage_LoadFromMemory(FIF_JPEG, memory);
        FreeImage_CloseMemory(memory);
        if (!ours || !full) return -1;
        full = ApplyExifOrientation(BitmapOwner(full), ExifOrientationFromBytes(bytes.data(), bytes.size()))
                   .release();
        FIBITMAP* theirs = FreeImage_Rescale(full, FreeImage_GetWidth(ours),
                                             FreeImage_GetHeight(ours), FILTER_BICUBIC);
        lowest = std::min(lowest, Psnr(theirs, ours));
        FreeImage_Unload(theirs);
        FreeImage_Unload(full);
        FreeImage_Unload(ours);
    }
    return lowest;
}

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "/tmp/photos20";
    const std::vector<std::string> files = Photos(folder);
    if (files.empty()) {
        fprintf(stderr, "no p*.jpg photos in %s (make them with make-photos.sh)\n", folder.c_str());
        return 1;
    }
    long long inputBytes = 0;
    for (const std::string& f : files) inputBytes += FileSize(f);
    const std::string out = "/tmp/pdf_bench_out.pdf";
    const long baseKb = PeakKb();
    printf("%zu photos in %s, %.1f MB of JPEG; this process before measuring: %ld MB\n",
           files.size(), folder.c_str(), inputBytes / 1e6, baseKb / 1024);

    if (argc > 2 && strcmp(argv[2], "summary") == 0) {
        const Result defaults = InChild([&] { return RunBuilder(files, 0.3, out); });
        printf("summary defaults: %.1f ms/photo, peak %ld MB, PDF %.1f MB\n",
               defaults.seconds * 1000 / files.size(), defaults.peakKb / 1024,
               defaults.pdfBytes / 1e6);
        const std::vector<std::string> quarter(files.begin(), files.begin() + (files.size() + 3) / 4);
        for (const std::vector<std::string>* some : {&quarter, &files}) {
            const Result r = InChild([&] { return RunBuilder(*some, 1.0, out, "secret"); });
            printf("summary highest+password %zu photos: %.1f ms/photo, peak %ld MB, PDF %.1f MB\n",
                   some->size(), r.seconds * 1000 / some->size(), r.peakKb / 1024,
                   r.pdfBytes / 1e6);
        }
        remove(out.c_str());
        printf("summary same output: lowest PSNR %.1f dB (page pictures at the defaults against "
               "a full-size decode resampled by FreeImage)\n", LowestPsnrAtTheDefaults(files));
        return defaults.seconds < 0;
    }
    const int runs = getenv("RUNS") ? std::max(1, atoi(getenv("RUNS"))) : 2;
    auto better = [](Result a, Result b) {
        if (b.seconds >= 0 && (a.seconds < 0 || b.seconds < a.seconds)) a.seconds = b.seconds;
        a.peakKb = std::max(a.peakKb, b.peakKb);
        a.pdfBytes = b.pdfBytes;
        return a;
    };
    for (double quality : {0.3, 1.0}) {
        Result built = {-1, 0, 0}, bare = {-1, 0, 0};
        for (int run = 0; run < runs; ++run) {
            built = better(built, InChild([&] { return RunBuilder(files, quality, out); }));
            bare = better(bare, InChild([&] { return RunBareLoop(files, quality); }));
        }
        const double n = (double)files.size();
        printf("quality %.1f\n", quality);
        printf("  builder:   %6.0f ms/photo  peak %5ld MB  PDF %6.1f MB\n",
               built.seconds * 1000 / n, built.peakKb / 1024, built.pdfBytes / 1e6);
        printf("  bare loop: %6.0f ms/photo  peak %5ld MB  PDF %6.1f MB\n",
               bare.seconds * 1000 / n, bare.peakKb / 1024, bare.pdfBytes / 1e6);
        printf("  builder / bare loop: %.2f x time\n", built.seconds / bare.seconds);
    }

    // Peak memory against the number of pictures (the photos repeated): what grows
    // with the count should be the PDF's bytes only.
    printf("builder peak memory by picture count (quality 1.0, the photos repeated):\n");
    for (const char* password : {"", "secret"}) {
        for (size_t count : {files.size(), 2 * files.size(), 4 * files.size()}) {
            std::vector<std::string> some;
            for (size_t i = 0; i < count; ++i) some.push_back(files[i % files.size()]);
            Result r = InChild([&] { return RunBuilder(some, 1.0, out, password); });
            printf("  %3zu pictures%s: peak %5ld MB, PDF %6.1f MB, %.0f ms/picture\n", count,
                   *password ? ", encrypted" : "", r.peakKb / 1024, r.pdfBytes / 1048576.0,
                   r.seconds * 1000 / count);
        }
    }
    remove(out.c_str());
    return 0;
}
