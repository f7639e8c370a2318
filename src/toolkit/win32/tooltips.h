// A window's tooltips: kept as its controls are made, and given to a tooltip
// control made when the pointer first moves over one of those controls.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace vd::win32 {

class Win32Toolkit;

class Tooltips {
public:
    void add(HWND control, std::wstring text) { tips_.emplace_back(control, std::move(text)); }
    // A mouse message over one of the window's windows: the first one over a
    // control with a tooltip makes the tooltip control (and loads the common
    // controls), which sees this message and, subclassing each control with
    // a tooltip, the following ones.
    void pointerMoved(Win32Toolkit &toolkit, HWND form, int dpi, const MSG &message);
    // The tooltip control destroyed (its controls are going).
    void destroyControl();
    // The tooltips of controls that are gone dropped.
    void clear() { tips_.clear(); }

private:
    void make(Win32Toolkit &toolkit, HWND form, int dpi, const MSG &message);

    HWND tooltip_ = nullptr; // destroyed with its owner, the window
    std::vector<std::pair<HWND, std::wstring>> tips_;
};

} // namespace vd::win32
