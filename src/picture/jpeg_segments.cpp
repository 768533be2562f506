#include "picture/jpeg_segments.h"

#include "picture/byte_order.h"

#include <algorithm>
#include <cstring>

namespace {

// Markers without a length field: TEM, RSTn, SOI, EOI.
bool StandsAlone(uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9);
}

bool IsMetadata(uint8_t marker)
{
    return (marker >= 0xE1 && marker <= 0xED) || marker == 0xEF || marker == 0xFE;
}

struct Copy {
    const uint8_t* data;
    std::vector<uint8_t>* out;
    size_t kept;     // bytes of data copied so far
    bool dropped;
};

}  // namespace

bool IsJpeg(const uint8_t* data, size_t size)
{
    return data && size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool WalkJpegSegments(const uint8_t* data, size_t size, JpegSegmentVisitor visit,
                      void* context, size_t* scanAt)
{
    if (!IsJpeg(data, size)) return false;
    size_t pos = 2;
    while (pos + 2 <= size) {
        if (data[pos] != 0xFF) return false;
        uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            pos++;
            continue;
        }
        if (marker == 0xDA) {  // start of scan: entropy-coded data follows
            if (scanAt) *scanAt = pos;
            return true;
        }
        if (StandsAlone(marker)) {
            if (marker == 0xD9) return false;  // end of image before any scan
            pos += 2;
            continue;
        }
        if (pos + 4 > size) return false;
        size_t length = Be16(data + pos + 2);
        if (length < 2 || length > size - pos - 2) return false;
        if (!visit(marker, data + pos + 4, length - 2, context)) return true;
        pos += 2 + length;
    }
    return false;
}

bool JpegWithoutMetadata(const uint8_t* data, size_t size, std::vector<uint8_t>* out)
{
    out->clear();
    Copy copy{data, out, 0, false};
    auto visit = [](uint8_t marker, const uint8_t* payload, size_t n, void* context) {
        Copy* c = static_cast<Copy*>(context);
        const uint8_t* segment = payload - 4;  // marker and length field
        if (IsMetadata(marker)) {
            c->out->insert(c->out->end(), c->data + c->kept, segment);
            c->kept = (size_t)(segment + 4 + n - c->data);
            c->dropped = true;
        }
        return true;
    };
    if (!WalkJpegSegments(data, size, visit, &copy) || !copy.dropped) {
        out->clear();
        return false;
    }
    out->insert(out->end(), data + copy.kept, data + size);
    return true;
}

bool IsEmbeddableJpeg(const uint8_t* data, size_t size, size_t* frameAt)
{
    struct Frames {
        const uint8_t* data;
        size_t at;
        int count;
        bool sound;
    } frames{data, 0, 0, false};
    auto visit = [](uint8_t marker, const uint8_t* p, size_t n, void* context) {
        if (marker < 0xC0 || marker > 0xC2) return true;
        Frames* f = static_cast<Frames*>(context);
        f->at = (size_t)(p - 4 - f->data);
        // precision, height, width, components
        f->sound = ++f->count == 1 && n >= 6 && p[0] == 8 && Be16(p + 1) > 0 && Be16(p + 3) > 0 &&
                   (p[5] == 1 || p[5] == 3 || p[5] == 4);
        return f->sound;  // a second frame, or a broken one, ends the walk
    };
    size_t scan = 0;
    if (!WalkJpegSegments(data, size, visit, &frames, &scan) || !frames.sound || scan == 0)
        return false;
    if (scan + 4 > size) return false;
    const size_t scanLength = Be16(data + scan + 2);
    if (scanLength < 2 || scanLength > size - scan - 2) return false;
    *frameAt = frames.at;
    return true;
}

