#include "import/open_selection.h"

#include <cstdio>
#include <cstring>

#include "model/collection.h"

// Length of the terminated string at text, or -1 when no terminator comes before end.
static long TerminatedLength(const char* text, const char* end)
{
    const void* zero = memchr(text, 0, (size_t)(end - text));
    return zero ? (long)((const char*)zero - text) : -1;
}

bool ReadOpenSelection(const char* buffer, size_t bufferSize, size_t fileOffset,
                       OpenSelection* out)
{
    if (!buffer || fileOffset == 0 || fileOffset > MaxPathBytes - 1 || fileOffset >= bufferSize)
        return false;
    const char* end = buffer + bufferSize;
    std::vector<const char*> names;
    if (buffer[fileOffset - 1] != 0) {
        // One file: a full path, and nothing after it belongs to the selection.
        long length = TerminatedLength(buffer + fileOffset, end);
        if (length > 0) names.push_back(buffer + fileOffset);
    } else {
        for (const char* name = buffer + fileOffset; name < end;) {
            long length = TerminatedLength(name, end);
            if (length <= 0) break;  // the empty string after the last name, or no end
            names.push_back(name);
            name += length + 1;
        }
    }
    if (names.empty()) return false;
    CopyText(out->directory, sizeof out->directory, "");
    size_t directoryChars = fileOffset - 1;
    // One file in a drive's root ("C:\a.jpg"): "C:" alone would name the drive's current
    // folder, not its root, so the root keeps its backslash as it does for several files.
    if (directoryChars == 2 && buffer[1] == ':' && buffer[2] == '\\') directoryChars = 3;
    memcpy(out->directory, buffer, directoryChars);
    out->directory[directoryChars] = 0;
    out->names.swap(names);
    return true;
}

bool JoinPath(const char* directory, const char* name, char* out, size_t outSize)
{
    if (outSize == 0) return false;
    size_t length = strlen(directory);
    bool hasSeparator = length > 0 && directory[length - 1] == '\\';
    int needed = snprintf(out, outSize, hasSeparator ? "%s%s" : "%s\\%s", directory, name);
    if (needed >= 0 && (size_t)needed < outSize) return true;
    out[0] = 0;
    return false;
}
