// What a screen reader is told of our windows and controls: the system's own
// accessible object for each (its states, place, default action, children),
// answering with our name, role and description where the system's own
// answer isn't what a person should hear. The windows' titles stay "Form1"
// and "Form2", the intro buttons draw no caption, groups 61 and 62 read with
// runs of blanks, and the system calls our own classes' windows "client".
#pragma once

#include "toolkit/layout.h"

#include <windows.h>

#include <string>

namespace vd::win32 {

struct AccessibleFacts {
    std::wstring name;        // empty: the system's (the window's text)
    std::wstring description; // empty: the system's
    long role = 0;            // 0: the system's
};

// The answer to WM_GETOBJECT for the client area (OBJID_CLIENT) or the
// window (OBJID_WINDOW) of `hwnd`, or 0 where the system is to answer. COM
// must be entered on this thread.
LRESULT accessibleObject(HWND hwnd, WPARAM wParam, LONG object, const AccessibleFacts &facts);

struct Control;

// What a screen reader is told each kind of control is.
long roleOf(tk::Kind kind);

// A screen reader's request (WM_GETOBJECT) for the accessible object of a
// control's client area, or of the window's client area or the window
// itself: ours, made when asked (with COM and the system's accessibility
// library, which a run without a screen reader then never loads). False
// where the system answers.
bool answerAccessible(const Control &c, WPARAM wParam, LPARAM lParam, LRESULT &answer);

} // namespace vd::win32
