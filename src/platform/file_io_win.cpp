#include "platform/file_io_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/wide_text_win.h"

namespace {
const size_t LargestPiece = 16u << 20;  // bytes one ReadFile or WriteFile is given

// A regular file opened for reading, with its size; FALSE for what cannot be read whole.
BOOL OpenForReading(const char* path, ScopedHandle* file, LARGE_INTEGER* size)
{
    file->Reset(CreateFileW(WidePath(path).text, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    return file->Valid() && GetFileSizeEx(file->Get(), size) && size->QuadPart <= MaxReadFileBytes;
}
}  // namespace

BOOL ReadFully(HANDLE file, uint8_t* data, size_t size, uint8_t* bounce, size_t bounceSize)
{
    for (size_t done = 0; done < size;) {
        const DWORD piece = (DWORD)std::min(size - done, bounce ? bounceSize : LargestPiece);
        DWORD got = 0;
        if (!ReadFile(file, bounce ? bounce : data + done, piece, &got, NULL) || got == 0 ||
            got > piece)
            return FALSE;
        if (bounce) memcpy(data + done, bounce, got);
        done += got;
    }
    return TRUE;
}

BOOL WriteFully(HANDLE file, const uint8_t* data, size_t size, uint8_t* bounce, size_t bounceSize)
{
    for (size_t done = 0; done < size;) {
        const DWORD piece = (DWORD)std::min(size - done, bounce ? bounceSize : LargestPiece);
        if (bounce) memcpy(bounce, data + done, piece);
        DWORD written = 0;
        if (!WriteFile(file, bounce ? bounce : data + done, piece, &written, NULL) ||
            written == 0 || written > piece)
            return FALSE;
        done += written;
    }
    return TRUE;
}

BOOL ReadWholeFile(const char* path, std::vector<uint8_t>* out)
{
    out->clear();
    ScopedHandle file;
    LARGE_INTEGER size;
    BOOL ok = OpenForReading(path, &file, &size);
    try {
        if (ok) out->resize((size_t)size.QuadPart);
    } catch (...) {
        ok = FALSE;  // no memory for it: reported like an unreadable file
    }
    ok = ok && ReadFully(file.Get(), out->data(), out->size());
    if (!ok) out->clear();
    return ok;
}

BOOL MappedFile::Map(const char* path)
{
    ScopedHandle file;
    LARGE_INTEGER size;
    // The mapping keeps the file open; the file's own handle is not needed once it exists.
    if (data_ || !OpenForReading(path, &file, &size) || size.QuadPart == 0) return FALSE;
    mapping_.Reset(CreateFileMappingW(file.Get(), NULL, PAGE_READONLY, 0, 0, NULL));
    if (mapping_.Valid())
        data_ = (const uint8_t*)MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, 0);
    if (!data_) return FALSE;
    size_ = (size_t)size.QuadPart;
    return TRUE;
}

MappedFile::~MappedFile()
{
    if (data_) UnmapViewOfFile(data_);
}

BOOL FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesW(WidePath(path).text);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The temporary file beside the target: "name.pdf.part", as an extended-length path
// ("\\?\C:\..." or "\\?\UNC\server\...") so that the five added characters never push
// it past MAX_PATH when the target itself fits.
static BOOL TemporaryPath(const char* path, char* out, size_t outSize)
{
    const char* prefix = "";
    if (path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.') {
        prefix = "\\\\?\\UNC";
        path++;  // "\\server\share" becomes "\\?\UNC\server\share"
    } else if (path[0] && path[1] == ':' && path[2] == '\\') {
        prefix = "\\\\?\\";
    }
    int written = snprintf(out, outSize, "%s%s.part", prefix, path);
    return written > 0 && (size_t)written < outSize;
}

BOOL StartReplacing(ReplacingFile* out, const char* path)
{
    if (snprintf(out->target, sizeof out->target, "%s", path) >= (int)sizeof out->target ||
        !TemporaryPath(path, out->temp, sizeof out->temp)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    out->file.Reset(CreateFileW(WidePath(out->temp).text, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    return out->file.Valid();
}

BOOL WriteReplacing(ReplacingFile* out, const uint8_t* data, size_t size)
{
    return out->file.Valid() && WriteFully(out->file.Get(), data, size);
}

BOOL EndReplacing(ReplacingFile* out, BOOL keep)
{
    if (!out->file.Valid()) return FALSE;
    BOOL ok = keep && FlushFileBuffers(out->file.Get());
    ok = out->file.Close() && ok;
    WidePath temp(out->temp);
    if (ok)
        ok = MoveFileExW(temp.text, WidePath(out->target).text,
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    DWORD error = ok ? 0 : GetLastError();  // the reason is the write's, not the clean-up's
    if (!ok) DeleteFileW(temp.text);
    if (!ok) SetLastError(error);
    return ok;
}

ReplacingFile::~ReplacingFile()
{
    if (file.Valid()) EndReplacing(this, FALSE);
}

static BOOL SeekTo(HANDLE file, uint64_t offset)
{
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)offset;
    return SetFilePointerEx(file, at, NULL, FILE_BEGIN);
}

BOOL OpenUnchangeable(const char* path, ScopedHandle* file, uint64_t* size)
{
    file->Reset(CreateFileW(WidePath(path).text, GENERIC_READ, FILE_SHARE_READ, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    LARGE_INTEGER bytes;
    if (!file->Valid() || !GetFileSizeEx(file->Get(), &bytes) || bytes.QuadPart > MaxReadFileBytes) {
        file->Reset();
        return FALSE;
    }
    *size = (uint64_t)bytes.QuadPart;
    return TRUE;
}

BOOL ReadFileAt(HANDLE file, uint64_t offset, uint8_t* data, size_t size)
{
    return SeekTo(file, offset) && ReadFully(file, data, size);
}

// Opened at the first append: a run that adds nothing makes no file.
static BOOL OpenSpool(TempSpool* spool)
{
    WCHAR folder[MAX_PATH], name[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || !GetTempFileNameW(folder, L"tlv", 0, name))
        return FALSE;
    spool->file.Reset(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL));
    if (!spool->file.Valid()) DeleteFileW(name);
    spool->size = 0;
    return spool->file.Valid();
}

BOOL AppendToSpool(TempSpool* spool, const uint8_t* data, size_t size, uint64_t* offset)
{
    if (!spool->file.Valid() && !OpenSpool(spool)) return FALSE;
    if (!SeekTo(spool->file.Get(), spool->size) || !WriteFully(spool->file.Get(), data, size))
        return FALSE;
    *offset = spool->size;
    spool->size += size;
    return TRUE;
}

// Pictures held in their files are read under offsets from here on, past any spool.
static const uint64_t HeldFrom = 1ull << 62;

BOOL HoldInSpool(TempSpool* spool, ScopedHandle file, uint64_t fileSize,
                 const std::vector<FilePiece>& pieces, uint64_t* offset, uint64_t* size)
{
    uint64_t total = 0;
    for (const FilePiece& piece : pieces) {
        if (piece.offset > fileSize || piece.length > fileSize - piece.offset) return FALSE;
        total += piece.length;
    }
    if (!file.Valid() || total == 0) return FALSE;
    const uint64_t at = spool->held.empty() ? HeldFrom : spool->held.back().at + spool->held.back().size;
    try {
        spool->held.push_back(HeldInFile{std::move(file), pieces, at, total});
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    *offset = at;
    *size = total;
    return TRUE;
}

BOOL ReadFromSpool(TempSpool* spool, uint64_t offset, uint8_t* data, size_t size)
{
    if (offset < HeldFrom)
        return spool->file.Valid() && offset + size <= spool->size &&
               SeekTo(spool->file.Get(), offset) && ReadFully(spool->file.Get(), data, size);
    // The held picture that starts at or before offset, then its pieces from there on.
    auto after = std::upper_bound(spool->held.begin(), spool->held.end(), offset,
                                  [](uint64_t at, const HeldInFile& h) { return at < h.at; });
    if (after == spool->held.begin()) return FALSE;
    const HeldInFile& h = *(after - 1);
    if (offset - h.at > h.size || size > h.size - (offset - h.at)) return FALSE;
    uint64_t skip = offset - h.at;
    for (const FilePiece& piece : h.pieces) {
        if (size == 0) break;
        if (skip >= piece.length) {
            skip -= piece.length;
            continue;
        }
        const size_t n = (size_t)std::min<uint64_t>(size, piece.length - skip);
        if (!ReadFileAt(h.file.Get(), piece.offset + skip, data, n)) return FALSE;
        data += n;
        size -= n;
        skip = 0;
    }
    return size == 0;
}

BOOL DeleteFileAtPath(const char* path)
{
    return DeleteFileW(WidePath(path).text);
}

void DescribeSystemError(DWORD error, char* out, size_t outSize)
{
    if (outSize == 0) return;
    out[0] = 0;
    WCHAR text[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  NULL, error, 0, text, 512, NULL);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                          text[length - 1] == ' '))
        text[--length] = 0;  // the system's text ends with a line break
    if (length > 0) WideToUtf8(text, out, outSize);
    else snprintf(out, outSize, "System error %lu.", (unsigned long)error);
}
