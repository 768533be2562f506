#include "picture/jpeg_segments.h"

#include "picture/byte_order.h"

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
