// A window of ours built from its layout: the window itself, then its
// controls, each made by the maker of its kind, at the window's dpi.
#pragma once

#include "toolkit/win32/win32_window.h"

#include <windows.h>

namespace vd::win32 {

// The window itself, on that monitor at its dpi: not yet visible, without
// its controls.
void makeForm(Win32Window::State &state, HMONITOR monitor);
// Every control of the plan at the window's dpi, with its focus chain.
void buildControls(Win32Window::State &state);

} // namespace vd::win32
