// Owning holders for the Win32 handles the toolkit creates: each is released
// exactly once, by the holder's destructor.
#pragma once

#include "common/win32/com.h" // wide, narrow

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace vd::win32 {

template <class Handle, auto Release> class Owned {
public:
    Owned() = default;
    explicit Owned(Handle h) : h_(h) {}
    Owned(Owned &&o) noexcept : h_(std::exchange(o.h_, Handle{})) {}
    Owned &operator=(Owned &&o) noexcept
    {
        if (this != &o)
            reset(std::exchange(o.h_, Handle{}));
        return *this;
    }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
    ~Owned() { reset(); }

    Handle get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Handle{}; }
    void reset(Handle h = Handle{}) noexcept
    {
        if (h_)
            Release(h_);
        h_ = h;
    }
    Handle release() noexcept { return std::exchange(h_, Handle{}); }

private:
    Handle h_{};
};

inline void deleteGdiObject(HGDIOBJ h) noexcept
{
    DeleteObject(h);
}
inline void destroyIcon(HICON h) noexcept
{
    DestroyIcon(h);
}
inline void destroyCursor(HCURSOR h) noexcept
{
    DestroyCursor(h);
}
inline void deleteDc(HDC h) noexcept
{
    DeleteDC(h);
}
inline void destroyWindow(HWND h) noexcept
{
    DestroyWindow(h);
}

using OwnedFont = Owned<HFONT, deleteGdiObject>;
using OwnedBitmap = Owned<HBITMAP, deleteGdiObject>;
using OwnedIcon = Owned<HICON, destroyIcon>;
using OwnedCursor = Owned<HCURSOR, destroyCursor>;
using OwnedDc = Owned<HDC, deleteDc>;
using OwnedWindow = Owned<HWND, destroyWindow>;

// A window's text.
inline std::wstring windowText(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A device context of a window, released when done.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc &) = delete;
    WindowDc &operator=(const WindowDc &) = delete;
    ~WindowDc()
    {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// An object selected into a device context for a scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selected(const Selected &) = delete;
    Selected &operator=(const Selected &) = delete;
    ~Selected() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A 32-bit top-down DIB section with its pixels, selected into its own
// memory device context.
class Canvas {
public:
    Canvas(int width, int height);
    HDC dc() const noexcept { return dc_.get(); }
    HBITMAP bitmap() const noexcept { return bitmap_.get(); }
    // 0x00RRGGBB, row by row from the top.
    const DWORD *pixels() const noexcept { return pixels_; }
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    // Gives up the bitmap (deselected), for keeping.
    OwnedBitmap takeBitmap();

    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;
    ~Canvas();

private:
    int width_, height_;
    OwnedBitmap bitmap_; // destroyed after the context it is selected into
    OwnedDc dc_;
    HGDIOBJ old_ = nullptr;
    DWORD *pixels_ = nullptr;
};

} // namespace vd::win32
