// One control of a window of ours (the window itself among them): what it
// draws, what it tells a screen reader, and the window it belongs to.
#pragma once

#include "toolkit/layout.h"
#include "toolkit/win32/accessible.h"
#include "toolkit/win32/images.h"
#include "toolkit/win32/win32_window.h"
#include "toolkit/window_plan.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vd::win32 {

struct Control {
    Win32Window::State *state = nullptr;
    WNDPROC systemProc = nullptr; // buttons: the system's button procedure
    std::string name;             // empty for the window itself
    tk::Kind kind = tk::Kind::Frame;
    bool isWindow = false;
    HWND hwnd = nullptr;
    COLORREF background = 0;
    COLORREF text = 0;
    HFONT font = nullptr; // buttons with a caption, the caption line
    HICON face = nullptr; // face picture
    int faceSize = 0;
    HCURSOR pointer = nullptr;                // nullptr: the default pointer
    const Images::Picture *picture = nullptr; // picture control, at its size
    AccessibleFacts accessible;               // what a screen reader is told
};

// The window's controls, each owned here while its window exists.
struct Controls {
    std::vector<std::unique_ptr<Control>> made; // [0] is the window itself, then the plan's
    // Controls of an earlier dpi whose windows are gone, kept while a
    // handler of ours that may have come from one of them still runs.
    std::vector<std::unique_ptr<Control>> retired;
    tk::ControlTable<Control *> byName;
};

// The control a window of ours was given (nullptr for none).
inline Control *controlOf(HWND hwnd)
{
    return reinterpret_cast<Control *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

} // namespace vd::win32
