// What a window of ours keeps while it exists, each part with the code that
// uses it: the window is built from its layout (building.cpp), at a scale
// (scale.cpp, dpi_change.cpp), with its controls, focus order (keys.cpp) and
// tooltips (tooltips.cpp). Owned by the on-screen window (win32_window.cpp).
#pragma once

#include "toolkit/toolkit.h"
#include "toolkit/win32/control.h"
#include "toolkit/win32/keys.h"
#include "toolkit/win32/scale.h"
#include "toolkit/win32/tooltips.h"
#include "toolkit/win32/win32_toolkit.h"
#include "toolkit/win32/win32_window.h"
#include "toolkit/window_plan.h"

#include <string>
#include <vector>

namespace vd::win32 {

struct Win32Window::State {
    State(Win32Toolkit &t, tk::EventSink &s, const tk::WindowLayout &l)
        : toolkit(t), sink(&s), layout(l), plan(tk::buildOrder(layout)), scale(layout.width, layout.height)
    {
    }

    // An event of one of the window's controls, to the program's handler.
    void send(const Control &c, tk::Event event)
    {
        toolkit.dispatch([this, &c, event] {
            const std::string name = c.name; // the control may go with the window
            if (sink)
                sink->handle(name, event);
        });
    }

    void closedBySystem()
    {
        toolkit.dispatch([this] {
            if (sink)
                sink->closedBySystem();
        });
    }

    Win32Toolkit &toolkit;
    tk::EventSink *sink; // nullptr once the window is unloaded
    // What the window is built from, again at each dpi it takes.
    const tk::WindowLayout layout;
    const std::vector<tk::PlannedControl> plan;
    HWND form = nullptr;
    Scale scale;
    Controls controls;
    FocusChain focus;
    Tooltips tooltips;
};

// The window's state deleted as the system destroys `hwnd`, where that is
// the window itself.
void formDestroyed(Win32Window::State &state, HWND hwnd);

} // namespace vd::win32