namespace {

// What the walk of KeepJpegData has seen so far.
struct Keeping {
    JpegFrame frame;
    int ids[4] = {}, quantTable[4] = {};
    unsigned quantDefined = 0, dcDefined = 0, acDefined = 0;  // bit i: table i
    bool framed = false, progressive = false, adobe = false;
    int adobeTransform = 0;
    int scans = 0;
};

enum Verdict { Keep, LeaveOut, Refuse };

bool Says(const uint8_t* p, size_t n, const char* text, size_t textSize)
{
    return n >= textSize && memcmp(p, text, textSize) == 0;
}

Verdict QuantTables(const uint8_t* p, size_t n, Keeping* k)
{
    for (size_t at = 0; at < n;) {
        const int precision = p[at] >> 4, table = p[at] & 15;
        const size_t bytes = 1 + 64 * (precision + 1);
        if (precision > 1 || table > 3 || bytes > n - at) return Refuse;
        k->quantDefined |= 1u << table;
        at += bytes;
    }
    return Keep;
}

Verdict HuffmanTables(const uint8_t* p, size_t n, Keeping* k)
{
    for (size_t at = 0; at < n;) {
        const int kind = p[at] >> 4, table = p[at] & 15;
        if (kind > 1 || table > 3 || n - at < 17) return Refuse;
        size_t codes = 0;
        for (int i = 1; i <= 16; i++) codes += p[at + i];
        if (codes > 256 || codes > n - at - 17) return Refuse;
        (kind == 0 ? k->dcDefined : k->acDefined) |= 1u << table;
        at += 17 + codes;
    }
    return Keep;
}

Verdict Frame(uint8_t marker, const uint8_t* p, size_t n, Keeping* k)
{
    JpegFrame& f = k->frame;
    if (k->framed || n < 6 || p[0] != 8) return Refuse;
    f.height = Be16(p + 1);
    f.width = Be16(p + 3);
    f.components = p[5];
    if (f.width == 0 || f.height == 0 || (f.components != 1 && f.components != 3 && f.components != 4) ||
        n != 6 + 3 * (size_t)f.components)
        return Refuse;
    int blocks = 0;
    for (int c = 0; c < f.components; c++) {
        const uint8_t* q = p + 6 + 3 * c;
        k->ids[c] = q[0];
        for (int d = 0; d < c; d++)
            if (k->ids[d] == q[0]) return Refuse;
        f.hSampling[c] = q[1] >> 4;
        f.vSampling[c] = q[1] & 15;
        k->quantTable[c] = q[2];
        if (f.hSampling[c] < 1 || f.hSampling[c] > 4 || f.vSampling[c] < 1 || f.vSampling[c] > 4 || q[2] > 3)
            return Refuse;
        f.maxHSampling = std::max(f.maxHSampling, f.hSampling[c]);
        f.maxVSampling = std::max(f.maxVSampling, f.vSampling[c]);
        blocks += f.hSampling[c] * f.vSampling[c];
    }
    for (int c = 0; c < f.components; c++)  // whole ratios, and MCUs readers take
        if (f.maxHSampling % f.hSampling[c] || f.maxVSampling % f.vSampling[c]) return Refuse;
    if (f.components > 1 && blocks > 10) return Refuse;
    k->framed = true;
    k->progressive = marker == 0xC2;
    return Keep;
}

// A scan header: its components are the frame's, and the tables it uses are there.
Verdict Scan(const uint8_t* p, size_t n, Keeping* k)
{
    if (!k->framed || n < 1) return Refuse;
    const size_t count = p[0];
    if (count < 1 || count > 4 || n != 4 + 2 * count) return Refuse;
    const int start = p[1 + 2 * count], end = p[2 + 2 * count], high = p[3 + 2 * count] >> 4;
    if (!k->progressive && (start != 0 || end != 63 || p[3 + 2 * count] != 0)) return Refuse;
    if (start > end || end > 63 || (start > 0 && count != 1)) return Refuse;
    for (size_t i = 0; i < count; i++) {
        int c = 0;
        while (c < k->frame.components && k->ids[c] != p[1 + 2 * i]) c++;
        if (c == k->frame.components || !(k->quantDefined >> k->quantTable[c] & 1)) return Refuse;
        const int dc = p[2 + 2 * i] >> 4, ac = p[2 + 2 * i] & 15;
        const bool needsDc = start == 0 && (!k->progressive || high == 0), needsAc = end > 0;
        if ((needsDc && !(dc < 4 && k->dcDefined >> dc & 1)) || (needsAc && !(ac < 4 && k->acDefined >> ac & 1)))
            return Refuse;
    }
    k->scans++;
    return Keep;
}

Verdict Judge(uint8_t marker, const uint8_t* p, size_t n, Keeping* k)
{
    switch (marker) {
    case 0xE0: return Says(p, n, "JFIF", 5) ? Keep : LeaveOut;
    case 0xE2: return Says(p, n, "ICC_PROFILE", 12) ? Keep : LeaveOut;
    case 0xEE:
        if (!Says(p, n, "Adobe", 5) || n < 12) return LeaveOut;
        k->adobe = true;
        k->adobeTransform = p[11];
        return Keep;
    case 0xDB: return QuantTables(p, n, k);
    case 0xC4: return HuffmanTables(p, n, k);
    case 0xDD: return n == 2 ? Keep : Refuse;  // restart interval
    case 0xC0:
    case 0xC1:
    case 0xC2: return Frame(marker, p, n, k);
    case 0xDA: return Scan(p, n, k);
    default: return IsMetadata(marker) ? LeaveOut : Refuse;  // other frames, DAC, DNL, ...
    }
}

// Where the entropy-coded data that starts at `at` ends: the next marker that is not a
// restart (a 0xFF byte in the data is followed by 0, a marker may have fill bytes before
// it). size when there is none.
size_t EndOfEntropyData(const uint8_t* data, size_t size, size_t at)
{
    while (at < size) {
        const uint8_t* ff = (const uint8_t*)memchr(data + at, 0xFF, size - at);
        if (!ff) return size;
        at = (size_t)(ff - data);
        if (at + 1 >= size) return size;
        const uint8_t next = data[at + 1];
        if (next == 0xFF) at++;
        else if (next == 0 || (next >= 0xD0 && next <= 0xD7)) at += 2;
        else return at;
    }
    return size;
}

// How the colours come out is the same for a PDF reader as for libjpeg.
bool ColoursAgree(const Keeping& k)
{
    switch (k.frame.components) {
    case 3:
        if (k.adobe) return k.adobeTransform <= 1;
        return !(k.ids[0] == 'R' && k.ids[1] == 'G' && k.ids[2] == 'B');  // libjpeg: RGB
    case 4: return k.adobe && (k.adobeTransform == 0 || k.adobeTransform == 2);
    default: return true;
    }
}

}  // namespace

