// The keyboard in a window of ours: its focus order, and the keys every
// control answers as that order asks.
#pragma once

#include <windows.h>

#include <vector>

namespace vd::win32 {

struct Control;

// The controls that take the focus, in order, and the one that has, or last
// had, the focus.
class FocusChain {
public:
    // The chain made of these controls, the first of them focused.
    void chain(std::vector<HWND> controls);
    void clear() { chain_.clear(); }
    HWND current() const noexcept { return current_; }
    void setCurrent(HWND control) noexcept { current_ = control; }
    // The focus moved on from `from`, or back.
    void move(HWND from, bool backwards) const;

private:
    std::vector<HWND> chain_;
    HWND current_ = nullptr;
};

// Tab and Shift+Tab walk the focus order, Enter presses the focused button
// (Space is the button's own), Alt+F4 closes the window as the system would.
// False for a key the control leaves to the system.
bool handleKey(Control &c, UINT message, WPARAM key, LPARAM flags);

} // namespace vd::win32
