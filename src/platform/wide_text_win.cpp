#include "platform/wide_text_win.h"

#include <cstring>
#include <vector>

WidePath::WidePath(const char* utf8)
{
    text[0] = 0;
    if (utf8 && !MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text, MaxPathBytes))
        text[MaxPathBytes - 1] = 0;  // longer than any path: cut
}

char* WideToUtf8(const WCHAR* text, char* out, size_t outBytes)
{
    if (outBytes == 0) return out;
    out[0] = 0;
    if (!text) return out;
    int needed = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    if (needed <= 0) return out;
    std::vector<char> whole(needed);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, whole.data(), needed, NULL, NULL);
    size_t keep = (size_t)needed - 1;
    if (keep >= outBytes) {
        keep = outBytes - 1;
        // Never half a character: back off over UTF-8 continuation bytes.
        while (keep > 0 && ((unsigned char)whole[keep] & 0xC0) == 0x80) keep--;
    }
    memcpy(out, whole.data(), keep);
    out[keep] = 0;
    return out;
}

int Utf8Length(const WCHAR* text, int chars)
{
    return chars > 0 ? WideCharToMultiByte(CP_UTF8, 0, text, chars, NULL, 0, NULL, NULL) : 0;
}

// Texts shown in windows: a progress line, a message with a path.
static std::vector<WCHAR> Wide(const char* utf8)
{
    int chars = MultiByteToWideChar(CP_UTF8, 0, utf8 ? utf8 : "", -1, NULL, 0);
    std::vector<WCHAR> wide(chars > 0 ? chars : 1, 0);
    if (chars > 0) MultiByteToWideChar(CP_UTF8, 0, utf8 ? utf8 : "", -1, wide.data(), chars);
    return wide;
}

void SetWindowTextUtf8(HWND window, const char* utf8)
{
    SetWindowTextW(window, Wide(utf8).data());
}

int MessageBoxUtf8(const char* utf8, const char* caption, UINT type)
{
    return MessageBoxW(NULL, Wide(utf8).data(), Wide(caption).data(), type);
}