bool KeepJpegData(const uint8_t* data, size_t size, std::vector<FilePiece>* pieces, JpegFrame* frame)
{
    pieces->clear();
    if (!IsJpeg(data, size)) return false;
    Keeping k;
    auto keep = [pieces](size_t from, size_t to) {  // next to the last piece: one piece
        if (!pieces->empty() && pieces->back().offset + pieces->back().length == from)
            pieces->back().length += to - from;
        else
            pieces->push_back(FilePiece{from, to - from});
    };
    keep(0, 2);
    for (size_t pos = 2; pos + 2 <= size;) {
        if (data[pos] != 0xFF) break;
        const uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            pos++;
            continue;
        }
        if (marker == 0xD9) {  // the end of the picture: what follows is not kept
            if (k.scans == 0 || !ColoursAgree(k)) break;
            keep(pos, pos + 2);
            *frame = k.frame;
            return true;
        }
        if (StandsAlone(marker) || pos + 4 > size) break;
        const size_t length = Be16(data + pos + 2);
        if (length < 2 || length > size - pos - 2) break;
        const Verdict verdict = Judge(marker, data + pos + 4, length - 2, &k);
        if (verdict == Refuse) break;
        size_t next = pos + 2 + length;
        if (marker == 0xDA) next = EndOfEntropyData(data, size, next);
        if (verdict == Keep) keep(pos, next);
        pos = next;
    }
    pieces->clear();
    return false;
}

std::vector<uint8_t> JoinPieces(const uint8_t* data, const std::vector<FilePiece>& pieces)
{
    size_t size = 0;
    for (const FilePiece& piece : pieces) size += (size_t)piece.length;
    std::vector<uint8_t> joined;
    joined.reserve(size);
    for (const FilePiece& piece : pieces)
        joined.insert(joined.end(), data + piece.offset, data + piece.offset + piece.length);
    return joined;
}
