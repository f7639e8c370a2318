// The on-screen window and the ownership of its state: made with the
// window, deleted as the system destroys it.
#include "toolkit/win32/win32_window.h"

#include "toolkit/geometry.h"
#include "toolkit/win32/building.h"
#include "toolkit/win32/dpi_change.h"
#include "toolkit/win32/window_procedures.h"
#include "toolkit/win32/window_state.h"

#include <memory>

namespace vd::win32 {

// The window going: it owns its state once it was made, and the state goes
// with it. (A window whose creation failed was never given it: its maker
// still owns it.)
void formDestroyed(Win32Window::State &state, HWND hwnd)
{
    if (state.form != hwnd)
        return;
    state.toolkit.windowGone(hwnd);
    std::unique_ptr<Win32Window::State> gone(&state);
}

Win32Window::Win32Window(Win32Toolkit &toolkit, const tk::WindowLayout &layout, tk::EventSink &sink)
{
    auto owned = std::make_unique<State>(toolkit, sink, layout);
    State &state = *owned;
    // Made where it appears, at that monitor's dpi: centred in the work area
    // of the monitor of the window it replaces (or the pointer's).
    const HMONITOR monitor = toolkit.currentMonitor();
    makeForm(state, monitor);
    HWND form = state.form;
    state_ = owned.release(); // the window owns its state from here
    toolkit.windowBuilt(form);
    takeGivenDpi(state, monitor);

    try {
        setIcons(state);
        buildControls(state);
    } catch (...) {
        DestroyWindow(form);
        throw;
    }
}

Win32Window::~Win32Window()
{
    State &state = *state_;
    state.sink = nullptr;
    ShowWindow(state.form, SW_HIDE);
    if (state.toolkit.dispatching())
        PostMessageW(state.form, DestroyLater, 0, 0);
    else
        DestroyWindow(state.form);
}

HWND Win32Window::handle() const noexcept
{
    return state_->form;
}

HWND Win32Window::handle(std::string_view control) const
{
    return state_->controls.byName.at(control).handle->hwnd;
}

void Win32Window::show()
{
    HWND form = state_->form;
    if (!IsWindowVisible(form)) {
        RECT box{};
        GetWindowRect(form, &box);
        // Centred in the work area of the monitor it was made on.
        const tk::PixelPoint at = tk::placeOnScreen(box.right - box.left, box.bottom - box.top,
                                                    workArea(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST)));
        SetWindowPos(form, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(form, SW_SHOW);
    }
    SetForegroundWindow(form);
    if (HWND focus = state_->focus.current())
        SetFocus(focus);
}

bool Win32Window::isVisible() const
{
    return IsWindowVisible(state_->form) != FALSE;
}

std::string Win32Window::caption(std::string_view name) const
{
    const auto &c = state_->controls.byName.at(name);
    return tk::hasCaption(c.kind) ? narrow(windowText(c.handle->hwnd)) : std::string();
}

void Win32Window::setCaption(std::string_view name, std::string_view text)
{
    const auto &c = state_->controls.byName.withCaption(name);
    SetWindowTextW(c.handle->hwnd, wide(text).c_str());
    InvalidateRect(c.handle->hwnd, nullptr, FALSE);
}

} // namespace vd::win32
