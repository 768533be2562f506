// The files chosen in a multi-select open dialog, read from the dialog's result buffer
// (converted to UTF-8, fileOffset counted in bytes). Portable: no windows.h here.
#pragma once
#include <cstddef>
#include <vector>

#include "model/types.h"

struct OpenSelection {
    // The folder of the chosen files: the buffer's first offset - 1 characters, so
    // without the separating backslash; a drive's root is always given as "C:\".
    char directory[MaxPathBytes];
    std::vector<const char*> names;  // into the buffer, in the dialog's order; at least 1
};

// fileOffset is the dialog's offset of the first name. With one file chosen the buffer
// holds the full path (the character before the name is a backslash); with several, the
// folder, a terminator, then each name terminated and an empty string after the last.
// False, and *out unchanged, when the offset is 0, above MaxPathBytes - 1 or outside the
// buffer, or when no terminated name is found inside the buffer.
bool ReadOpenSelection(const char* buffer, size_t bufferSize, size_t fileOffset,
                       OpenSelection* out);

// directory, a backslash and name in out. A directory that already ends with a backslash
// (a root) gets no second one. False, and out empty, when the path does not fit in
// outSize bytes with its terminator: a cut path would name another file, or end inside
// a UTF-8 character.
bool JoinPath(const char* directory, const char* name, char* out, size_t outSize);
