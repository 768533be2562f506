// Owners of Win32 resources: each gives back what it holds when it goes, on every way out
// of the code that made it. They are the only places that close handles, release or
// delete device contexts and delete GDI objects.
#pragma once
#include "platform/win32.h"

// A kernel handle (file, pipe, event, process, mapping...). Null and INVALID_HANDLE_VALUE
// both mean none.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = NULL) : handle_(handle) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(ScopedHandle&& other) : handle_(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other)
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Release()
    {
        HANDLE handle = handle_;
        handle_ = NULL;
        return handle;
    }
    void Reset(HANDLE handle = NULL)
    {
        Close();
        handle_ = handle;
    }
    // Closes now; FALSE when closing failed (a file whose last bytes could not be written).
    BOOL Close()
    {
        BOOL closed = !Valid() || CloseHandle(handle_);
        handle_ = NULL;
        return closed;
    }

private:
    HANDLE handle_;
};

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

// A GDI object (bitmap, brush), deleted when it goes unless handed on with Release.
template <typename T>
class GdiObject {
public:
    explicit GdiObject(T object = NULL) : object_(object) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) : object_(other.Release()) {}
    GdiObject& operator=(GdiObject&& other)
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T Get() const { return object_; }
    T Release()
    {
        T object = object_;
        object_ = NULL;
        return object;
    }
    void Reset(T object = NULL)
    {
        if (object_) DeleteObject(object_);
        object_ = object;
    }

private:
    T object_;
};
typedef GdiObject<HBITMAP> ScopedBitmap;
typedef GdiObject<HBRUSH> ScopedBrush;

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
