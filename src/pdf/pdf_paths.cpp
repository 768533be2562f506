#include "pdf/pdf_paths.h"

#include <cstring>

#include "model/collection.h"

const char* PathFileName(const char* path)
{
    if (!path) return "";
    const char* name = path;
    for (const char* p = path; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return name;
}

void OfferedPdfName(const char* lastPath, char* out, size_t outSize)
{
    const char* name = PathFileName(lastPath);
    CopyText(out, outSize, name[0] ? name : "*.pdf");
}

bool ChosenPdfFolder(const char* path, unsigned fileOffset, char* out, size_t outSize)
{
    if (!path || !out || outSize == 0 || fileOffset == 0) return false;
    const size_t length = strlen(path);
    if (fileOffset > length) return false;
    const char separator = path[fileOffset - 1];
    if (separator != '\\' && separator != '/') return false;
    size_t keep = fileOffset - 1;
    if (keep == 2 && path[1] == ':') keep = 3;  // "C:\name.pdf": the root, not "C:"
    if (keep >= outSize) keep = outSize - 1;
    memcpy(out, path, keep);
    out[keep] = 0;
    return true;
}
