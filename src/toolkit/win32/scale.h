// A window's size at the dpi it is built at, fitted to its monitor's work
// area, and how far its contents are scrolled where the area cuts it.
#pragma once

#include "toolkit/geometry.h"

#include <windows.h>

namespace vd::win32 {

class Scale {
public:
    // The window's client area, in twips.
    Scale(int width, int height) : width_(width), height_(height) {}

    int dpi() const noexcept { return dpi_; }     // the dpi the window is built at
    int given() const noexcept { return given_; } // its monitor's, as the system gives it
    tk::PixelPoint size(int atDpi) const { return {tk::toPixels(width_, atDpi), tk::toPixels(height_, atDpi)}; }
    // The window at the system's dpi `given` in a work area: built at that
    // dpi where it fits, else at the largest that fits, down to the standard
    // one; the window's rectangle, never larger than the area.
    tk::PixelRect fit(int given, const tk::PixelRect &area);
    // The contents of `form` scrolled, where the window is cut, so that the
    // control that takes the focus is seen.
    void reveal(HWND form, HWND control);

private:
    int width_, height_;
    int dpi_ = tk::StandardDpi;
    int given_ = tk::StandardDpi;
    tk::PixelPoint scrolled_;
};

} // namespace vd::win32
