// Reads the boxes libheif reads for its pictures' sizes: the item list (iinf), where each
// item's bytes are (iloc, idat), which items a derived picture is made of (iref dimg), the
// primary item (pitm) and the size boxes (ispe in ipco, tied to items by ipma).
#include "picture/heif_boxes.h"

#include <map>
#include <set>

#include "picture/byte_order.h"

namespace {

constexpr uint32_t Tag(const char (&t)[5])
{
    return (uint32_t)(uint8_t)t[0] << 24 | (uint32_t)(uint8_t)t[1] << 16 |
           (uint32_t)(uint8_t)t[2] << 8 | (uint32_t)(uint8_t)t[3];
}

// Bytes read from the front, every read checked; a read past the end fails the reader
// for good and reads 0.
struct Reader {
    const uint8_t* p = nullptr;
    size_t left = 0;
    bool ok = true;

    uint64_t Read(unsigned bytes)
    {
        if (!ok || bytes > 8 || bytes > left) {
            ok = false;
            return 0;
        }
        uint64_t value = ReadBigEndian(p, (int)bytes);
        p += bytes, left -= bytes;
        return value;
    }
    void Skip(uint64_t bytes)
    {
        if (bytes > left) ok = false;
        else p += bytes, left -= (size_t)bytes;
    }
    unsigned FullBoxVersion() { return (unsigned)(Read(4) >> 24); }  // version, flags
};

struct Box {
    uint32_t type = 0;
    Reader body;
};

// The next box of r with its body bounded by the box's size; false at the end of r or
// at a box that claims more than r holds.
bool NextBox(Reader& r, Box* box)
{
    if (!r.ok || r.left == 0) return false;
    uint64_t size = r.Read(4);
    box->type = (uint32_t)r.Read(4);
    uint64_t header = 8;
    if (size == 1) size = r.Read(8), header = 16;
    else if (size == 0) size = header + r.left;  // the box runs to the end
    if (!r.ok || size < header || size - header > r.left) return r.ok = false;
    box->body = Reader{r.p, (size_t)(size - header)};
    r.Skip(size - header);
    return true;
}

struct Item {
    uint32_t type = 0;
    int method = -1;  // where the first extent of its bytes is: 0 the file, 1 idat
    uint64_t offset = 0, length = 0;
    std::vector<uint32_t> parts;  // dimg references
};

bool Derived(uint32_t type) { return type == Tag("grid") || type == Tag("iovl") || type == Tag("iden"); }

struct Layout {
    std::map<uint32_t, Item> items;
    std::vector<HeifSize> properties;  // ipco's boxes in order; 0 x 0 for those not ispe
    std::vector<std::pair<uint32_t, HeifSize>> itemSizes;
    Reader idat;
    uint32_t primary = 0;
    bool hasPrimary = false, duplicate = false;
};

// Each item is declared once: libheif and this reader could otherwise take different
// declarations of one item.
Item& Declare(Layout& l, std::set<uint32_t>& seen, uint32_t id)
{
    if (!seen.insert(id).second) l.duplicate = true;
    return l.items[id];
}

void ReadItemInfo(Reader r, Layout& l)
{
    r.Read(r.FullBoxVersion() == 0 ? 2 : 4);  // entry count: the boxes that follow
    std::set<uint32_t> seen;
    for (Box infe; NextBox(r, &infe);) {
        if (infe.type != Tag("infe")) continue;
        const unsigned version = infe.body.FullBoxVersion();
        if (version < 2) continue;  // no item type: not a picture
        const uint32_t id = (uint32_t)infe.body.Read(version == 2 ? 2 : 4);
        infe.body.Read(2);  // protection index
        const uint32_t type = (uint32_t)infe.body.Read(4);
        if (infe.body.ok) Declare(l, seen, id).type = type;
    }
}

void ReadItemLocations(Reader r, Layout& l)
{
    const unsigned version = r.FullBoxVersion();
    const unsigned sizes = (unsigned)r.Read(2);
    const unsigned offsetSize = sizes >> 12, lengthSize = sizes >> 8 & 15;
    const unsigned baseSize = sizes >> 4 & 15, indexSize = version >= 1 ? sizes & 15 : 0;
    const uint64_t count = r.Read(version < 2 ? 2 : 4);
    std::set<uint32_t> seen;
    for (uint64_t i = 0; i < count && r.ok; i++) {
        const uint32_t id = (uint32_t)r.Read(version < 2 ? 2 : 4);
        const int method = version >= 1 ? (int)(r.Read(2) & 15) : 0;
        r.Read(2);  // data reference
        const uint64_t base = r.Read(baseSize);
        const unsigned extents = (unsigned)r.Read(2);
        Item& item = Declare(l, seen, id);
        // Extents of no bytes at all say nothing and cost nothing to skip.
        for (unsigned e = 0; e < extents && r.ok && offsetSize + lengthSize + indexSize; e++) {
            r.Read(indexSize);
            const uint64_t offset = r.Read(offsetSize), length = r.Read(lengthSize);
            if (e == 0) item.method = method, item.offset = base + offset, item.length = length;
        }
    }
}

void ReadReferences(Reader r, Layout& l)
{
    const unsigned idSize = r.FullBoxVersion() == 0 ? 2 : 4;
    for (Box ref; NextBox(r, &ref);) {
        const uint32_t from = (uint32_t)ref.body.Read(idSize);
        const unsigned count = (unsigned)ref.body.Read(2);
        for (unsigned i = 0; i < count && ref.body.ok; i++) {
            const uint32_t to = (uint32_t)ref.body.Read(idSize);
            if (ref.type == Tag("dimg") && ref.body.ok) l.items[from].parts.push_back(to);
        }
    }
}

void ReadProperties(Reader r, Layout& l)
{
    Reader associations;
    for (Box box; NextBox(r, &box);) {
        if (box.type == Tag("ipma") && !associations.p) associations = box.body;
        if (box.type != Tag("ipco") || !l.properties.empty()) continue;
        for (Box property; NextBox(box.body, &property);) {
            HeifSize size{0, 0};
            if (property.type == Tag("ispe")) {
                property.body.FullBoxVersion();
                size.width = property.body.Read(4);
                size.height = property.body.Read(4);
            }
            l.properties.push_back(size);
        }
    }
    const uint64_t versionAndFlags = associations.Read(4);
    const unsigned version = (unsigned)(versionAndFlags >> 24);
    const bool wideIndex = versionAndFlags & 1;
    const uint64_t count = associations.Read(4);
    for (uint64_t i = 0; i < count && associations.ok; i++) {
        const uint32_t id = (uint32_t)associations.Read(version < 1 ? 2 : 4);
        const unsigned n = (unsigned)associations.Read(1);
        for (unsigned j = 0; j < n && associations.ok; j++) {
            const uint64_t index = associations.Read(wideIndex ? 2 : 1) & (wideIndex ? 0x7FFF : 0x7F);
            if (index >= 1 && index <= l.properties.size() && l.properties[index - 1].width)
                l.itemSizes.push_back({id, l.properties[index - 1]});
        }
    }
}

// The canvas of a grid or overlay picture from the first bytes of its data.
bool ReadCanvas(const Item& item, Reader file, const Reader& idat, HeifSize* canvas)
{
    Reader data = item.method == 1 ? idat : file;
    if (item.method < 0 || item.method > 1) return false;
    data.Skip(item.offset);
    if (item.length && item.length < data.left) data.left = (size_t)item.length;
    data.Read(1);  // version
    const unsigned field = (data.Read(1) & 1) ? 4 : 2;
    data.Skip(item.type == Tag("grid") ? 2 : 8);  // rows and columns, or fill colours
    canvas->width = data.Read(field);
    canvas->height = data.Read(field);
    return data.ok;
}

}  // namespace

