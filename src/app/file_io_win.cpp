#include "app/file_io_win.h"

#include <algorithm>
#include <cstdio>

BOOL ReadWholeFile(const char* path, std::vector<uint8_t>* out)
{
    out->clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
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

BOOL FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
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

BOOL StartReplacing(ReplacingFile* out, const char* path)
{
    if (snprintf(out->target, sizeof out->target, "%s", path) >= (int)sizeof out->target ||
        snprintf(out->temp, sizeof out->temp, "%s.part", path) >= (int)sizeof out->temp)
        return FALSE;
    out->file = CreateFileA(out->temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
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
    if (ok)
        ok = MoveFileExA(out->temp, out->target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(out->temp);
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
    char folder[MAX_PATH], name[MAX_PATH];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || !GetTempFileNameA(folder, "tlv", 0, name))
        return FALSE;
    spool->file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (spool->file == INVALID_HANDLE_VALUE) DeleteFileA(name);
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
