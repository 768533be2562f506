// Whole-file reads and safe writes with Win32 calls: paths are Windows paths (under Wine
// too), which the portable core cannot open. Paths are UTF-8; the calls are the W ones.
#pragma once
#include <cstdint>
#include <vector>

#include "model/types.h"
#include "platform/owners_win.h"

// Largest file read into memory; no image the program accepts comes near it.
enum : DWORD { MaxReadFileBytes = 1024u * 1024u * 1024u };

// Reads or writes exactly size bytes, in pieces a single call takes. Through `bounce`
// (bounceSize bytes) when given: under Wine a pipe cannot read into the Linux side's heap.
BOOL ReadFully(HANDLE file, uint8_t* data, size_t size, uint8_t* bounce = nullptr,
               size_t bounceSize = 0);
BOOL WriteFully(HANDLE file, const uint8_t* data, size_t size, uint8_t* bounce = nullptr,
                size_t bounceSize = 0);

// Reads a whole regular file. FALSE for folders, missing or unreadable files, and files
// larger than MaxReadFileBytes.
BOOL ReadWholeFile(const char* path, std::vector<uint8_t>* out);

// A whole regular file mapped into memory, read-only, for the decoder processes: no copy
// and no zero-filled buffer; unmapped when it goes. Map is FALSE for what ReadWholeFile
// refuses and for empty files. A file cut short by another program while mapped faults
// on access: only in a decoder, which the program then counts as failed.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    BOOL Map(const char* path);
    const uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    ScopedHandle mapping_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// A file written in pieces into a temporary file in the target's folder, which then
// replaces the target: a failed write never leaves a half-written file at the path nor
// harms an existing one. On failure GetLastError() tells why (a viewer holding the
// target open, a full disk).
struct ReplacingFile {
    ScopedHandle file;  // the temporary file; a file never ended is deleted with it
    char target[MaxPathBytes];
    char temp[MaxPathBytes + 16];
    ~ReplacingFile();
};
BOOL StartReplacing(ReplacingFile* out, const char* path);
BOOL WriteReplacing(ReplacingFile* out, const uint8_t* data, size_t size);
// keep: replace the target with what was written; otherwise delete the temporary file.
BOOL EndReplacing(ReplacingFile* out, BOOL keep);

// A file held open for reading that no one may change or delete meanwhile (where the
// system enforces sharing); *size: its size. FALSE for what ReadWholeFile refuses.
BOOL OpenUnchangeable(const char* path, ScopedHandle* file, uint64_t* size);
// Reads exactly size bytes at offset.
BOOL ReadFileAt(HANDLE file, uint64_t offset, uint8_t* data, size_t size);

// A scratch file in the user's temporary folder, deleted when it goes, and the files that
// hold pictures the spool leaves where they are.
struct HeldInFile {
    ScopedHandle file;
    std::vector<FilePiece> pieces;  // in order: the picture's bytes, joined
    uint64_t at, size;              // where ReadFromSpool finds them, and how many
};
struct TempSpool {
    ScopedHandle file;
    uint64_t size = 0;
    std::vector<HeldInFile> held;
};
BOOL AppendToSpool(TempSpool* spool, const uint8_t* data, size_t size, uint64_t* offset);
// Takes a file opened by OpenUnchangeable and the pieces of it that make a picture, all
// inside its fileSize bytes: *offset and *size tell where ReadFromSpool finds the picture.
BOOL HoldInSpool(TempSpool* spool, ScopedHandle file, uint64_t fileSize,
                 const std::vector<FilePiece>& pieces, uint64_t* offset, uint64_t* size);
BOOL ReadFromSpool(TempSpool* spool, uint64_t offset, uint8_t* data, size_t size);

BOOL DeleteFileAtPath(const char* path);
// The system's sentence for an error code (FormatMessage), in UTF-8, without line break.
void DescribeSystemError(DWORD error, char* out, size_t outSize);

BOOL FileExists(const char* path);  // a file (not a folder) is there
