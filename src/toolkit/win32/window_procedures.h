// The routing of the system's messages to the windows of ours: one window
// procedure for our classes, made for each class with its own handling, and
// the subclassed system buttons'.
#pragma once

#include <windows.h>

namespace vd::win32 {

// Sent to a window to destroy it once the handler that unloaded it is done.
inline constexpr UINT DestroyLater = WM_APP + 1;

// The system's buttons, subclassed: set as each is made, before any message
// of ours reaches it, and the control outlives its button.
LRESULT CALLBACK buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vd::win32
