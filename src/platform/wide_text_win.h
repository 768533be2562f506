// Text at the Unicode (W) edges of the Win32 layer. Paths are held as UTF-8 in char
// arrays of MaxPathBytes inside the program, so every file name Explorer shows can be
// added and written whatever the system code page; they become UTF-16 only at the calls.
#pragma once
#include "model/types.h"
#include "platform/win32.h"

// A path (or any text up to MaxPathBytes) as UTF-16 for one call.
struct WidePath {
    WCHAR text[MaxPathBytes];
    explicit WidePath(const char* utf8);
};

// UTF-16 to UTF-8, cut at a whole character to fit outBytes (terminator included).
// Returns out.
char* WideToUtf8(const WCHAR* text, char* out, size_t outBytes);
// The first `chars` UTF-16 units of text take this many UTF-8 bytes.
int Utf8Length(const WCHAR* text, int chars);

// SetWindowText with UTF-8 text (paths shown in progress lines and messages).
void SetWindowTextUtf8(HWND window, const char* utf8);
int MessageBoxUtf8(const char* utf8, const char* caption, UINT type);
