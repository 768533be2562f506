// libFuzzer target for what an untrusted file and an untrusted decoder process reach in
// the program itself: the header checks, the Exif reader and the JPEG segment walk, and
// the program's side of the decoder protocol (a page picture's JPEG goes through the same
// walk); and what a HEIF or AVIF file reaches in a decoder process: the size guard's box
// reader, then libheif with its HEVC and AV1 decoders. The first byte picks the part.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "decoder/protocol.h"
#include "picture/exif_reader.h"
#include "picture/exr_header.h"
#include "picture/header_size.h"
#include "picture/heif_boxes.h"
#include "picture/heif_picture.h"
#include "picture/jpeg_segments.h"

// A decoder process may allocate 1.5 GB (DecoderMemoryBytes); past that its allocations
// fail, and a file a library cannot decode in it ends as unreadable. run.sh gives the
// fuzzer the same limit, with malloc returning null past it (allocator_may_return_null);
// these make new throw then, as it does in the decoder, where the sanitizer's new would
// end the run.
void* operator new(size_t n)
{
    if (void* p = malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return malloc(n ? n : 1); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }

namespace {

void Headers(const uint8_t* data, size_t size)
{
    // Every format with a header reader, FreeImage's numbering (FIF_GIF .. FIF_XBM).
    for (int format = 0; format <= 36; format++) {
        uint64_t w = 0, h = 0;
        ReadHeaderSize(format, data, size, &w, &h);
    }
    uint64_t w, h;
    ExrHeaderBounded(data, size, &w, &h);
}

void Exif(const uint8_t* data, size_t size)
{
    int orientation = ExifOrientationFromBytes(data, size);
    if (orientation < 1 || orientation > 8) __builtin_trap();
    std::vector<uint8_t> plain;
    if (JpegWithoutMetadata(data, size, &plain) && plain.size() >= size) __builtin_trap();
}

void Replies(const uint8_t* data, size_t size)
{
    if (size < FrameHeaderBytes + 1) return;
    DecodeJobKind kind = (data[0] & 1) ? DecodePage : DecodeThumbnail;
    data++, size--;
    DecodeStatus status;
    uint64_t length;
    if (!ReadReplyHeader(data, kind, &status, &length)) return;
    const uint8_t* body = data + FrameHeaderBytes;
    size_t have = size - FrameHeaderBytes;
    if (status != DecodeDone || length > have) return;  // a notice has no body
    if (kind == DecodeThumbnail) {
        static ThumbnailPixels pixels;
        if (ParseThumbnailReply(body, (size_t)length, &pixels) &&
            (pixels.pictureRect.right > ThumbnailSize || pixels.pictureRect.left < 0))
            __builtin_trap();
    } else {
        PagePicture picture;
        if (ParsePageReply(std::vector<uint8_t>(body, body + length), &picture) &&
            picture.jpeg.size() + PageReplyHeadBytes != length)
            __builtin_trap();
    }
}

void Requests(const uint8_t* data, size_t size)
{
    if (size < FrameHeaderBytes) return;
    DecodeJobKind kind;
    uint64_t length;
    if (!ReadRequestHeader(data, &kind, &length)) return;
    std::vector<uint8_t> body(data + FrameHeaderBytes, data + size);
    if (length < body.size()) body.resize((size_t)length);
    DecodeRequest request;
    // The name ends the body, its terminator inside it.
    const char* end = (const char*)body.data() + body.size();
    if (ParseRequestBody(kind, body.data(), body.size(), &request) &&
        (end[-1] != 0 || request.fileName + strlen(request.fileName) >= end))
        __builtin_trap();
}

// As the loader reads a HEIF file, with smaller pictures than it allows so that each input
// decodes in milliseconds: the list thumbnail's decode, then the full one.
void Heif(const uint8_t* data, size_t size)
{
    std::vector<HeifSize> sizes;
    if (!IsHeif(data, size) || !ReadHeifSizes(data, size, &sizes)) return;
    for (const HeifSize& s : sizes)
        if (s.width > 4096 || s.height > 4096 || s.width * s.height > (1u << 20)) return;
    HeifPicture picture;
    HeifPixels thumbnail, full;
    if (picture.Open(data, size) && picture.Decode(8, 8, &thumbnail)) picture.Decode(0, 0, &full);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    switch (data[0] % 5) {
    case 0: Headers(data + 1, size - 1); break;
    case 1: Exif(data + 1, size - 1); break;
    case 2: Replies(data + 1, size - 1); break;
    case 3: Requests(data + 1, size - 1); break;
    case 4: Heif(data + 1, size - 1); break;
    }
    return 0;
}
