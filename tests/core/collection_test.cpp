// The collection's slot rules, removal and moves, and the count texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/collection.h"

namespace {

// Stands in for the thumbnail image list: counts images, can refuse.
struct FakeStore : ThumbnailStore {
    int count = 0;
    bool refuse = false;
    bool ReplaceAt(int slot) override { return !refuse; }
    int Append() override { return refuse ? -1 : count++; }
};

std::vector<int> Slots(const ImageCollectionType& images)
{
    std::vector<int> s;
    for (const ImageEntry& e : images) s.push_back(e.slot);
    return s;
}

class Collection : public testing::Test {
protected:
    void Add(int n)
    {
        for (int i = 0; i < n; i++)
            images.push_back(MakeImageEntry(TakeThumbnailSlot(queue, store), "C:\\p.jpg", {}));
    }
    FakeStore store;
    FreeSlotQueueType queue;
    ImageCollectionType images;
};

}  // namespace

TEST_F(Collection, FreedSlotsAreReusedHighestRemovedPositionFirstAndBadRemovalsChangeNothing)
{
    Add(6);
    int positions[] = {2, 5}, outside[] = {1, 4}, repeated[] = {1, 1};
    ASSERT_TRUE(RemoveEntriesAt(images, queue, positions, 2));
    EXPECT_FALSE(RemoveEntriesAt(images, queue, outside, 2));
    EXPECT_FALSE(RemoveEntriesAt(images, queue, repeated, 2));
    EXPECT_EQ((std::vector<int>{0, 1, 3, 4}), Slots(images));  // slots are never renumbered
    int first = 0;
    ASSERT_TRUE(RemoveEntriesAt(images, queue, &first, 1));
    Add(4);
    EXPECT_EQ((std::vector<int>{1, 3, 4, 5, 2, 0, 6}), Slots(images));
    EXPECT_TRUE(queue.empty());

    queue = {4, 7};  // a refused replacement keeps the slot queued
    store.refuse = true;
    EXPECT_EQ(-1, TakeThumbnailSlot(queue, store));
    EXPECT_EQ((FreeSlotQueueType{4, 7}), queue);
    ClearCollection(images, queue);
    EXPECT_TRUE(images.empty() && queue.empty());
}

TEST_F(Collection, MovingABlockKeepsItsOrderAndBadMovesChangeNothing)
{
    Add(5);
    struct Case {
        std::vector<int> selected;
        int insertion;
        std::vector<int> expected;  // slot i started at position i; empty: refused
    } cases[] = {
        {{0}, 4, {1, 2, 3, 0, 4}},       {{4}, 1, {0, 4, 1, 2, 3}},
        {{1, 2, 3}, 5, {0, 4, 1, 2, 3}}, {{3, 1}, 0, {1, 3, 0, 2, 4}},
        {{0, 4}, 2, {1, 0, 4, 2, 3}},    {{0, 1, 2, 3, 4}, 0, {}},
        {{1}, -1, {}},                   {{1}, 6, {}},
    };
    for (const Case& c : cases) {
        ImageCollectionType moved = images;
        EXPECT_EQ(!c.expected.empty(),
                  MoveEntriesTo(moved, c.selected.data(), (int)c.selected.size(), c.insertion));
        EXPECT_EQ(c.expected.empty() ? Slots(images) : c.expected, Slots(moved))
            << "insertion " << c.insertion;
    }
}

TEST_F(Collection, FieldsAreCutEmptyCaptionsBecomeThePlaceholderAndCountsArePadded)
{
    ImageEntry e = MakeImageEntry(0, std::string(MaxPathBytes + 100, 'x').c_str(), {});
    EXPECT_EQ(MaxPathBytes - 1, (int)strlen(e.path));  // a UTF-8 path
    SetEntryCaption(&e, std::string(45, 'c').c_str());
    EXPECT_EQ(CaptionChars - 1, (int)strlen(e.caption));
    SetEntryCaption(&e, "");
    EXPECT_TRUE(CaptionIsPlaceholder(e.caption));
    EXPECT_FALSE(CaptionIsPlaceholder("[no caption"));

    // Counts take three digits at least and are never cut, but by their buffer.
    char buf[32], small[3];
    struct { int n; const char* text; } counts[] = {
        {0, "000"}, {7, "007"}, {42, "042"}, {1000, "1000"}, {1234, "1234"}};
    for (auto& c : counts) EXPECT_STREQ(c.text, FormatCount(c.n, buf, sizeof buf));
    EXPECT_STREQ("04", FormatCount(42, small, sizeof small));  // bounded by its buffer
    struct { int n; LayoutMode mode; int pages; } pages[] = {
        {0, LayoutOnePerPage, 0}, {3, LayoutTwoPerPage, 2}, {4, LayoutFourPerPage, 1},
        {5, LayoutFourPerPage, 2}, {201, LayoutTwoPerPage, 101}, {5, 121, 5}};
    for (auto& c : pages) EXPECT_EQ(c.pages, PageCount(c.n, c.mode)) << c.n << " " << c.mode;
}
