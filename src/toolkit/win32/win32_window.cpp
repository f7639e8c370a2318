#include "toolkit/win32/win32_window.h"

#include "toolkit/button_face.h"
#include "toolkit/geometry.h"
#include "toolkit/win32/accessible.h"
#include "toolkit/win32/win32_toolkit.h"
#include "toolkit/window_plan.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace vd::win32 {

namespace {

// Sent to a window to destroy it once the handler that unloaded it is done.
constexpr UINT DestroyLater = WM_APP + 1;
// WM_GETDPISCALEDSIZE, which Windows 10 sends from version 1703 on (the
// headers for Windows 7, which the program runs on, don't name it).
constexpr UINT GetDpiScaledSize = 0x02E4;

COLORREF colourRef(const tk::Colour &c)
{
    switch (c.role) {
    case tk::Colour::Role::ButtonFace:
        return GetSysColor(COLOR_BTNFACE);
    case tk::Colour::Role::ButtonText:
        return GetSysColor(COLOR_BTNTEXT);
    case tk::Colour::Role::Explicit:
        break;
    }
    return RGB(c.rgb.r, c.rgb.g, c.rgb.b);
}

void fill(HDC dc, const tk::PixelRect &r, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    const RECT rect{r.left, r.top, r.right(), r.bottom()};
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void fill(HDC dc, const tk::face::Fill &f)
{
    fill(dc, f.rect, RGB(f.colour.r, f.colour.g, f.colour.b));
}

// WM_PAINT's device context for a scope: the window is validated whatever
// happens while it is painted.
class Painting {
public:
    explicit Painting(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd, &ps_); }
    Painting(const Painting &) = delete;
    Painting &operator=(const Painting &) = delete;
    ~Painting() { EndPaint(hwnd_, &ps_); }
    HDC dc() const noexcept { return ps_.hdc; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

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

// Where a control is made: its parent (the window or a frame), its rectangle
// at the window's dpi, and its id.
struct ChildPlace {
    HWND parent;
    tk::PixelRect rect;
    HMENU id;
};

// What a screen reader is told each kind of control is.
long roleOf(tk::Kind kind)
{
    switch (kind) {
    case tk::Kind::Picture:
        return ROLE_SYSTEM_GRAPHIC;
    case tk::Kind::Frame:
        return ROLE_SYSTEM_GROUPING;
    case tk::Kind::Label:
        return ROLE_SYSTEM_STATICTEXT;
    case tk::Kind::PushButton:
        break;
    }
    return ROLE_SYSTEM_PUSHBUTTON;
}

} // namespace

struct Control {
    Win32Window::State *state = nullptr;
    WNDPROC systemProc = nullptr; // buttons: the system's button procedure
    std::string name;             // empty for the window itself
    tk::Kind kind = tk::Kind::Frame;
    bool isWindow = false;
    HWND hwnd = nullptr;
    COLORREF background = 0;
    COLORREF text = 0;
    HFONT font = nullptr; // buttons with a caption, the caption line
    HICON face = nullptr; // face picture
    int faceSize = 0;
    HCURSOR pointer = nullptr;                // nullptr: the default pointer
    const Images::Picture *picture = nullptr; // picture control, at its size
    AccessibleFacts accessible;               // what a screen reader is told
};

struct Win32Window::State {
    State(Win32Toolkit &t, tk::EventSink &s, const tk::WindowLayout &l)
        : toolkit(t), sink(&s), layout(l), plan(tk::buildOrder(layout))
    {
    }

    Win32Toolkit &toolkit;
    tk::EventSink *sink; // nullptr once the window is unloaded
    // What the window is built from, again at each dpi it takes.
    const tk::WindowLayout layout;
    const std::vector<tk::PlannedControl> plan;
    int dpi = tk::StandardDpi;      // the dpi the window is built at
    int scaleDpi = tk::StandardDpi; // its monitor's, as the system gives it
    // Where the window is cut to a work area too small for it even at the
    // standard dpi: how far its contents are scrolled to show the focus.
    tk::PixelPoint scrolled;
    HWND form = nullptr;
    std::vector<std::unique_ptr<Control>> controls; // [0] is the window itself, then the plan's
    // Controls of an earlier dpi whose windows are gone, kept while a
    // handler of ours that may have come from one of them still runs.
    std::vector<std::unique_ptr<Control>> retired;
    tk::ControlTable<Control *> byName;
    std::vector<HWND> focusChain;
    HWND focus = nullptr; // the control that has, or last had, the focus
    HWND tooltip = nullptr;

    // Tooltips of the window's controls, given to a tooltip control made
    // when the pointer first moves over one of them, then dropped.
    std::vector<std::pair<HWND, std::wstring>> tips;

    tk::PixelPoint size(int atDpi) const
    {
        return {tk::toPixels(layout.width, atDpi), tk::toPixels(layout.height, atDpi)};
    }
    // The window at the system's dpi `given` in a work area: built at that
    // dpi where it fits, else at the largest that fits, down to the standard
    // one; the window's rectangle, never larger than the area.
    tk::PixelRect fit(int given, const tk::PixelRect &area)
    {
        scaleDpi = given;
        dpi = tk::fittingDpi(layout.width, layout.height, given, tk::StandardDpi, area);
        scrolled = {};
        const tk::PixelPoint whole = size(dpi);
        return tk::windowOnScreen(whole.x, whole.y, area);
    }
    // The contents scrolled, where the window is cut, so that the control
    // that takes the focus is seen.
    void reveal(HWND control);
    // The window itself, on that monitor at its dpi: not yet visible,
    // without its controls.
    void makeForm(HMONITOR monitor);
    void takeGivenDpi(HMONITOR monitor);
    void setIcons();
    void buildControls();
    void takeDpi(int newDpi, const RECT &suggested, bool handlerRunning);

    // The controls, each made by the maker of its kind; buildControl sets
    // what they all share.
    void buildControl(std::size_t index);
    void makeControl(Control &c, const tk::ControlLayout &l, const ChildPlace &at);
    void makeButton(Control &c, const tk::ControlLayout &l, const ChildPlace &at);
    void makeFrame(Control &c, const tk::ControlLayout &l, const ChildPlace &at);
    void makeLabel(Control &c, const tk::ControlLayout &l, const ChildPlace &at);
    void makePicture(Control &c, const tk::ControlLayout &l, const ChildPlace &at);
    HWND makeChild(const wchar_t *windowClass, const wchar_t *text, DWORD style, const ChildPlace &at,
                   Control *control) const;
    void chainFocus();

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

    void moveFocus(HWND from, bool backwards)
    {
        const std::size_t n = focusChain.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (focusChain[i] == from) {
                SetFocus(focusChain[(i + (backwards ? n - 1 : 1)) % n]);
                return;
            }
        }
    }

    void drawButton(const Control &c, const DRAWITEMSTRUCT &item);

    // A mouse message over one of the window's windows: the first one over a
    // control with a tooltip makes the tooltip control (and loads the common
    // controls), which sees this message and, subclassing each control with
    // a tooltip, the following ones.
    void pointerMoved(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (std::any_of(tips.begin(), tips.end(), [hwnd](const auto &tip) { return tip.first == hwnd; }))
            toolkit.dispatch([&] { makeTips(hwnd, message, wParam, lParam); });
    }
    void makeTips(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        tooltip = toolkit.makeTooltip(form, dpi);
        for (auto &[control, text] : tips) {
            TOOLINFOW info{};
            // The size every version of the common controls takes: the
            // newest one is refused by those before version 6, which are
            // the ones made where the visual styles' context can't be.
            info.cbSize = TTTOOLINFOW_V2_SIZE;
            info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            info.hwnd = form;
            info.uId = reinterpret_cast<UINT_PTR>(control);
            info.lpszText = text.data();
            if (tooltip)
                SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
        tips.clear();
        if (tooltip) {
            MSG relayed{hwnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
            GetCursorPos(&relayed.pt);
            SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        }
    }
};

namespace {

Control *controlOf(HWND hwnd)
{
    return reinterpret_cast<Control *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Keys every control of ours answers as the windows' focus order asks: Tab
// and Shift+Tab walk it, Enter presses the focused button (Space is the
// button's own), Alt+F4 closes the window as the system would.
bool handleKey(Control &c, UINT message, WPARAM key, LPARAM flags)
{
    const bool repeat = (flags & (1 << 30)) != 0;
    if (message == WM_SYSKEYDOWN && key == VK_F4) {
        PostMessageW(c.state->form, WM_CLOSE, 0, 0);
        return true;
    }
    if (message == WM_KEYDOWN && key == VK_TAB) {
        c.state->moveFocus(c.hwnd, GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (message == WM_KEYDOWN && key == VK_RETURN && c.kind == tk::Kind::PushButton) {
        if (!repeat)
            c.state->send(c, tk::Event::Click);
        return true;
    }
    return message == WM_CHAR && (key == L'\t' || key == L'\r'); // no beep
}

// A screen reader's request for the accessible object of a control's client
// area, or of the window's client area or the window itself: ours, made
// when asked (with COM and the system's accessibility library, which a run
// without a screen reader then never loads). False where the system answers.
bool answerAccessible(const Control &c, WPARAM wParam, LPARAM lParam, LRESULT &answer)
{
    const auto object = static_cast<LONG>(static_cast<DWORD>(lParam));
    if (object != OBJID_CLIENT && !(c.isWindow && object == OBJID_WINDOW))
        return false;
    answer = 0;
    Win32Toolkit &toolkit = c.state->toolkit;
    toolkit.dispatch([&] {
        toolkit.com().enter();
        answer = accessibleObject(c.hwnd, wParam, object, c.accessible);
    });
    return answer != 0;
}

bool setPointer(const Control &c, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT || !c.pointer)
        return false;
    SetCursor(c.pointer);
    return true;
}

// The system's buttons, subclassed: set as each is made, before any message
// of ours reaches it, and the control outlives its button.
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
            c->state->pointerMoved(hwnd, message, wParam, lParam);
            c->state->send(*c, tk::Event::MouseMove);
            break;
        case WM_SETCURSOR:
            if (setPointer(*c, lParam))
                return TRUE;
            break;
        case WM_SETFOCUS:
            c->state->focus = hwnd;
            c->state->reveal(hwnd);
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

// How each of our classes draws its client area, w x h pixels.
using Draw = void (*)(const Control &c, HDC dc, int w, int h);

void drawForm(const Control &c, HDC dc, int w, int h)
{
    fill(dc, {0, 0, w, h}, c.background);
}

void drawFrame(const Control &c, HDC dc, int w, int h)
{
    fill(dc, {0, 0, w, h}, c.background);
    for (const tk::face::Fill &f : tk::face::frameOutline(w, h))
        fill(dc, f);
}

void drawLabel(const Control &c, HDC dc, int w, int h)
{
    fill(dc, {0, 0, w, h}, c.background);
    const std::wstring text = windowText(c.hwnd);
    Selected font(dc, c.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, c.text);
    // Centred across, and down, wrapped at blanks where too wide.
    constexpr UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT measured{0, 0, w, h};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
    const int top = (h - (measured.bottom - measured.top)) / 2;
    RECT box{0, top, w, top + (measured.bottom - measured.top)};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

void drawPicture(const Control &c, HDC dc, int, int)
{
    if (c.picture)
        c.picture->draw(dc);
}

// WM_PAINT: the whole client area, drawn by one of our handlers.
LRESULT paint(const Control &c, HWND hwnd, Draw draw)
{
    Painting painting(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int w = client.right, h = client.bottom;
    c.state->toolkit.dispatch([&] { draw(c, painting.dc(), w, h); });
    return 0;
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
        c.state->pointerMoved(hwnd, message, wParam, lParam);
        c.state->send(c, tk::Event::MouseMove);
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
Answer buttonParentMessage(Win32Window::State &state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (Control *button = controlOf(item.hwndItem)) {
            state.toolkit.dispatch([&] { state.drawButton(*button, item); });
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
    case GetDpiScaledSize: {
        // The size the window takes at the dpi it is about to take (the
        // system would scale its present size, rounding otherwise).
        const tk::PixelPoint size = state.size(static_cast<int>(wParam));
        *reinterpret_cast<SIZE *>(lParam) = {size.x, size.y};
        return TRUE;
    }
    case WM_DPICHANGED: {
        const RECT suggested = *reinterpret_cast<const RECT *>(lParam);
        const bool handlerRunning = state.toolkit.dispatching();
        state.toolkit.dispatch([&] { state.takeDpi(HIWORD(wParam), suggested, handlerRunning); });
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && state.focus) {
            SetFocus(state.focus);
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

// One procedure for each of our classes.

// The window itself.
LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Answer answer;
    if (Control *c = controlFor(hwnd, message, lParam)) {
        answer = formMessage(*c, hwnd, message, wParam, lParam);
        if (!answer)
            answer = buttonParentMessage(*c->state, message, wParam, lParam);
        if (!answer)
            answer = controlMessage(*c, hwnd, message, wParam, lParam, drawForm);
    }
    return answer ? *answer : DefWindowProcW(hwnd, message, wParam, lParam);
}

// A frame without a title: its background colour and an etched outline.
LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Answer answer;
    if (Control *c = controlFor(hwnd, message, lParam)) {
        answer = buttonParentMessage(*c->state, message, wParam, lParam);
        if (!answer)
            answer = controlMessage(*c, hwnd, message, wParam, lParam, drawFrame);
    }
    return answer ? *answer : DefWindowProcW(hwnd, message, wParam, lParam);
}

// The caption line.
LRESULT CALLBACK labelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Answer answer;
    if (Control *c = controlFor(hwnd, message, lParam))
        answer = controlMessage(*c, hwnd, message, wParam, lParam, drawLabel);
    return answer ? *answer : DefWindowProcW(hwnd, message, wParam, lParam);
}

// A picture control: its picture, at the control's size.
LRESULT CALLBACK pictureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Answer answer;
    if (Control *c = controlFor(hwnd, message, lParam))
        answer = controlMessage(*c, hwnd, message, wParam, lParam, drawPicture);
    return answer ? *answer : DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

void Win32Window::State::drawButton(const Control &c, const DRAWITEMSTRUCT &item)
{
    const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
    const bool sunken = (item.itemState & ODS_SELECTED) != 0;
    Canvas canvas(w, h);
    HDC dc = canvas.dc();
    fill(dc, {0, 0, w, h}, c.background);
    for (const tk::face::Fill &f : tk::face::buttonEdge(w, h, sunken))
        fill(dc, f);

    const tk::PixelRect face = tk::face::faceRect(w, h);
    const Text::Caption none;
    const Text::Caption &caption =
        c.font ? toolkit.text().caption(c.font, narrow(windowText(c.hwnd)), tk::face::wrapWidth(w)) : none;
    const tk::face::Placement at =
        tk::face::place(face, c.face ? c.faceSize : 0, c.face ? c.faceSize : 0, caption.ink, sunken);
    IntersectClipRect(dc, face.left, face.top, face.right(), face.bottom());
    if (c.face)
        DrawIconEx(dc, at.picture.x, at.picture.y, c.face, c.faceSize, c.faceSize, 0, nullptr, DI_NORMAL);
    if (c.font) {
        Selected font(dc, c.font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, c.text);
        int baseline = at.baseline;
        for (std::size_t i = 0; i < caption.lines.size(); ++i) {
            Text::draw(dc, caption.lines[i], at.lineStarts[i], baseline - caption.ascent);
            baseline += caption.ink.pitch;
        }
    }
    SelectClipRgn(dc, nullptr);
    if (item.itemState & ODS_FOCUS)
        for (const tk::PixelPoint &dot : tk::face::focusDots(w, h))
            PatBlt(dc, dot.x, dot.y, 1, 1, DSTINVERT);
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, dc, 0, 0, SRCCOPY);
}

void Win32Window::registerClasses(HINSTANCE instance)
{
    const std::pair<const wchar_t *, WNDPROC> classes[] = {
        {FormClass, formProc}, {FrameClass, frameProc}, {LabelClass, labelProc}, {PictureClass, pictureProc}};
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

void Win32Window::State::makeForm(HMONITOR monitor)
{
    auto &window = *controls.emplace_back(std::make_unique<Control>());
    window.state = this;
    window.isWindow = true;
    window.background = colourRef(layout.background);
    window.accessible.name = wide(layout.accessibleName);

    // Centred in the monitor's work area.
    const tk::PixelRect at = fit(toolkit.dpi(monitor), workArea(monitor));
    HWND made = CreateWindowExW(0, FormClass, wide(layout.title).c_str(), WS_POPUP | WS_CLIPCHILDREN, at.left, at.top,
                                at.width, at.height, nullptr, nullptr, toolkit.instance(), &window);
    if (!made)
        throw Error(errors::OutOfMemory, "สร้างหน้าต่าง " + layout.className + " ไม่ได้");
    form = made;
}

// The dpi the system gives the window, where that isn't its monitor's (one
// too large for the work area may lie mostly on the next monitor): the
// window at its size for that dpi, centred again.
void Win32Window::State::takeGivenDpi(HMONITOR monitor)
{
    const int given = toolkit.dpi(form);
    if (given == scaleDpi)
        return;
    const tk::PixelRect place = fit(given, workArea(monitor));
    SetWindowPos(form, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::State::reveal(HWND control)
{
    RECT client{}, box{};
    GetClientRect(form, &client);
    const tk::PixelPoint whole = size(dpi);
    if (client.right >= whole.x && client.bottom >= whole.y)
        return; // all of it is seen
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT *>(&box), 2);
    const tk::PixelRect in{box.left + scrolled.x, box.top + scrolled.y, box.right - box.left, box.bottom - box.top};
    const tk::PixelPoint to = tk::scrollToShow(scrolled, in, {client.right, client.bottom}, whole);
    if (to == scrolled)
        return;
    ScrollWindowEx(form, scrolled.x - to.x, scrolled.y - to.y, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    scrolled = to;
}

void Win32Window::State::setIcons()
{
    if (layout.windowIcon.empty())
        return;
    // The system's icon sizes, which are the system dpi's, at the window's.
    for (const auto &[which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int size = MulDiv(GetSystemMetrics(metric), dpi, toolkit.systemDpi());
        SendMessageW(form, WM_SETICON, which, reinterpret_cast<LPARAM>(toolkit.images().icon(layout.windowIcon, size)));
    }
}

// Every control of the plan at the window's dpi, with its focus chain.
void Win32Window::State::buildControls()
{
    for (std::size_t i = 0; i < plan.size(); ++i)
        buildControl(i);
    chainFocus();
}

// One control of the plan, above those made before it.
void Win32Window::State::buildControl(std::size_t index)
{
    const tk::PlannedControl &planned = plan[index];
    const tk::ControlLayout &l = *planned.layout;
    const ChildPlace at{planned.parent < 0 ? form : controls[static_cast<std::size_t>(planned.parent) + 1]->hwnd,
                        tk::toPixels(l.rect, dpi), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(index + 1))};
    auto &c = *controls.emplace_back(std::make_unique<Control>());
    c.state = this;
    c.name = l.name;
    c.kind = l.kind;
    c.background = colourRef(l.background);
    c.text = colourRef(l.foreground);
    const std::string name = tk::accessibleName(l);
    c.accessible = {name != l.caption ? wide(name) : std::wstring(), wide(l.tooltip), roleOf(l.kind)};
    makeControl(c, l, at);
    if (!c.hwnd)
        throw Error(errors::OutOfMemory, "สร้างตัวควบคุม " + l.name + " ไม่ได้");
    // The system puts a new child below its siblings; in the plan each
    // control lies above those made before it.
    SetWindowPos(c.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!l.pointerImage.empty())
        c.pointer = toolkit.images().pointer(l.pointerImage, dpi);
    if (!l.tooltip.empty())
        tips.emplace_back(c.hwnd, wide(l.tooltip));
    byName.add(l.name, l.kind, &c);
}

void Win32Window::State::makeControl(Control &c, const tk::ControlLayout &l, const ChildPlace &at)
{
    switch (l.kind) {
    case tk::Kind::PushButton:
        makeButton(c, l, at);
        break;
    case tk::Kind::Frame:
        makeFrame(c, l, at);
        break;
    case tk::Kind::Label:
        makeLabel(c, l, at);
        break;
    case tk::Kind::Picture:
        makePicture(c, l, at);
        break;
    }
}

// The system's button, for its behaviour (pressed look while the mouse or
// Space holds it, click, focus, its states for screen readers); drawn by us.
void Win32Window::State::makeButton(Control &c, const tk::ControlLayout &l, const ChildPlace &at)
{
    c.hwnd = makeChild(L"BUTTON", wide(l.caption).c_str(), BS_OWNERDRAW, at, nullptr);
    if (c.hwnd) {
        SetWindowLongPtrW(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
        c.systemProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProc)));
    }
    if (!l.caption.empty()) {
        c.font = toolkit.text().font(l.font, dpi);
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE); // told to who asks
    }
    if (!l.facePicture.empty()) {
        c.faceSize = MulDiv(32, dpi, tk::StandardDpi);
        c.face = toolkit.images().icon(l.facePicture, c.faceSize);
    }
}

void Win32Window::State::makeFrame(Control &c, const tk::ControlLayout &, const ChildPlace &at)
{
    makeChild(FrameClass, L"", WS_CLIPCHILDREN, at, &c);
}

void Win32Window::State::makeLabel(Control &c, const tk::ControlLayout &l, const ChildPlace &at)
{
    c.font = toolkit.text().font(l.font, dpi);
    makeChild(LabelClass, wide(l.caption).c_str(), 0, at, &c);
}

void Win32Window::State::makePicture(Control &c, const tk::ControlLayout &l, const ChildPlace &at)
{
    if (!l.picture.empty())
        c.picture = &toolkit.images().picture(l.picture, at.rect.width, at.rect.height);
    makeChild(PictureClass, L"", 0, at, &c);
}

// A visible child window at its place; one of our classes gets its control
// as it is made (see controlFor).
HWND Win32Window::State::makeChild(const wchar_t *windowClass, const wchar_t *text, DWORD style, const ChildPlace &at,
                                   Control *control) const
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const tk::PixelRect &r = at.rect;
    return CreateWindowExW(0, windowClass, text, child | style, r.left, r.top, r.width, r.height, at.parent, at.id,
                           toolkit.instance(), control);
}

// The focus order of the window's controls, the first of them focused.
void Win32Window::State::chainFocus()
{
    for (const std::size_t index : tk::focusChain(layout, plan)) {
        HWND h = controls[index + 1]->hwnd;
        SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | WS_TABSTOP);
        focusChain.push_back(h);
    }
    focus = focusChain.empty() ? nullptr : focusChain.front();
}

// The window at a new dpi (another monitor's, or the system's scale changed):
// its controls built again from the layout at that dpi, with what the
// person sees of them now (the captions as the program set them, the focus),
// the window at the place the system suggests, kept in the work area.
void Win32Window::State::takeDpi(int newDpi, const RECT &suggested, bool handlerRunning)
{
    std::vector<std::wstring> captions;
    std::size_t focused = 0;
    for (std::size_t i = 1; i < controls.size(); ++i) {
        captions.push_back(tk::hasCaption(controls[i]->kind) ? windowText(controls[i]->hwnd) : std::wstring());
        if (controls[i]->hwnd == focus)
            focused = i;
    }
    const bool hadFocus = focus && GetFocus() == focus;

    const Rebuilding rebuilding(form);
    if (tooltip)
        DestroyWindow(tooltip);
    tooltip = nullptr;
    for (std::size_t i = 0; i + 1 < controls.size(); ++i)
        if (plan[i].parent < 0)
            DestroyWindow(controls[i + 1]->hwnd); // a frame with its controls
    std::move(controls.begin() + 1, controls.end(), std::back_inserter(retired));
    controls.resize(1);
    if (!handlerRunning)
        retired.clear();
    byName = {};
    focusChain.clear();
    tips.clear();

    const tk::PixelRect area = workArea(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST));
    const tk::PixelRect to = fit(newDpi, area);
    const tk::PixelPoint at = tk::keepInArea({suggested.left, suggested.top}, to.width, to.height, area);
    SetWindowPos(form, nullptr, at.x, at.y, to.width, to.height, SWP_NOZORDER | SWP_NOACTIVATE);
    setIcons();
    buildControls();
    for (std::size_t i = 1; i < controls.size() && i <= captions.size(); ++i)
        if (tk::hasCaption(controls[i]->kind))
            SetWindowTextW(controls[i]->hwnd, captions[i - 1].c_str());
    if (focused > 0 && focused < controls.size())
        focus = controls[focused]->hwnd;
    if (hadFocus)
        SetFocus(focus);
    else if (focus)
        reveal(focus);
}

Win32Window::Win32Window(Win32Toolkit &toolkit, const tk::WindowLayout &layout, tk::EventSink &sink)
{
    auto owned = std::make_unique<State>(toolkit, sink, layout);
    State &state = *owned;
    // Made where it appears, at that monitor's dpi: centred in the work area
    // of the monitor of the window it replaces (or the pointer's).
    const HMONITOR monitor = toolkit.currentMonitor();
    state.makeForm(monitor);
    HWND form = state.form;
    state_ = owned.release(); // the window owns its state from here
    toolkit.windowBuilt(form);
    state.takeGivenDpi(monitor);

    try {
        state.setIcons();
        state.buildControls();
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
    return state_->byName.at(control).handle->hwnd;
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
    if (state_->focus)
        SetFocus(state_->focus);
}

bool Win32Window::isVisible() const
{
    return IsWindowVisible(state_->form) != FALSE;
}

std::string Win32Window::caption(std::string_view name) const
{
    const auto &c = state_->byName.at(name);
    return tk::hasCaption(c.kind) ? narrow(windowText(c.handle->hwnd)) : std::string();
}

void Win32Window::setCaption(std::string_view name, std::string_view text)
{
    const auto &c = state_->byName.withCaption(name);
    SetWindowTextW(c.handle->hwnd, wide(text).c_str());
    InvalidateRect(c.handle->hwnd, nullptr, FALSE);
}

} // namespace vd::win32
