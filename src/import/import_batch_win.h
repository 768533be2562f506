// The frame that Add Images and dropping files share: the progress dialog around a run
// of files, the texts shown for each file, and the step that turns one file into one
// entry of the collection.
#pragma once
#include "ui/globals_win.h"

// Opens the batch for count files as the running operation: sets ImportActive, disables
// the main window and shows the "Add Images" progress dialog with its bar set to
// 0..count. Returns the number of files to work on: count, or 0 when count is 0, another
// operation runs, or the dialog could not be made (then the main window is enabled again).
int OpenImportBatch(int count);

// Closes the batch that OpenImportBatch(count) opened (count as it returned): enables
// the main window, removes the dialog, shows the new item count and ends the operation.
void CloseImportBatch(int count);

// Before file number (1-based) of count: steps the bar and shows "Processing File ...
// of ..." and "Making Thumbnail for: path".
void ShowImportProgress(int number, int count, const char* path);

// Writes the path of file number index (0-based) into path (size bytes). FALSE when the
// path is too long for the program, which then holds as much of it as fits.
typedef BOOL (*ImportPathProc)(int index, char* path, size_t size, void* context);

// The body of an opened batch of count files: for each one, in order, the progress
// texts, then its thumbnail, made in a decoder process while the decoders already work on
// the files after it, goes into a free slot (or a new one) of the thumbnail image list
// and its entry is appended to the collection. A file that is not a readable picture (or
// that the decoder could not finish) is reported on the progress dialog's message line as
// "Unknown File Format: path", one that took too long as "Took Too Long to Read: path",
// and adds nothing. Stops at a Cancel; the view is refreshed now and then and when the
// batch closes.
void ImportFiles(int count, ImportPathProc pathAt, void* context);
