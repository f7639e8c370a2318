// A window of ours at another dpi than the one it was built at: its icons at
// its dpi, and the window built again when the system gives it a new one.
#pragma once

#include "toolkit/win32/win32_window.h"

#include <windows.h>

namespace vd::win32 {

// The window's icons at its dpi.
void setIcons(Win32Window::State &state);
// The dpi the system gives the window as it is made, where that isn't its
// monitor's (one too large for the work area may lie mostly on the next
// monitor): the window at its size for that dpi, centred again.
void takeGivenDpi(Win32Window::State &state, HMONITOR monitor);
// The window at a new dpi (another monitor's, or the system's scale
// changed): its controls built again from the layout at that dpi, with what
// the person sees of them now (the captions as the program set them, the
// focus), the window at the place the system suggests, kept in the work
// area. With `handlerRunning`, the old controls are kept until the window
// goes: the handler may have come from one of them.
void takeDpi(Win32Window::State &state, int newDpi, const RECT &suggested, bool handlerRunning);

} // namespace vd::win32
