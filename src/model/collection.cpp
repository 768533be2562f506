#include "model/collection.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

const char NoCaption[] = "[no caption]";

ImageCollectionType ImageCollection;
FreeSlotQueueType FreeSlotQueue;

void CopyText(char* dest, size_t size, const char* src)
{
    if (!dest || size == 0) return;
    if (!src) src = "";
    size_t n = strlen(src);
    if (n > size - 1) n = size - 1;
    memcpy(dest, src, n);
    dest[n] = 0;
}

ImageEntry MakeImageEntry(int slot, const char* path, const PictureRect& pictureRect)
{
    ImageEntry e;
    memset(&e, 0, sizeof e);
    e.slot = slot;
    e.rotation = 0;
    e.flips = 0;
    CopyText(e.path, sizeof e.path, path);
    CopyText(e.caption, sizeof e.caption, NoCaption);
    e.pictureRect = pictureRect;
    return e;
}

void SetEntryCaption(ImageEntry* entry, const char* text)
{
    if (!text || !*text) text = NoCaption;
    CopyText(entry->caption, sizeof entry->caption, text);
}

bool CaptionIsPlaceholder(const char* caption)
{
    return strncmp(caption, NoCaption, sizeof NoCaption - 1) == 0;
}

// Sorted descending, without repeats, all inside the collection; empty when not.
static std::vector<int> CheckedPositionsDescending(const ImageCollectionType& images,
                                                   const int* positions, int count)
{
    std::vector<int> sorted(positions, positions + (count > 0 ? count : 0));
    std::sort(sorted.begin(), sorted.end(), [](int a, int b) { return a > b; });
    for (size_t i = 0; i < sorted.size(); i++) {
        if (sorted[i] < 0 || sorted[i] >= (int)images.size()) return {};
        if (i > 0 && sorted[i] == sorted[i - 1]) return {};
    }
    return sorted;
}

bool RemoveEntriesAt(ImageCollectionType& images, FreeSlotQueueType& freeSlots,
                     const int* positions, int count)
{
    std::vector<int> sorted = CheckedPositionsDescending(images, positions, count);
    if (sorted.empty()) return false;
    for (int pos : sorted) {
        freeSlots.push_back(images[pos].slot);
        images.erase(images.begin() + pos);
    }
    return true;
}

bool MoveEntriesTo(ImageCollectionType& images, const int* positions, int count,
                   int insertionIndex)
{
    std::vector<int> sorted = CheckedPositionsDescending(images, positions, count);
    if (sorted.empty() || sorted.size() == images.size()) return false;
    if (insertionIndex < 0 || insertionIndex > (int)images.size()) return false;

    std::vector<ImageEntry> block, rest;
    int movedBefore = 0;  // moved entries that stood before the insertion point
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        block.push_back(images[*it]);
        if (*it < insertionIndex) movedBefore++;
    }
    insertionIndex -= movedBefore;
    for (int i = 0; i < (int)images.size(); i++)
        if (!std::binary_search(sorted.begin(), sorted.end(), i, std::greater<int>()))
            rest.push_back(images[i]);
    rest.insert(rest.begin() + insertionIndex, block.begin(), block.end());
    images.assign(rest.begin(), rest.end());
    return true;
}

void ClearCollection(ImageCollectionType& images, FreeSlotQueueType& freeSlots)
{
    images.clear();
    freeSlots.clear();
}

int TakeThumbnailSlot(FreeSlotQueueType& freeSlots, ThumbnailStore& store)
{
    if (!freeSlots.empty()) {
        int slot = freeSlots.front();
        if (!store.ReplaceAt(slot)) return -1;  // the slot stays for the next file
        freeSlots.pop_front();
        return slot;
    }
    int slot = store.Append();
    return slot >= 0 ? slot : -1;
}
