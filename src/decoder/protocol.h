// What the program and its decoder processes say to each other through a pipe. Each
// message is a 16-byte frame header and a body of the length it gives. The program
// trusts nothing in a reply: a decoder may have been taken over by the file it read, so
// every reply is checked in full before a byte of it is used.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/thumbnail.h"
#include "picture/page_picture.h"

enum DecodeJobKind : uint32_t { DecodeThumbnail = 1, DecodePage = 2 };
// DecodeFileRead comes first, with no body, once the decoder has read the file: the
// time it took does not count against the decoding. DecodeDoneInFile: a page picture
// left in its file, as the request allowed (its body names the pieces).
enum DecodeStatus : uint32_t {
    DecodeDone = 0,
    DecodeUnreadable = 1,
    DecodeFileRead = 2,
    DecodeDoneInFile = 3
};
// A picture left in its file is at most this many pieces of it.
enum : size_t { MaxFilePieces = 64 };

enum : size_t { FrameHeaderBytes = 16 };
// A page picture's reply body begins with its width, height and turn.
enum : size_t { PageReplyHeadBytes = 12 };
// Largest reply body: a page picture's JPEG, which is made from at most MaxImagePixels.
enum : uint64_t { MaxReplyBodyBytes = 512ull << 20 };

struct FrameHeader {
    uint32_t magic;
    uint32_t word;    // requests: the job kind; replies: the status
    uint64_t length;  // bytes of body that follow
};

// A whole request: frame and body, the plan, the thumbnail's side and the file's name (the
// decoder maps the file itself: its bytes never go through the pipe). fileName may be
// null; plan is used for DecodePage, thumbnailSide for DecodeThumbnail. leaveInFile (a
// page): the program holds the file open, unchangeable, and takes a JPEG kept as it is as
// pieces of the file.
std::vector<uint8_t> EncodeRequest(DecodeJobKind kind, const char* fileName,
                                   const PagePlan& plan, int thumbnailSide = ThumbnailSize,
                                   bool leaveInFile = false);

// The decoder's side: a request's parts, pointing into body. False for a malformed one.
struct DecodeRequest {
    DecodeJobKind kind;
    const char* fileName;  // zero-terminated inside body
    PagePlan plan;
    int thumbnailSide = ThumbnailSize;  // MinThumbnailSide to MaxThumbnailSide
    bool leaveInFile = false;
    const uint8_t* data = nullptr;  // the file's bytes, once the decoder has mapped it
    size_t size = 0;
};
bool ReadRequestHeader(const uint8_t header[FrameHeaderBytes], DecodeJobKind* kind,
                       uint64_t* bodyLength);
bool ParseRequestBody(DecodeJobKind kind, uint8_t* body, size_t size, DecodeRequest* out);

// Replies, as the decoder writes them (whole, frame included).
std::vector<uint8_t> EncodeThumbnailReply(const ThumbnailPixels* pixels);  // null: unreadable
std::vector<uint8_t> EncodePageReply(const PagePicture* picture);          // null: unreadable
std::vector<uint8_t> EncodeFileReadNotice();

// The program's side. ReadReplyHeader: false when the frame is not a reply to a job of
// this kind (then the decoder is to be ended); *status and *bodyLength otherwise.
bool ReadReplyHeader(const uint8_t header[FrameHeaderBytes], DecodeJobKind kind,
                     DecodeStatus* status, uint64_t* bodyLength);
// The body of a DecodeDone reply; false when it does not hold a sound result (for a
// thumbnail: one of the side asked for).
bool ParseThumbnailReply(const uint8_t* body, size_t size, ThumbnailPixels* out,
                         int side = ThumbnailSize);
// The page picture takes the body's memory: a large picture is never copied, so a
// program short of memory cannot fail here.
bool ParsePageReply(std::vector<uint8_t>&& body, PagePicture* out);
// The body of a DecodeDoneInFile reply: the size and the pieces, in order, none empty,
// none overlapping the one before; the program checks them against the file.
bool ParsePageInFileReply(const uint8_t* body, size_t size, PagePicture* out);
