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

BOOL WriteFileReplacing(const char* path, const uint8_t* data, size_t size)
{
    char temp[MAX_PATH + 16];
    if (snprintf(temp, sizeof temp, "%s.part", path) >= (int)sizeof temp) return FALSE;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    BOOL ok = WriteAll(file, data, size) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (ok) ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(temp);
    return ok;
}
