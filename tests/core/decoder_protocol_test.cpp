// The decoder process's work seen from both ends of the pipe: a request comes back as a
// reply that the program accepts, every damaged reply is refused, and the files the core
// refuses by itself never reach FreeImage's looping or allocating readers.
#include <gtest/gtest.h>

#include <FreeImage.h>

#include <cstring>

#include "import/decoder_job.h"
#include "import/image_load.h"
#include "support/support.h"

namespace {

std::vector<uint8_t> Job(DecodeJobKind kind, const ByteVec& file, const PagePlan& plan = PagePlan())
{
    std::vector<uint8_t> request = EncodeRequest(kind, "C:\\a.png", plan, file.data(), file.size());
    DecodeJobKind readKind;
    uint64_t length;
    EXPECT_TRUE(ReadRequestHeader(request.data(), &readKind, &length));
    EXPECT_EQ(request.size(), FrameHeaderBytes + length);
    DecodeRequest parsed;
    EXPECT_TRUE(ParseRequestBody(readKind, request.data() + FrameHeaderBytes, (size_t)length, &parsed));
    return RunDecodeJob(parsed);
}

bool Accepted(DecodeJobKind kind, const std::vector<uint8_t>& reply)
{
    DecodeStatus status;
    uint64_t length;
    if (reply.size() < FrameHeaderBytes || !ReadReplyHeader(reply.data(), kind, &status, &length) ||
        length != reply.size() - FrameHeaderBytes || status != DecodeDone)
        return false;
    static ThumbnailPixels pixels;
    PagePicture page;
    const uint8_t* body = reply.data() + FrameHeaderBytes;
    return kind == DecodeThumbnail ? ParseThumbnailReply(body, (size_t)length, &pixels)
                                   : ParsePageReply(std::vector<uint8_t>(body, body + length), &page);
}

}  // namespace

TEST(DecoderProtocol, RepliesComeBackWholeAndDamagedOnesAreRefused)
{
    ByteVec png = EncodeAndUnload(MakeSolid(80, 40, Blue), FIF_PNG);
    std::vector<uint8_t> thumbnail = Job(DecodeThumbnail, png);
    ASSERT_TRUE(Accepted(DecodeThumbnail, thumbnail));
    static ThumbnailPixels direct;
    ASSERT_TRUE(MakeThumbnailPixels(png.data(), png.size(), "a.png", &direct));
    EXPECT_EQ(0, memcmp(direct.bgra, thumbnail.data() + FrameHeaderBytes + 16, sizeof direct.bgra));

    PagePlan plan;
    plan.pageWidth = 792, plan.pageHeight = 612, plan.margin = plan.gap = 36;
    plan.rotation = 90;
    std::vector<uint8_t> page = Job(DecodePage, png, plan);
    ASSERT_TRUE(Accepted(DecodePage, page));
    EXPECT_EQ(40u, page[FrameHeaderBytes]) << "the width after the quarter turn";
    EXPECT_FALSE(Accepted(DecodeThumbnail, page)) << "a reply to another kind of job";

    struct Damage {
        const char* what;
        std::vector<uint8_t>* reply;
        size_t at;
        uint8_t value;
    } damages[] = {
        {"magic", &thumbnail, 0, 'X'},
        {"status", &thumbnail, 4, 7},
        {"length", &thumbnail, 8, 1},
        {"rectangle past the square", &thumbnail, FrameHeaderBytes + 8, 97},
        {"empty rectangle", &thumbnail, FrameHeaderBytes + 12, 0},
        {"length past the limit", &page, 13, 0x7F},
        {"zero width", &page, FrameHeaderBytes, 0},
        {"no JPEG", &page, FrameHeaderBytes + 8, 0},
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> damaged = *d.reply;
        if (d.reply == &page && d.at == FrameHeaderBytes) memset(&damaged[d.at], 0, 4);
        else damaged[d.at] = d.value;
        EXPECT_FALSE(Accepted(d.reply == &page ? DecodePage : DecodeThumbnail, damaged)) << d.what;
    }
    std::vector<uint8_t> unreadable = Job(DecodeThumbnail, ByteVec{'n', 'o'});
    DecodeStatus status;
    uint64_t length;
    ASSERT_TRUE(ReadReplyHeader(unreadable.data(), DecodeThumbnail, &status, &length));
    EXPECT_EQ(DecodeUnreadable, status);
}

// Files that loop or allocate without end inside FreeImage, refused before it reads them.
TEST(DecoderProtocol, HostileFilesTheCoreRefusesItself)
{
    for (const HostileFile& f : HostileFiles(TOLVANE_TEST_DATA_DIR)) {
        if (!f.coreRefuses) continue;
        ASSERT_FALSE(f.bytes.empty()) << f.name;
        EXPECT_FALSE(LoadImageFromMemory((const uint8_t*)f.bytes.data(), f.bytes.size(), f.name))
            << f.name << " (" << f.does << ")";
    }
}
