#include "toolkit/win32/dpi_change.h"

#include "toolkit/win32/building.h"
#include "toolkit/win32/window_state.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vd::win32 {

namespace {

// A visible window not drawn while its controls are built again, then drawn
// whole. (Told to redraw, a hidden window would show itself.)
class Rebuilding {
public:
    explicit Rebuilding(HWND hwnd) : hwnd_(IsWindowVisible(hwnd) ? hwnd : nullptr)
    {
        if (hwnd_)
            SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    }
    Rebuilding(const Rebuilding &) = delete;
    Rebuilding &operator=(const Rebuilding &) = delete;
    ~Rebuilding()
    {
        if (!hwnd_)
            return;
        SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }

private:
    HWND hwnd_;
};

// What the person sees of the controls, kept over their rebuilding: their
// captions (empty for a control without one) and the control with the focus.
struct Seen {
    std::vector<std::wstring> captions;
    std::size_t focused = 0; // index in the window's controls; 0: none
    bool hadFocus = false;
};

Seen seen(const Win32Window::State &state)
{
    Seen s;
    const auto &made = state.controls.made;
    for (std::size_t i = 1; i < made.size(); ++i) {
        s.captions.push_back(tk::hasCaption(made[i]->kind) ? windowText(made[i]->hwnd) : std::wstring());
        if (made[i]->hwnd == state.focus.current())
            s.focused = i;
    }
    s.hadFocus = state.focus.current() && GetFocus() == state.focus.current();
    return s;
}

void restore(Win32Window::State &state, const Seen &s)
{
    const auto &made = state.controls.made;
    for (std::size_t i = 1; i < made.size() && i <= s.captions.size(); ++i)
        if (tk::hasCaption(made[i]->kind))
            SetWindowTextW(made[i]->hwnd, s.captions[i - 1].c_str());
    if (s.focused > 0 && s.focused < made.size())
        state.focus.setCurrent(made[s.focused]->hwnd);
    if (s.hadFocus)
        SetFocus(state.focus.current());
    else if (state.focus.current())
        state.scale.reveal(state.form, state.focus.current());
}

// The controls' windows destroyed; the controls themselves kept while a
// handler of ours runs.
void destroyControls(Win32Window::State &state, bool handlerRunning)
{
    Controls &controls = state.controls;
    state.tooltips.destroyControl();
    for (std::size_t i = 0; i + 1 < controls.made.size(); ++i)
        if (state.plan[i].parent < 0)
            DestroyWindow(controls.made[i + 1]->hwnd); // a frame with its controls
    std::move(controls.made.begin() + 1, controls.made.end(), std::back_inserter(controls.retired));
    controls.made.resize(1);
    if (!handlerRunning)
        controls.retired.clear();
    controls.byName = {};
    state.focus.clear();
    state.tooltips.clear();
}

} // namespace

void setIcons(Win32Window::State &state)
{
    if (state.layout.windowIcon.empty())
        return;
    Win32Toolkit &toolkit = state.toolkit;
    // The system's icon sizes, which are the system dpi's, at the window's.
    for (const auto &[which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int size = MulDiv(GetSystemMetrics(metric), state.scale.dpi(), toolkit.systemDpi());
        HICON icon = toolkit.images().icon(state.layout.windowIcon, size);
        SendMessageW(state.form, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

void takeGivenDpi(Win32Window::State &state, HMONITOR monitor)
{
    const int given = state.toolkit.dpi(state.form);
    if (given == state.scale.given())
        return;
    const tk::PixelRect place = state.scale.fit(given, workArea(monitor));
    SetWindowPos(state.form, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void takeDpi(Win32Window::State &state, int newDpi, const RECT &suggested, bool handlerRunning)
{
    const Seen before = seen(state);
    const Rebuilding rebuilding(state.form);
    destroyControls(state, handlerRunning);

    const tk::PixelRect area = workArea(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST));
    const tk::PixelRect to = state.scale.fit(newDpi, area);
    const tk::PixelPoint at = tk::keepInArea({suggested.left, suggested.top}, to.width, to.height, area);
    SetWindowPos(state.form, nullptr, at.x, at.y, to.width, to.height, SWP_NOZORDER | SWP_NOACTIVATE);
    setIcons(state);
    buildControls(state);
    restore(state, before);
}

} // namespace vd::win32
