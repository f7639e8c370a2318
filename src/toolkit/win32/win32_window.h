// An on-screen window built from a layout, on the Win32 API.
#pragma once

#include "toolkit/toolkit.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace vd::win32 {

class Win32Toolkit;

class Win32Window final : public tk::Window {
public:
    Win32Window(Win32Toolkit &toolkit, const tk::WindowLayout &layout, tk::EventSink &sink);
    ~Win32Window() override;
    Win32Window(const Win32Window &) = delete;
    Win32Window &operator=(const Win32Window &) = delete;

    void show() override;
    bool isVisible() const override;
    std::string caption(std::string_view control) const override;
    void setCaption(std::string_view control, std::string_view text) override;

    HWND handle() const noexcept;
    // The system's window of one of its controls; an Error for a name it hasn't.
    HWND handle(std::string_view control) const;

    // Our window classes, each with the procedure made for it: the window
    // itself, the frame, the caption line and the picture control (buttons
    // are the system's, drawn by us).
    static void registerClasses(HINSTANCE instance);

    struct State;

private:
    // The window's controls and what they draw. Owned by the on-screen
    // window, which deletes it when the system destroys it: a window unloaded
    // from inside one of its own handlers goes only once the system is done
    // with the event's windows.
    State *state_;
};

} // namespace vd::win32
