// The collection, the free-slot queue and the shared count texts.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "model/collection.h"
#include "model/types.h"

namespace {

PictureRect Rect(int l, int t, int r, int b) { return PictureRect{l, t, r, b}; }

// Stands in for the thumbnail image list: counts images, can refuse a replacement.
struct FakeStore : ThumbnailStore {
    int count = 0;
    bool refuseReplace = false;
    bool refuseAppend = false;
    std::vector<int> replaced;
    bool ReplaceAt(int slot) override
    {
        if (refuseReplace) return false;
        replaced.push_back(slot);
        return true;
    }
    int Append() override { return refuseAppend ? -1 : count++; }
};

std::vector<int> Slots(const ImageCollectionType& images)
{
    std::vector<int> s;
    for (const ImageEntry& e : images) s.push_back(e.slot);
    return s;
}

ImageCollectionType MakeImages(FakeStore& store, FreeSlotQueueType& queue, int n)
{
    ImageCollectionType images;
    for (int i = 0; i < n; i++) {
        char path[32];
        snprintf(path, sizeof path, "C:\\p\\%d.jpg", i);
        images.push_back(MakeImageEntry(TakeThumbnailSlot(queue, store), path, Rect(0, 0, 96, 96)));
    }
    return images;
}

}  // namespace

TEST(Collection, NewEntryHasDefaults)
{
    ImageEntry e = MakeImageEntry(3, "C:\\Pictures\\a.jpg", Rect(0, 12, 96, 84));
    EXPECT_EQ(3, e.slot);
    EXPECT_EQ(0, e.rotation);
    EXPECT_EQ(0, e.flips);
    EXPECT_STREQ("C:\\Pictures\\a.jpg", e.path);
    EXPECT_STREQ("[no caption]", e.caption);
    EXPECT_EQ(12, e.pictureRect.top);
    EXPECT_EQ(84, e.pictureRect.bottom);
}

TEST(Collection, LongPathAndCaptionAreCutToTheirFields)
{
    std::string longPath(MaxPathBytes + 100, 'x');
    ImageEntry e = MakeImageEntry(0, longPath.c_str(), Rect(0, 0, 96, 96));
    EXPECT_EQ(MaxPathBytes - 1u, strlen(e.path));
    SetEntryCaption(&e, std::string(45, 'c').c_str());
    EXPECT_EQ(39u, strlen(e.caption));
    SetEntryCaption(&e, "");
    EXPECT_STREQ("[no caption]", e.caption);
    EXPECT_TRUE(CaptionIsPlaceholder("[no caption] and more"));
    EXPECT_FALSE(CaptionIsPlaceholder("[no caption"));
    EXPECT_FALSE(CaptionIsPlaceholder("Beach"));
}

TEST(Collection, AppendingTakesNewSlotsInOrder)
{
    FakeStore store;
    FreeSlotQueueType queue;
    ImageCollectionType images = MakeImages(store, queue, 3);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), Slots(images));
    EXPECT_TRUE(store.replaced.empty());
}

TEST(Collection, FreedSlotsAreReusedHighestRemovedPositionFirst)
{
    FakeStore store;
    FreeSlotQueueType queue;
    ImageCollectionType images = MakeImages(store, queue, 6);
    int positions[] = {2, 5};
    ASSERT_TRUE(RemoveEntriesAt(images, queue, positions, 2));
    EXPECT_EQ((std::vector<int>{0, 1, 3, 4}), Slots(images));
    EXPECT_EQ((FreeSlotQueueType{5, 2}), queue);

    EXPECT_EQ(5, TakeThumbnailSlot(queue, store));
    EXPECT_EQ(2, TakeThumbnailSlot(queue, store));
    EXPECT_EQ(6, TakeThumbnailSlot(queue, store));  // queue empty: a new slot
    EXPECT_EQ((std::vector<int>{5, 2}), store.replaced);
}

TEST(Collection, RemovingPositionZeroThenAddingReusesSlotZeroAtTheEnd)
{
    FakeStore store;
    FreeSlotQueueType queue;
    ImageCollectionType images = MakeImages(store, queue, 3);
    int first = 0;
    ASSERT_TRUE(RemoveEntriesAt(images, queue, &first, 1));
    EXPECT_EQ(1, images[0].slot);  // slots are never renumbered
    images.push_back(MakeImageEntry(TakeThumbnailSlot(queue, store), "x", Rect(0, 0, 96, 96)));
    EXPECT_EQ((std::vector<int>{1, 2, 0}), Slots(images));
    EXPECT_TRUE(queue.empty());
}

TEST(Collection, RefusedReplacementKeepsTheSlotQueued)
{
    FakeStore store;
    FreeSlotQueueType queue{4, 7};
    store.refuseReplace = true;
    EXPECT_EQ(-1, TakeThumbnailSlot(queue, store));
    EXPECT_EQ((FreeSlotQueueType{4, 7}), queue);
    store.refuseReplace = false;
    EXPECT_EQ(4, TakeThumbnailSlot(queue, store));
    EXPECT_EQ((FreeSlotQueueType{7}), queue);
    store.refuseAppend = true;
    FreeSlotQueueType empty;
    EXPECT_EQ(-1, TakeThumbnailSlot(empty, store));
}

