#include "decoder/job.h"

#include <memory>
#include <new>

#ifdef __linux__
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#endif

std::vector<uint8_t> RunDecodeJob(const DecodeRequest& request)
{
    try {
        if (request.kind == DecodeThumbnail) {
            std::unique_ptr<ThumbnailPixels> pixels(new ThumbnailPixels);
            bool made = MakeThumbnailPixels(request.data, request.size, request.fileName,
                                            pixels.get(), request.thumbnailSide);
            return EncodeThumbnailReply(made ? pixels.get() : nullptr);
        }
        PagePicture picture;
        bool made = MakePagePicture(request.data, request.size, request.fileName, request.plan,
                                    &picture, request.leaveInFile);
        return EncodePageReply(made ? &picture : nullptr);
    } catch (...) {
        // No memory even for the reply: the short one still fits.
        return request.kind == DecodeThumbnail ? EncodeThumbnailReply(nullptr)
                                               : EncodePageReply(nullptr);
    }
}

bool CapDecoderMemory(uint64_t extraBytes)
{
#ifdef __linux__
    // Under Wine the address space already holds the reservations Wine made at start-up;
    // the cap counts from there.
    unsigned long long pages = 0;
    FILE* statm = fopen("/proc/self/statm", "r");
    if (!statm) return false;
    bool read = fscanf(statm, "%llu", &pages) == 1;
    fclose(statm);
    if (!read) return false;
    rlimit limit;
    limit.rlim_cur = limit.rlim_max = (rlim_t)(pages * 4096ull + extraBytes);
    return setrlimit(RLIMIT_AS, &limit) == 0;
#else
    (void)extraBytes;
    return false;
#endif
}

void KeepFreedMemoryForReuse()
{
#ifdef __linux__
    // Allocations up to 256 MB from the heap, and the heap never trimmed below 1 GB of
    // free space: a decoder's buffers repeat in size from picture to picture.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}
