#include "platform/file_io_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/wide_text_win.h"

BOOL ReadWholeFile(const char* path, std::vector<uint8_t>* out)
{
    out->clear();
    HANDLE file = CreateFileW(WidePath(path).text, GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    LARGE_INTEGER size;
    BOOL ok = GetFileSizeEx(file, &size) && size.QuadPart <= MaxReadFileBytes;
    if (ok) {
        try {
            out->resize((size_t)size.QuadPart);
        } catch (...) {
            ok = FALSE;  // no memory for it: reported like an unreadable file
        }
    }
    size_t done = 0;
    while (ok && done < out->size()) {
        DWORD chunk = (DWORD)std::min<size_t>(out->size() - done, 16u << 20);
        DWORD got = 0;
        ok = ReadFile(file, out->data() + done, chunk, &got, NULL) && got > 0;
        done += got;
    }
    CloseHandle(file);
    if (!ok) out->clear();
    return ok;
}

BOOL MapWholeFile(const char* path, MappedFile* out)
{
    *out = MappedFile();
    HANDLE file = CreateFileW(WidePath(path).text, GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    LARGE_INTEGER size;
    BOOL ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
              size.QuadPart <= MaxReadFileBytes;
    // The mapping keeps the file open; the handle is not needed once it exists.
    out->mapping = ok ? CreateFileMappingW(file, NULL, PAGE_READONLY, 0, 0, NULL) : NULL;
    CloseHandle(file);
    if (out->mapping)
        out->data = (const uint8_t*)MapViewOfFile(out->mapping, FILE_MAP_READ, 0, 0, 0);
    if (!out->data) {
        UnmapWholeFile(out);
        return FALSE;
    }
    out->size = (size_t)size.QuadPart;
    return TRUE;
}

void UnmapWholeFile(MappedFile* file)
{
    if (file->data) UnmapViewOfFile(file->data);
    if (file->mapping) CloseHandle(file->mapping);
    *file = MappedFile();
}

BOOL FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesW(WidePath(path).text);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static BOOL WriteAll(HANDLE file, const uint8_t* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        DWORD chunk = (DWORD)std::min<size_t>(size - done, 16u << 20);
        DWORD written = 0;
        if (!WriteFile(file, data + done, chunk, &written, NULL) || written == 0) return FALSE;
        done += written;
    }
    return TRUE;
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
    out->file = CreateFileW(WidePath(out->temp).text, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
    return out->file != INVALID_HANDLE_VALUE;
}

BOOL WriteReplacing(ReplacingFile* out, const uint8_t* data, size_t size)
{
    return out->file != INVALID_HANDLE_VALUE && WriteAll(out->file, data, size);
}

BOOL EndReplacing(ReplacingFile* out, BOOL keep)
{
    if (out->file == INVALID_HANDLE_VALUE) return FALSE;
    BOOL ok = keep && FlushFileBuffers(out->file);
    ok = CloseHandle(out->file) && ok;
    out->file = INVALID_HANDLE_VALUE;
    WidePath temp(out->temp);
    if (ok)
        ok = MoveFileExW(temp.text, WidePath(out->target).text,
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    DWORD error = ok ? 0 : GetLastError();  // the reason is the write's, not the clean-up's
    if (!ok) DeleteFileW(temp.text);
    if (!ok) SetLastError(error);
    return ok;
}

static BOOL SeekTo(HANDLE file, uint64_t offset)
{
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)offset;
    return SetFilePointerEx(file, at, NULL, FILE_BEGIN);
}

// Opened at the first append: a run that adds nothing makes no file.
static BOOL OpenSpool(TempSpool* spool)
{
    WCHAR folder[MAX_PATH], name[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || !GetTempFileNameW(folder, L"tlv", 0, name))
        return FALSE;
    spool->file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (spool->file == INVALID_HANDLE_VALUE) DeleteFileW(name);
    spool->size = 0;
    return spool->file != INVALID_HANDLE_VALUE;
}

BOOL AppendToSpool(TempSpool* spool, const uint8_t* data, size_t size, uint64_t* offset)
{
    if (spool->file == INVALID_HANDLE_VALUE && !OpenSpool(spool)) return FALSE;
    if (!SeekTo(spool->file, spool->size) || !WriteAll(spool->file, data, size)) return FALSE;
    *offset = spool->size;
    spool->size += size;
    return TRUE;
}

BOOL ReadFromSpool(TempSpool* spool, uint64_t offset, uint8_t* data, size_t size)
{
    if (spool->file == INVALID_HANDLE_VALUE || offset + size > spool->size ||
        !SeekTo(spool->file, offset))
        return FALSE;
    size_t done = 0;
    while (done < size) {
        DWORD chunk = (DWORD)std::min<size_t>(size - done, 16u << 20);
        DWORD got = 0;
        if (!ReadFile(spool->file, data + done, chunk, &got, NULL) || got == 0) return FALSE;
        done += got;
    }
    return TRUE;
}

void CloseSpool(TempSpool* spool)
{
    if (spool->file != INVALID_HANDLE_VALUE) CloseHandle(spool->file);  // deletes it
    spool->file = INVALID_HANDLE_VALUE;
    spool->size = 0;
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
