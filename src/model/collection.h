// The images the user added, in page order, and the thumbnail slots freed by removals.
// Portable: no windows.h here.
#pragma once
#include <deque>

#include "model/types.h"

struct PictureRect {
    int left, top, right, bottom;  // thumbnail pixels; right and bottom exclusive
};

// Flag values of ImageEntry::flips: flips of the unrotated file, applied before rotation.
enum { FlipLeftRightFlag = 1, FlipTopBottomFlag = 2 };

struct ImageEntry {
    int slot;          // index of the thumbnail in the thumbnail image list; never changes
    int rotation;      // quarter turns counter-clockwise in degrees: 0, 90, 180 or 270
    int flips;         // FlipLeftRightFlag | FlipTopBottomFlag
    char path[MaxPathBytes];  // UTF-8
    char caption[CaptionChars];
    PictureRect pictureRect;
};

extern const char NoCaption[];  // "[no caption]"

typedef std::deque<ImageEntry> ImageCollectionType;
typedef std::deque<int> FreeSlotQueueType;

extern ImageCollectionType ImageCollection;  // page order: position i is list item i
extern FreeSlotQueueType FreeSlotQueue;      // freed thumbnail slots, first in first out

// A new entry with the defaults: rotation 0, no flips, caption "[no caption]".
// The path (UTF-8) is cut to MaxPathBytes - 1 bytes.
ImageEntry MakeImageEntry(int slot, const char* path, const PictureRect& pictureRect);

// Copies text into a caption field: at most CaptionChars - 1 characters; empty text
// stores "[no caption]".
void SetEntryCaption(ImageEntry* entry, const char* text);

// True when the caption starts with the 12 characters "[no caption]" (not drawn in the PDF).
bool CaptionIsPlaceholder(const char* caption);

// Positions given in any order; removes those entries highest position first and appends
// each removed slot to the back of the queue in that order. Positions outside the
// collection or repeated make the call remove nothing and return false.
bool RemoveEntriesAt(ImageCollectionType& images, FreeSlotQueueType& freeSlots,
                     const int* positions, int count);

// Moves the entries at the given positions (any order) as one block so that it lands
// before insertionIndex (0..size, counted before the move); the block keeps the entries'
// former relative order. Returns false and changes nothing for bad input, and when the
// move would change nothing (no positions, every entry, or an index out of range).
bool MoveEntriesTo(ImageCollectionType& images, const int* positions, int count,
                   int insertionIndex);

// Empties both containers (the thumbnail list is emptied by the caller).
void ClearCollection(ImageCollectionType& images, FreeSlotQueueType& freeSlots);

// Bounded copy: at most size - 1 characters and a terminator (like lstrcpynA).
void CopyText(char* dest, size_t size, const char* src);

// Where a new thumbnail goes: the front of the free-slot queue when there is one (the
// slot is dropped from the queue only when writing the thumbnail there succeeded), else
// a new slot at the end of the thumbnail list. Returns the slot, or -1 when the
// thumbnail could not be stored (then the queue is unchanged).
class ThumbnailStore {
public:
    virtual ~ThumbnailStore() {}
    virtual bool ReplaceAt(int slot) = 0;  // overwrite an existing slot
    virtual int Append() = 0;              // new slot index, negative on failure
};
int TakeThumbnailSlot(FreeSlotQueueType& freeSlots, ThumbnailStore& store);
