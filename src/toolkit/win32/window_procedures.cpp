#include "toolkit/win32/window_procedures.h"

#include "toolkit/win32/dpi_change.h"
#include "toolkit/win32/painting.h"
#include "toolkit/win32/window_state.h"

#include <optional>
#include <utility>

namespace vd::win32 {

namespace {

// WM_GETDPISCALEDSIZE, which Windows 10 sends from version 1703 on (the
// headers for Windows 7, which the program runs on, don't name it).
constexpr UINT GetDpiScaledSize = 0x02E4;

// What one of our procedures answers a message with; empty where the
// system's default procedure answers it.
using Answer = std::optional<LRESULT>;

// The control a message to a window of our classes is for: nullptr where the
// system alone answers. A window is given its control as the parameter of
// its creation, and keeps it until the system destroys it.
Control *controlFor(HWND hwnd, UINT message, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *created = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
        if (auto *c = static_cast<Control *>(created->lpCreateParams))
            c->hwnd = hwnd;
        return nullptr;
    }
    Control *c = controlOf(hwnd);
    if (c && message == WM_NCDESTROY)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return c;
}

bool setPointer(const Control &c, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT || !c.pointer)
        return false;
    SetCursor(c.pointer);
    return true;
}

// The pointer moved over a control: its tooltip, and the program told.
void pointerMoved(Control &c, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Win32Window::State &state = *c.state;
    state.tooltips.pointerMoved(state.toolkit, state.form, state.scale.dpi(),
                                MSG{hwnd, message, wParam, lParam, 0, {}});
    state.send(c, tk::Event::MouseMove);
}

// What every window of our classes answers alike: painting, the pointer,
// the keys, a screen reader, its font.
Answer controlMessage(Control &c, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Draw draw)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT:
        return paint(c, hwnd, draw);
    case WM_MOUSEMOVE:
        pointerMoved(c, hwnd, message, wParam, lParam);
        return 0;
    case WM_GETOBJECT:
        if (LRESULT answer = 0; answerAccessible(c, wParam, lParam, answer))
            return answer;
        break;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(c.font);
    case WM_SETCURSOR:
        if (setPointer(c, lParam))
            return TRUE;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
        if (handleKey(c, message, wParam, lParam))
            return 0;
        break;
    default:
        break;
    }
    return std::nullopt;
}

// What the window and its frames hear of the buttons they hold, which the
// system tells a button's parent: draw one, one was clicked.
Answer buttonParentMessage(Control &parent, HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    Win32Window::State &state = *parent.state;
    switch (message) {
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (Control *button = controlOf(item.hwndItem)) {
            state.toolkit.dispatch([&] { drawButton(state.toolkit.text(), *button, item); });
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            if (Control *button = controlOf(reinterpret_cast<HWND>(lParam)))
                state.send(*button, tk::Event::Click);
        return 0;
    default:
        break;
    }
    return std::nullopt;
}

// The system's messages to the window itself about its dpi.
Answer dpiMessage(Win32Window::State &state, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == GetDpiScaledSize) {
        // The size the window takes at the dpi it is about to take (the
        // system would scale its present size, rounding otherwise).
        const tk::PixelPoint size = state.scale.size(static_cast<int>(wParam));
        *reinterpret_cast<SIZE *>(lParam) = {size.x, size.y};
        return TRUE;
    }
    if (message == WM_DPICHANGED) {
        const RECT suggested = *reinterpret_cast<const RECT *>(lParam);
        const bool handlerRunning = state.toolkit.dispatching();
        state.toolkit.dispatch([&] { takeDpi(state, HIWORD(wParam), suggested, handlerRunning); });
        return 0;
    }
    return std::nullopt;
}

// What the window itself answers, besides what every window of ours does.
// After WM_NCDESTROY, its control is gone.
Answer formMessage(Control &window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Win32Window::State &state = *window.state;
    switch (message) {
    case WM_NCDESTROY:
        formDestroyed(state, hwnd);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case DestroyLater:
        DestroyWindow(hwnd);
        return 0;
    case GetDpiScaledSize:
    case WM_DPICHANGED:
        return dpiMessage(state, message, wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && state.focus.current()) {
            SetFocus(state.focus.current());
            return 0;
        }
        break;
    case WM_CLOSE:
        // We never close our own windows this way: this is the system.
        state.closedBySystem();
        return 0;
    default:
        break;
    }
    return std::nullopt;
}

// The window itself: its own messages, then its buttons'.
Answer formAndButtonsMessage(Control &window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Answer answer = formMessage(window, hwnd, message, wParam, lParam))
        return answer;
    return buttonParentMessage(window, hwnd, message, wParam, lParam);
}

// A class with nothing of its own to answer.
Answer nothingOwn(Control &, HWND, UINT, WPARAM, LPARAM)
{
    return std::nullopt;
}

using Specific = Answer (*)(Control &c, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The procedure of one of our classes: what the class answers of its own,
// else what every window of ours does, drawn its way; else the system's
// default. Every handler of ours runs inside the toolkit's dispatch, which no
// failure leaves.
template <Specific own, Draw draw> LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Answer answer;
    if (Control *c = controlFor(hwnd, message, lParam)) {
        answer = own(*c, hwnd, message, wParam, lParam);
        if (!answer)
            answer = controlMessage(*c, hwnd, message, wParam, lParam, draw);
    }
    return answer ? *answer : DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Control *c = controlOf(hwnd);
    const WNDPROC system = c->systemProc;
    // Our procedure is put back only where it is still the button's: a
    // tooltip subclasses the buttons it watches over ours, and its own
    // procedure is the one that sees the button's last message first.
    if (message == WM_NCDESTROY && GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&buttonProc))
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(system));
    if (LRESULT answer = 0; message == WM_GETOBJECT && answerAccessible(*c, wParam, lParam, answer))
        return answer;
    // A second press soon after the first is a click like any other, as the
    // program takes every click: the system's owner-drawn button would take
    // it for a double click, neither press itself nor tell a click.
    if (message == WM_LBUTTONDBLCLK)
        message = WM_LBUTTONDOWN;
    if (c->state->sink) {
        switch (message) {
        case WM_MOUSEMOVE:
            pointerMoved(*c, hwnd, message, wParam, lParam);
            break;
        case WM_SETCURSOR:
            if (setPointer(*c, lParam))
                return TRUE;
            break;
        case WM_SETFOCUS:
            c->state->focus.setCurrent(hwnd);
            c->state->scale.reveal(c->state->form, hwnd);
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
            if (handleKey(*c, message, wParam, lParam))
                return 0;
            break;
        default:
            break;
        }
    }
    return CallWindowProcW(system, hwnd, message, wParam, lParam);
}

void Win32Window::registerClasses(HINSTANCE instance)
{
    const std::pair<const wchar_t *, WNDPROC> classes[] = {
        {FormClass, windowProc<formAndButtonsMessage, drawForm>},
        {FrameClass, windowProc<buttonParentMessage, drawFrame>},
        {LabelClass, windowProc<nothingOwn, drawLabel>},
        {PictureClass, windowProc<nothingOwn, drawPicture>},
    };
    for (const auto &[name, procedure] : classes) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        wc.lpszClassName = name;
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw Error(errors::OutOfMemory, "ลงทะเบียนชนิดหน้าต่าง " + narrow(name) + " กับระบบไม่ได้");
    }
}

} // namespace vd::win32
