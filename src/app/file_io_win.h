// Whole-file reads and safe writes with Win32 calls: paths are Windows paths (under Wine
// too), which the portable core cannot open. Paths are UTF-8; the calls are the W ones.
#pragma once
#include <cstdint>
#include <vector>

#include "app/globals_win.h"

// Largest file read into memory; no image the program accepts comes near it.
enum : DWORD { MaxReadFileBytes = 1024u * 1024u * 1024u };

// Reads a whole regular file. FALSE for folders, missing or unreadable files, and files
// larger than MaxReadFileBytes.
BOOL ReadWholeFile(const char* path, std::vector<uint8_t>* out);

// Writes to a temporary file in the target's folder and then replaces the target, so a
// failed write never leaves a half-written file at the path nor harms an existing one.
// On failure GetLastError() tells why (a viewer holding the target open, a full disk).
BOOL WriteFileReplacing(const char* path, const uint8_t* data, size_t size);
BOOL DeleteFileAtPath(const char* path);

// The system's sentence for an error code (FormatMessage), in UTF-8, without line break.
void DescribeSystemError(DWORD error, char* out, size_t outSize);

BOOL FileExists(const char* path);  // a file (not a folder) is there
