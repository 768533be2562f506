#include "decoder/protocol.h"

#include <cstring>
#include <utility>

#include "model/product.h"
#include "picture/byte_order.h"
#include "picture/jpeg_segments.h"

namespace {

const uint32_t RequestMagic = 0x31515654;  // "TVQ1"
const uint32_t ReplyMagic = 0x31505654;    // "TVP1"
const size_t PlanBytes = 11 * 4 + 8;
const size_t MaxNameBytes = 4096;
const uint64_t MaxRequestBodyBytes = PlanBytes + 4 + MaxNameBytes;
// A thumbnail's reply: where the picture lies, then the square's pixels.
size_t ThumbnailBodyBytes(int side) { return 16 + (size_t)side * side * 4; }

// Numbers go through the pipe little-endian.
void Put32(std::vector<uint8_t>* out, uint32_t v) { AppendLittleEndian(out, v, 4); }
void Put64(std::vector<uint8_t>* out, uint64_t v) { AppendLittleEndian(out, v, 8); }
uint32_t Get32(const uint8_t* p) { return Le32(p); }
uint64_t Get64(const uint8_t* p) { return ReadLittleEndian(p, 8); }

void PutFrame(std::vector<uint8_t>* out, uint32_t magic, uint32_t word, uint64_t length)
{
    Put32(out, magic);
    Put32(out, word);
    Put64(out, length);
}

FrameHeader GetFrame(const uint8_t* p) { return FrameHeader{Get32(p), Get32(p + 4), Get64(p + 8)}; }

// A page picture's reply begins with its size and the turn the page gives it (a bit each:
// transpose, mirror across, mirror down).
void PutPageHead(std::vector<uint8_t>* out, const PagePicture& picture)
{
    Put32(out, picture.width);
    Put32(out, picture.height);
    Put32(out, (picture.turn.transpose ? 1u : 0u) | (picture.turn.mirrorAcross ? 2u : 0u) |
                   (picture.turn.mirrorDown ? 4u : 0u));
}

// A size the loader accepts, and a turn.
bool GetPageHead(const uint8_t* body, PagePicture* out)
{
    const unsigned width = Get32(body), height = Get32(body + 4), turn = Get32(body + 8);
    if (width == 0 || height == 0 || (uint64_t)width * height > MaxImagePixels || turn > 7) return false;
    out->width = width;
    out->height = height;
    out->turn.transpose = turn & 1;
    out->turn.mirrorAcross = turn & 2;
    out->turn.mirrorDown = turn & 4;
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeRequest(DecodeJobKind kind, const char* fileName,
                                   const PagePlan& plan, int thumbnailSide, bool leaveInFile)
{
    if (!fileName) fileName = "";
    size_t nameBytes = strnlen(fileName, MaxNameBytes - 1) + 1;
    std::vector<uint8_t> out;
    out.reserve(FrameHeaderBytes + PlanBytes + 4 + nameBytes);
    PutFrame(&out, RequestMagic, kind, PlanBytes + 4 + nameBytes);
    const uint32_t words[11] = {(uint32_t)plan.flips, (uint32_t)plan.rotation,
                                (uint32_t)plan.cellsPerPage, plan.startsPage ? 1u : 0u,
                                plan.pageWidth, plan.pageHeight, plan.margin, plan.gap,
                                plan.cellWidth, plan.cellHeight,
                                kind == DecodeThumbnail ? (uint32_t)thumbnailSide
                                                        : leaveInFile ? 1u : 0u};
    for (uint32_t w : words) Put32(&out, w);
    uint64_t quality;
    memcpy(&quality, &plan.quality, 8);
    Put64(&out, quality);
    Put32(&out, (uint32_t)nameBytes);
    out.insert(out.end(), fileName, fileName + nameBytes - 1);
    out.push_back(0);
    return out;
}

bool ReadRequestHeader(const uint8_t header[FrameHeaderBytes], DecodeJobKind* kind,
                       uint64_t* bodyLength)
{
    FrameHeader frame = GetFrame(header);
    if (frame.magic != RequestMagic || (frame.word != DecodeThumbnail && frame.word != DecodePage))
        return false;
    if (frame.length < PlanBytes + 5 || frame.length > MaxRequestBodyBytes) return false;
    *kind = (DecodeJobKind)frame.word;
    *bodyLength = frame.length;
    return true;
}

bool ParseRequestBody(DecodeJobKind kind, uint8_t* body, size_t size, DecodeRequest* out)
{
    if (size < PlanBytes + 4) return false;
    out->kind = kind;
    PagePlan& plan = out->plan;
    plan.flips = (int)Get32(body);
    plan.rotation = (int)Get32(body + 4);
    plan.cellsPerPage = (int)Get32(body + 8);
    plan.startsPage = Get32(body + 12) != 0;
    plan.pageWidth = Get32(body + 16);
    plan.pageHeight = Get32(body + 20);
    plan.margin = Get32(body + 24);
    plan.gap = Get32(body + 28);
    plan.cellWidth = Get32(body + 32);
    plan.cellHeight = Get32(body + 36);
    const uint32_t side = Get32(body + 40);  // or, for a page, whether to leave it in its file
    if (kind == DecodeThumbnail && (side < MinThumbnailSide || side > MaxThumbnailSide))
        return false;
    out->thumbnailSide = kind == DecodeThumbnail ? (int)side : ThumbnailSize;
    out->leaveInFile = kind == DecodePage && side == 1;
    uint64_t quality = Get64(body + 44);
    memcpy(&plan.quality, &quality, 8);
    size_t nameBytes = Get32(body + PlanBytes);
    size_t at = PlanBytes + 4;
    if (nameBytes == 0 || nameBytes > MaxNameBytes || nameBytes != size - at) return false;
    if (body[at + nameBytes - 1] != 0) return false;
    out->fileName = (const char*)body + at;
    out->data = nullptr;
    out->size = 0;
    return true;
}

std::vector<uint8_t> EncodeThumbnailReply(const ThumbnailPixels* pixels)
{
    std::vector<uint8_t> out;
    if (!pixels) {
        PutFrame(&out, ReplyMagic, DecodeUnreadable, 0);
        return out;
    }
    const size_t bodyBytes = ThumbnailBodyBytes(pixels->side);
    out.reserve(FrameHeaderBytes + bodyBytes);
    PutFrame(&out, ReplyMagic, DecodeDone, bodyBytes);
    const PictureRect& r = pixels->pictureRect;
    for (int v : {r.left, r.top, r.right, r.bottom}) Put32(&out, (uint32_t)v);
    out.insert(out.end(), pixels->bgra.begin(), pixels->bgra.end());
    return out;
}

std::vector<uint8_t> EncodePageReply(const PagePicture* picture)
{
    std::vector<uint8_t> out;
    if (picture && !picture->filePieces.empty() && picture->filePieces.size() <= MaxFilePieces) {
        PutFrame(&out, ReplyMagic, DecodeDoneInFile, PageReplyHeadBytes + 4 + 16 * picture->filePieces.size());
        PutPageHead(&out, *picture);
        Put32(&out, (uint32_t)picture->filePieces.size());
        for (const FilePiece& piece : picture->filePieces) {
            Put64(&out, piece.offset);
            Put64(&out, piece.length);
        }
        return out;
    }
    if (!picture || picture->jpeg.size() > MaxReplyBodyBytes - PageReplyHeadBytes) {
        PutFrame(&out, ReplyMagic, DecodeUnreadable, 0);
        return out;
    }
    out.reserve(FrameHeaderBytes + PageReplyHeadBytes + picture->jpeg.size());
    PutFrame(&out, ReplyMagic, DecodeDone, PageReplyHeadBytes + picture->jpeg.size());
    PutPageHead(&out, *picture);
    out.insert(out.end(), picture->jpeg.begin(), picture->jpeg.end());
    return out;
}

std::vector<uint8_t> EncodeFileReadNotice()
{
    std::vector<uint8_t> out;
    PutFrame(&out, ReplyMagic, DecodeFileRead, 0);
    return out;
}

bool ReadReplyHeader(const uint8_t header[FrameHeaderBytes], DecodeJobKind kind,
                     DecodeStatus* status, uint64_t* bodyLength)
{
    FrameHeader frame = GetFrame(header);
    if (frame.magic != ReplyMagic) return false;
    if (frame.word == DecodeUnreadable || frame.word == DecodeFileRead) {
        if (frame.length != 0) return false;
    } else if (frame.word == DecodeDone) {
        if (kind == DecodeThumbnail && (frame.length < ThumbnailBodyBytes(MinThumbnailSide) ||
                                        frame.length > ThumbnailBodyBytes(MaxThumbnailSide)))
            return false;
        if (kind == DecodePage && (frame.length < PageReplyHeadBytes || frame.length > MaxReplyBodyBytes))
            return false;
        if (kind != DecodeThumbnail && kind != DecodePage) return false;
    } else if (frame.word == DecodeDoneInFile) {
        if (kind != DecodePage || frame.length < PageReplyHeadBytes + 4 + 16 ||
            frame.length > PageReplyHeadBytes + 4 + 16 * MaxFilePieces)
            return false;
    } else {
        return false;
    }
    *status = (DecodeStatus)frame.word;
    *bodyLength = frame.length;
    return true;
}

bool ParseThumbnailReply(const uint8_t* body, size_t size, ThumbnailPixels* out, int side)
{
    if (!body || side < MinThumbnailSide || side > MaxThumbnailSide ||
        size != ThumbnailBodyBytes(side))
        return false;
    int v[4];
    for (int i = 0; i < 4; i++) v[i] = (int)Get32(body + 4 * i);
    // Inside the square and not empty, as every thumbnail is made.
    if (v[0] < 0 || v[1] < 0 || v[2] > side || v[3] > side) return false;
    if (v[0] >= v[2] || v[1] >= v[3]) return false;
    out->pictureRect = PictureRect{v[0], v[1], v[2], v[3]};
    out->side = side;
    out->bgra.assign(body + 16, body + size);
    return true;
}

bool ParsePageReply(std::vector<uint8_t>&& body, PagePicture* out)
{
    const size_t size = body.size();
    PagePicture head;
    if (size < PageReplyHeadBytes + 3 || size > MaxReplyBodyBytes || !GetPageHead(body.data(), &head))
        return false;
    const uint8_t* jpeg = body.data() + PageReplyHeadBytes;
    // A JPEG that the PDF library can embed.
    size_t frameAt;
    if (!IsEmbeddableJpeg(jpeg, size - PageReplyHeadBytes, &frameAt)) return false;
    *out = head;
    body.erase(body.begin(), body.begin() + PageReplyHeadBytes);
    out->jpeg = std::move(body);
    return true;
}

bool ParsePageInFileReply(const uint8_t* body, size_t size, PagePicture* out)
{
    PagePicture head;
    if (!body || size < PageReplyHeadBytes + 4 || !GetPageHead(body, &head)) return false;
    const uint8_t* list = body + PageReplyHeadBytes + 4;
    const size_t count = Get32(body + PageReplyHeadBytes);
    if (count == 0 || count > MaxFilePieces || size != PageReplyHeadBytes + 4 + 16 * count) return false;
    std::vector<FilePiece> pieces(count);
    uint64_t end = 0;
    for (size_t i = 0; i < count; i++) {
        const FilePiece piece{Get64(list + 16 * i), Get64(list + 16 * i + 8)};
        if (piece.length == 0 || piece.offset < end || piece.length > UINT32_MAX ||
            piece.offset > UINT64_MAX - piece.length)
            return false;
        end = piece.offset + piece.length;
        pieces[i] = piece;
    }
    *out = head;
    out->filePieces.swap(pieces);
    return true;
}