bool ReadHeifSizes(const uint8_t* data, size_t size, std::vector<HeifSize>* sizes)
{
    sizes->clear();
    Reader file{data, data ? size : 0}, top = file;
    Box meta;
    while (NextBox(top, &meta) && meta.type != Tag("meta")) {
    }
    if (meta.type != Tag("meta") || !top.ok) return false;
    Layout l;
    meta.body.FullBoxVersion();
    std::set<uint32_t> read;  // libheif reads the first box of each kind
    for (Box box; NextBox(meta.body, &box);) {
        if (!read.insert(box.type).second) continue;
        Reader& r = box.body;
        if (box.type == Tag("pitm")) {
            l.primary = (uint32_t)r.Read(r.FullBoxVersion() == 0 ? 2 : 4);
            l.hasPrimary = r.ok;
        }
        if (box.type == Tag("iinf")) ReadItemInfo(r, l);
        if (box.type == Tag("iloc")) ReadItemLocations(r, l);
        if (box.type == Tag("iref")) ReadReferences(r, l);
        if (box.type == Tag("iprp")) ReadProperties(r, l);
        if (box.type == Tag("idat")) l.idat = r;
    }
    if (!meta.body.ok || !l.hasPrimary || l.duplicate) return false;
    bool primarySized = false;
    for (const auto& s : l.itemSizes) {
        sizes->push_back(s.second);
        primarySized |= s.first == l.primary;
    }
    for (const auto& entry : l.items) {
        const Item& item = entry.second;
        if (!Derived(item.type)) continue;
        for (uint32_t part : item.parts) {
            auto found = l.items.find(part);
            if (found != l.items.end() && Derived(found->second.type)) return false;
        }
        if (item.type == Tag("iden")) continue;
        HeifSize canvas;
        if (!ReadCanvas(item, file, l.idat, &canvas)) return false;
        sizes->push_back(canvas);
    }
    return primarySized;
}