TEST(Collection, ClearingEmptiesBoth)
{
    FakeStore store;
    FreeSlotQueueType queue;
    ImageCollectionType images = MakeImages(store, queue, 3);
    int p = 1;
    RemoveEntriesAt(images, queue, &p, 1);
    ClearCollection(images, queue);
    EXPECT_TRUE(images.empty());
    EXPECT_TRUE(queue.empty());
}

TEST(Collection, BadRemovalsChangeNothing)
{
    FakeStore store;
    FreeSlotQueueType queue;
    ImageCollectionType images = MakeImages(store, queue, 3);
    int outside[] = {1, 3};
    int repeated[] = {1, 1};
    EXPECT_FALSE(RemoveEntriesAt(images, queue, outside, 2));
    EXPECT_FALSE(RemoveEntriesAt(images, queue, repeated, 2));
    EXPECT_FALSE(RemoveEntriesAt(images, queue, nullptr, 0));
    EXPECT_EQ(3u, images.size());
    EXPECT_TRUE(queue.empty());
}

TEST(Collection, MovingABlockKeepsItsOrder)
{
    struct Case {
        std::vector<int> selected;
        int insertion;
        std::vector<int> expected;  // slots after the move (slot i started at position i)
    } cases[] = {
        {{0}, 4, {1, 2, 3, 0, 4}},     // dropped on the right half of position 3
        {{4}, 1, {0, 4, 1, 2, 3}},     // dropped on the left half of position 1
        {{1, 2, 3}, 5, {0, 4, 1, 2, 3}},
        {{3, 1}, 0, {1, 3, 0, 2, 4}},
        {{0, 4}, 2, {1, 0, 4, 2, 3}},
    };
    for (const Case& c : cases) {
        FakeStore store;
        FreeSlotQueueType queue;
        ImageCollectionType images = MakeImages(store, queue, 5);
        ASSERT_TRUE(MoveEntriesTo(images, c.selected.data(), (int)c.selected.size(), c.insertion));
        EXPECT_EQ(c.expected, Slots(images));
    }
}

TEST(Collection, MovesThatCannotChangeAnythingAreRefused)
{
    FakeStore store;
    FreeSlotQueueType queue;
    ImageCollectionType images = MakeImages(store, queue, 3);
    int all[] = {0, 1, 2};
    int one = 1;
    EXPECT_FALSE(MoveEntriesTo(images, all, 3, 0));
    EXPECT_FALSE(MoveEntriesTo(images, &one, 1, -1));
    EXPECT_FALSE(MoveEntriesTo(images, &one, 1, 4));
    EXPECT_FALSE(MoveEntriesTo(images, nullptr, 0, 1));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), Slots(images));
}

TEST(SharedTypes, ImagesPerPageAndPageCount)
{
    EXPECT_EQ(1, ImagesPerPage(LayoutOnePerPage));
    EXPECT_EQ(2, ImagesPerPage(LayoutTwoPerPage));
    EXPECT_EQ(4, ImagesPerPage(LayoutFourPerPage));
    EXPECT_EQ(1, ImagesPerPage(0));
    EXPECT_EQ(1, ImagesPerPage(121));
    struct { int n; LayoutMode mode; int pages; } cases[] = {
        {0, LayoutOnePerPage, 0}, {0, LayoutFourPerPage, 0}, {1, LayoutOnePerPage, 1},
        {3, LayoutTwoPerPage, 2}, {9, LayoutFourPerPage, 3}, {4, LayoutFourPerPage, 1},
        {5, LayoutOnePerPage, 5}, {5, LayoutTwoPerPage, 3}, {5, LayoutFourPerPage, 2},
        {201, LayoutTwoPerPage, 101},
    };
    for (auto& c : cases) EXPECT_EQ(c.pages, PageCount(c.n, c.mode)) << c.n << " " << c.mode;
}

TEST(SharedTypes, CountsArePaddedToThreeDigitsAndNeverCut)
{
    char buf[32];
    EXPECT_STREQ("000", FormatCount(0, buf, sizeof buf));
    EXPECT_STREQ("007", FormatCount(7, buf, sizeof buf));
    EXPECT_STREQ("042", FormatCount(42, buf, sizeof buf));
    EXPECT_STREQ("100", FormatCount(100, buf, sizeof buf));
    EXPECT_STREQ("1000", FormatCount(1000, buf, sizeof buf));
    EXPECT_STREQ("1234", FormatCount(1234, buf, sizeof buf));
    char small[3];
    EXPECT_STREQ("04", FormatCount(42, small, sizeof small));  // bounded by its buffer
}
