// Owners of Win32 resources: each gives back what it holds when it goes, on every way out
// of the code that made it. They are the only places that close handles, release or
// delete device contexts and delete GDI objects.
#pragma once
#include "platform/win32.h"

// Holds one resource of the kind Traits describes and frees it when it goes, unless it has
// been handed on with Release.
template <typename Traits>
class Owned {
public:
    typedef typename Traits::Type Type;
    explicit Owned(Type value = Type()) : value_(value) {}
    ~Owned() { Close(); }
    Owned(Owned&& other) : value_(other.Release()) {}
    Owned& operator=(Owned&& other)
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Type Get() const { return value_; }
    bool Valid() const { return Traits::Held(value_); }
    Type Release()
    {
        Type value = value_;
        value_ = Type();
        return value;
    }
    void Reset(Type value = Type())
    {
        Close();
        value_ = value;
    }
    // Frees it now; FALSE when that failed (a file whose last bytes could not be written).
    BOOL Close()
    {
        BOOL freed = !Valid() || Traits::Free(value_);
        value_ = Type();
        return freed;
    }

private:
    Type value_;
};

// A kernel handle (file, pipe, event, process, mapping...). Null and INVALID_HANDLE_VALUE
// both mean none.
struct HandleTraits {
    typedef HANDLE Type;
    static bool Held(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static BOOL Free(HANDLE handle) { return CloseHandle(handle); }
};
typedef Owned<HandleTraits> ScopedHandle;

// A GDI object: a bitmap, a brush, a font.
template <typename T>
struct GdiTraits {
    typedef T Type;
    static bool Held(T object) { return object != NULL; }
    static BOOL Free(T object) { return DeleteObject(object); }
};
typedef Owned<GdiTraits<HBITMAP>> ScopedBitmap;
typedef Owned<GdiTraits<HBRUSH>> ScopedBrush;
typedef Owned<GdiTraits<HFONT>> ScopedFont;

// The device context of a window (or of the screen, for a null window), from GetDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC()
    {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with another.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// An object selected into a device context for a while: the context's former object is
// put back when it goes, so that the object can be deleted (or handed to an image list).
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), former_(dc && object ? SelectObject(dc, object) : NULL) {}
    ~Selection()
    {
        if (former_) SelectObject(dc_, former_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool Made() const { return former_ != NULL; }

private:
    HDC dc_;
    HGDIOBJ former_;
};

// Memory from LocalAlloc (the security calls hand text back in it).
struct LocalMemoryFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
