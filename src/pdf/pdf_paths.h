// The pieces of the PDF's path that the save dialog and the mail message use. Portable.
#pragma once
#include <cstddef>

// The file name and extension of path: what follows its last '\\', '/' or ':'. Empty
// when the path ends in one of them, or is null.
const char* PathFileName(const char* path);

// What the save dialog offers after lastPath: its file name without the folder, or
// "*.pdf" when it has none. Cut to outSize - 1 characters.
void OfferedPdfName(const char* lastPath, char* out, size_t outSize);

// The folder of a path the save dialog returned, from the dialog's offset of the file
// name: the characters before the separator that precedes the name. A drive root keeps
// its backslash ("C:\\"), so the next dialog starts in the root rather than in the
// drive's current folder. Returns false, leaving out alone, when the offset does not
// point into the path behind a separator.
bool ChosenPdfFolder(const char* path, unsigned fileOffset, char* out, size_t outSize);
