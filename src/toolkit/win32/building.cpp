#include "toolkit/win32/building.h"

#include "toolkit/win32/painting.h"
#include "toolkit/win32/window_procedures.h"
#include "toolkit/win32/window_state.h"

namespace vd::win32 {

namespace {

// Where a control is made: its parent (the window or a frame), its rectangle
// at the window's dpi, and its id.
struct ChildPlace {
    HWND parent;
    tk::PixelRect rect;
    HMENU id;
};

// A visible child window at its place; one of our classes gets its control
// as it is made (see window_procedures.cpp).
HWND makeChild(const Win32Window::State &state, const wchar_t *windowClass, const wchar_t *text, DWORD style,
               const ChildPlace &at, Control *control)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const tk::PixelRect &r = at.rect;
    return CreateWindowExW(0, windowClass, text, child | style, r.left, r.top, r.width, r.height, at.parent, at.id,
                           state.toolkit.instance(), control);
}

// The system's button, for its behaviour (pressed look while the mouse or
// Space holds it, click, focus, its states for screen readers); drawn by us.
void makeButton(Win32Window::State &state, Control &c, const tk::ControlLayout &l, const ChildPlace &at)
{
    const int dpi = state.scale.dpi();
    c.hwnd = makeChild(state, L"BUTTON", wide(l.caption).c_str(), BS_OWNERDRAW, at, nullptr);
    if (c.hwnd) {
        SetWindowLongPtrW(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
        c.systemProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProc)));
    }
    if (!l.caption.empty()) {
        c.font = state.toolkit.text().font(l.font, dpi);
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE); // told to who asks
    }
    if (!l.facePicture.empty()) {
        c.faceSize = MulDiv(32, dpi, tk::StandardDpi);
        c.face = state.toolkit.images().icon(l.facePicture, c.faceSize);
    }
}

void makeControl(Win32Window::State &state, Control &c, const tk::ControlLayout &l, const ChildPlace &at)
{
    switch (l.kind) {
    case tk::Kind::PushButton:
        makeButton(state, c, l, at);
        break;
    case tk::Kind::Frame:
        makeChild(state, FrameClass, L"", WS_CLIPCHILDREN, at, &c);
        break;
    case tk::Kind::Label:
        c.font = state.toolkit.text().font(l.font, state.scale.dpi());
        makeChild(state, LabelClass, wide(l.caption).c_str(), 0, at, &c);
        break;
    case tk::Kind::Picture:
        if (!l.picture.empty())
            c.picture = &state.toolkit.images().picture(l.picture, at.rect.width, at.rect.height);
        makeChild(state, PictureClass, L"", 0, at, &c);
        break;
    }
}

// One control of the plan, above those made before it.
void buildControl(Win32Window::State &state, std::size_t index)
{
    const tk::PlannedControl &planned = state.plan[index];
    const tk::ControlLayout &l = *planned.layout;
    auto &made = state.controls.made;
    const ChildPlace at{planned.parent < 0 ? state.form : made[static_cast<std::size_t>(planned.parent) + 1]->hwnd,
                        tk::toPixels(l.rect, state.scale.dpi()),
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(index + 1))};
    auto &c = *made.emplace_back(std::make_unique<Control>());
    c.state = &state;
    c.name = l.name;
    c.kind = l.kind;
    c.background = colourRef(l.background);
    c.text = colourRef(l.foreground);
    const std::string name = tk::accessibleName(l);
    c.accessible = {name != l.caption ? wide(name) : std::wstring(), wide(l.tooltip), roleOf(l.kind)};
    makeControl(state, c, l, at);
    if (!c.hwnd)
        throw Error(errors::OutOfMemory, "สร้างตัวควบคุม " + l.name + " ไม่ได้");
    // The system puts a new child below its siblings; in the plan each
    // control lies above those made before it.
    SetWindowPos(c.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!l.pointerImage.empty())
        c.pointer = state.toolkit.images().pointer(l.pointerImage, state.scale.dpi());
    if (!l.tooltip.empty())
        state.tooltips.add(c.hwnd, wide(l.tooltip));
    state.controls.byName.add(l.name, l.kind, &c);
}

} // namespace

void makeForm(Win32Window::State &state, HMONITOR monitor)
{
    auto &window = *state.controls.made.emplace_back(std::make_unique<Control>());
    window.state = &state;
    window.isWindow = true;
    window.background = colourRef(state.layout.background);
    window.accessible.name = wide(state.layout.accessibleName);

    // Centred in the monitor's work area.
    Win32Toolkit &toolkit = state.toolkit;
    const tk::PixelRect at = state.scale.fit(toolkit.dpi(monitor), workArea(monitor));
    HWND made = CreateWindowExW(0, FormClass, wide(state.layout.title).c_str(), WS_POPUP | WS_CLIPCHILDREN, at.left,
                                at.top, at.width, at.height, nullptr, nullptr, toolkit.instance(), &window);
    if (!made)
        throw Error(errors::OutOfMemory, "สร้างหน้าต่าง " + state.layout.className + " ไม่ได้");
    state.form = made;
}

void buildControls(Win32Window::State &state)
{
    for (std::size_t i = 0; i < state.plan.size(); ++i)
        buildControl(state, i);
    std::vector<HWND> chain;
    for (const std::size_t index : tk::focusChain(state.layout, state.plan))
        chain.push_back(state.controls.made[index + 1]->hwnd);
    state.focus.chain(std::move(chain));
}

} // namespace vd::win32
