// The Win32 toolkit in this process, where the end-to-end tests can't reach:
// a window whose creation fails, a handler's allocation failing inside a
// window procedure, a double click, the tooltips, destroying a window under
// them, the pointer's size; the program's two windows taking a new dpi as
// the system tells them, what a screen reader gets of them, Tab and
// Shift+Tab; the failure report's face and button. Every allocation of the process is watched: a block freed twice
// is counted, and any allocation can be made to fail.
// Prints one line per failed check; exits with the number of failures.
#include "app/program.h"
#include "design.h" // tests/design.h
#include "forms/intro/form1.h"
#include "forms/menu/form2.h"
#include "toolkit/geometry.h"
#include "toolkit/win32/win32_toolkit.h"
#include "toolkit/win32/win32_window.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

// Blocks are never given back, so that a second delete of one always finds
// its mark.
constexpr unsigned Live = 0x4C495645, Freed = 0x46524545;
int doubleDeletes = 0;
int failingAllocation = 0; // counted down; the one that reaches 0 fails

void *allocate(std::size_t size)
{
    if (failingAllocation > 0 && --failingAllocation == 0)
        throw std::bad_alloc();
    auto *block = static_cast<unsigned *>(std::malloc(size + 16));
    if (!block)
        throw std::bad_alloc();
    *block = Live;
    return reinterpret_cast<char *>(block) + 16;
}

void release(void *p) noexcept
{
    if (!p)
        return;
    auto *mark = reinterpret_cast<unsigned *>(static_cast<char *>(p) - 16);
    if (*mark != Live)
        ++doubleDeletes;
    *mark = Freed;
}

int failures = 0;

void check(bool ok, const char *what)
{
    if (!ok) {
        ++failures;
        std::printf("FAIL: %s\n", what);
    }
}

struct Sink final : vd::tk::EventSink {
    std::string last;
    int clicks = 0;
    void handle(std::string_view control, vd::tk::Event event) override
    {
        last = control;
        clicks += event == vd::tk::Event::Click;
    }
    void closedBySystem() override {}
};

// Two buttons with tooltips; the first one's name is longer than a string
// keeps without allocating.
vd::tk::WindowLayout layout()
{
    using vd::tk::Kind;
    return {.className = "Form1",
            .title = "Form1",
            .accessibleName = "ทดสอบ",
            .width = 3000,
            .height = 1500,
            .controls = {{.name = "CommandWithALongName",
                          .kind = Kind::PushButton,
                          .rect = {0, 0, 1500, 600},
                          .caption = "ก",
                          .tooltip = "หนึ่ง"},
                         {.name = "Command2",
                          .kind = Kind::PushButton,
                          .rect = {1500, 0, 1500, 600},
                          .tooltip = "สอง",
                          .pointerImage = "HandPointer"}},
            .focusOrder = {"CommandWithALongName", "Command2"}};
}

HWND formOf(vd::tk::Window &window)
{
    return static_cast<vd::win32::Win32Window &>(window).handle();
}

// The window's first button, or the one after `after`.
HWND buttonOf(HWND form, HWND after = nullptr)
{
    return FindWindowExW(form, after, L"BUTTON", nullptr);
}

// Destroys each of our windows as it is sent WM_CREATE: its creation fails
// after the window procedure has seen WM_NCCREATE.
LRESULT CALLBACK destroyAtCreate(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *message = reinterpret_cast<const CWPSTRUCT *>(lParam);
    wchar_t name[32] = {};
    if (code == HC_ACTION && message->message == WM_CREATE && GetClassNameW(message->hwnd, name, 32) &&
        std::wstring_view(name) == vd::win32::FormClass)
        DestroyWindow(message->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK countWindow(HWND hwnd, LPARAM count)
{
    ++*reinterpret_cast<int *>(count);
    if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD))
        EnumChildWindows(hwnd, countWindow, count); // all its descendants
    return TRUE;
}

// The windows of this thread, children included, and its GDI and USER objects.
struct Left {
    int windows = 0;
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    Left() { EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&windows)); }
    bool operator==(const Left &) const = default;
};

// A window whose creation fails, after the window procedure has seen its
// first message or at any allocation while it is built, leaves nothing: no
// window, no GDI or USER object, no block freed twice. (Once built, its
// pictures, fonts and pointers are the toolkit's for the run.)
void creationFails(vd::win32::Win32Toolkit &toolkit, const vd::tk::WindowLayout &intro)
{
    Sink sink;
    toolkit.build(intro, sink).reset();
    const Left before;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, destroyAtCreate, nullptr, GetCurrentThreadId());
    bool thrown = false;
    try {
        toolkit.build(layout(), sink);
    } catch (const vd::Error &) {
        thrown = true;
    }
    UnhookWindowsHookEx(hook);
    check(thrown, "a window whose creation fails is reported as a failure");
    check(Left() == before, "a window destroyed as it is made leaves nothing");
    int leaving = 0, failed = 0;
    for (bool built = false; !built;) {
        failingAllocation = failed + 1;
        try {
            toolkit.build(intro, sink);
            built = true;
        } catch (const std::bad_alloc &) {
            ++failed;
        }
        failingAllocation = 0;
        leaving += !(Left() == before);
    }
    std::printf("the intro window's building failed at each of its %d allocations\n", failed);
    check(failed > 0 && leaving == 0, "a window whose building runs out of memory leaves nothing");
    check(doubleDeletes == 0, "a window whose creation fails frees its state once");
}

void handlerRunsOutOfMemory(vd::win32::Win32Toolkit &toolkit)
{
    Sink sink;
    int reported = 0;
    toolkit.setFailureReport([&](const vd::Error &error) { reported = error.number(); });
    auto window = toolkit.build(layout(), sink);
    HWND form = formOf(*window);
    HWND button = buttonOf(form);
    const WPARAM clicked = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
    failingAllocation = 1;
    SendMessageW(form, WM_COMMAND, clicked, reinterpret_cast<LPARAM>(button));
    failingAllocation = 0;
    check(reported == vd::errors::OutOfMemory, "a click whose handler runs out of memory is reported");
    SendMessageW(form, WM_COMMAND, clicked, reinterpret_cast<LPARAM>(button));
    check(sink.last == "CommandWithALongName", "the next click reaches its handler");
}

void tooltips(vd::win32::Win32Toolkit &toolkit)
{
    Sink sink;
    auto window = toolkit.build(layout(), sink);
    HWND form = formOf(*window);
    window->show();
    const auto tooltipOf = [form] {
        HWND tooltip = nullptr;
        while ((tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) &&
               GetWindow(tooltip, GW_OWNER) != form) {
        }
        return tooltip;
    };
    SendMessageW(form, WM_MOUSEMOVE, 0, MAKELPARAM(150, 60));
    check(tooltipOf() == nullptr, "a pointer movement over no control with a tooltip makes none");
    SendMessageW(buttonOf(form), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    HWND tooltip = tooltipOf();
    check(tooltip != nullptr, "the first pointer movement over a button makes the tooltips");
    check(tooltip && SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0) == 2, "both buttons have their tooltip");
    const int before = doubleDeletes;
    window.reset(); // the buttons go under their tooltip's subclass
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    check(!IsWindow(form) && doubleDeletes == before, "a window under its tooltips is destroyed whole, once");
}

// Two quick clicks on a button, the second of which the system calls a
// double click: two clicks.
void doubleClick(vd::win32::Win32Toolkit &toolkit)
{
    Sink sink;
    auto window = toolkit.build(layout(), sink);
    window->show();
    HWND button = buttonOf(formOf(*window));
    for (UINT press : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageW(button, press, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    }
    check(sink.clicks == 2, "a double click on a button is two clicks");
}

int pointerWidth(HWND control)
{
    SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO info{};
    BITMAP mask{};
    if (GetIconInfo(GetCursor(), &info)) {
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
    }
    return mask.bmWidth;
}

// The pointer over a button, as large as the system's own at this dpi.
void pointerSize(vd::win32::Win32Toolkit &toolkit, int expected)
{
    Sink sink;
    auto window = toolkit.build(layout(), sink);
    HWND form = formOf(*window);
    const int width = pointerWidth(buttonOf(form, buttonOf(form)));
    if (width != expected)
        std::printf("the pointer is %d pixels wide, not %d\n", width, expected);
    check(width == expected, "the pointer is as large as the system's own at this dpi");
}

namespace design = vd::design;
using vd::win32::wide;
using vd::win32::Win32Window;

// The program's two windows as it builds them.
std::pair<vd::tk::WindowLayout, vd::tk::WindowLayout> programLayouts(vd::win32::Win32Toolkit &toolkit)
{
    vd::automation::Registry classes;
    vd::app::Program program(toolkit, classes);
    return {program.form1().layout(), program.form2().layout()};
}

const vd::tk::ControlLayout *find(const std::vector<vd::tk::ControlLayout> &controls, const std::string &name)
{
    for (const vd::tk::ControlLayout &c : controls)
        if (const vd::tk::ControlLayout *found = c.name == name ? &c : find(c.children, name))
            return found;
    return nullptr;
}

// What a screen reader gets of a window's client area, asked as it asks.
struct Heard {
    std::wstring name, description;
    long role = 0;
    bool operator==(const Heard &) const = default;
};
Heard heard(HWND hwnd)
{
    static const auto fromWindow = reinterpret_cast<HRESULT(WINAPI *)(HWND, DWORD, REFIID, void **)>(
        reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
    Heard h;
    void *object = nullptr;
    if (FAILED(fromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, &object)))
        return h;
    auto *a = static_cast<IAccessible *>(object);
    VARIANT self{}, role{};
    self.vt = VT_I4; // CHILDID_SELF
    for (auto [get, into] :
         {std::pair{&IAccessible::get_accName, &h.name}, std::pair{&IAccessible::get_accDescription, &h.description}}) {
        BSTR text = nullptr;
        if ((a->*get)(self, &text) == S_OK && text)
            *into = text;
        SysFreeString(text);
    }
    if (SUCCEEDED(a->get_accRole(self, &role)) && role.vt == VT_I4)
        h.role = role.lVal;
    a->Release();
    return h;
}

// The window (no name) and its controls: where the design puts each in its
// container, and the name, role and description a screen reader gets.
struct Designed {
    std::string name;
    design::Twips rect;
    std::string heard;
    long role;
    std::string description;
};
const std::string CaptionLineText = "กลุ่มชุดดินที่ 23";
std::vector<Designed> designed(bool menu)
{
    namespace i = design::intro;
    namespace m = design::menu;
    const std::string exit = "ออกจากโปรแกรม";
    constexpr long Button = ROLE_SYSTEM_PUSHBUTTON;
    if (!menu)
        return {{"", {0, 0, i::Width, i::Height}, "คำอธิบายกลุ่มชุดดิน", ROLE_SYSTEM_CLIENT, ""},
                {"Image1", i::Picture, "คำอธิบายกลุ่มชุดดิน", ROLE_SYSTEM_GRAPHIC, ""},
                {"Command1", i::ExitButton, exit, Button, "อออกจากโปรแกรม"},
                {"Command2", i::EnterButton, "เลือกกลุ่มชุดดิน", Button, "เลือกกลุ่มชุดดิน"}};
    std::vector<Designed> p{{"", {0, 0, m::Width, m::Height}, "เลือกกลุ่มชุดดิน", ROLE_SYSTEM_CLIENT, ""},
                            {"Frame1", m::Frame, "", ROLE_SYSTEM_GROUPING, ""},
                            {"Label1", m::CaptionLine, CaptionLineText, ROLE_SYSTEM_STATICTEXT, ""},
                            {"Image1", m::Banner, "คำอธิบายกลุ่มชุดดินในประเทศไทย", ROLE_SYSTEM_GRAPHIC, ""},
                            {"Command63", m::BackButton, "กลับหน้าหลัก", Button, "กลับหน้าหลัก"},
                            {"Command64", m::ExitButton, exit, Button, exit}};
    for (int n = 1; n <= 62; ++n)
        p.push_back({design::commandName(n), m::group(n), "กลุ่มชุดดินที่ " + std::to_string(n), Button, ""});
    return p;
}

void asDesigned(const Win32Window &window, bool menu, int dpi)
{
    int misplaced = 0, misheard = 0;
    for (const Designed &p : designed(menu)) {
        HWND h = p.name.empty() ? window.handle() : window.handle(p.name);
        RECT r{};
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, p.name.empty() ? h : GetParent(h), reinterpret_cast<POINT *>(&r), 2);
        const vd::tk::PixelRect want =
            vd::tk::toPixels(vd::tk::Rect{p.rect.left, p.rect.top, p.rect.width, p.rect.height}, dpi);
        const bool placed =
            r.left == want.left && r.top == want.top && r.right == want.right() && r.bottom == want.bottom();
        const Heard got = heard(h);
        const bool spoken = got == Heard{wide(p.heard), wide(p.description), p.role};
        if (!placed || !spoken)
            std::printf("at %d dpi %s: %ld,%ld-%ld,%ld, reads \"%s\" (role %ld, \"%s\")\n", dpi, p.name.c_str(), r.left,
                        r.top, r.right, r.bottom, vd::win32::narrow(got.name).c_str(), got.role,
                        vd::win32::narrow(got.description).c_str());
        misplaced += !placed;
        misheard += !spoken;
    }
    check(misplaced == 0, "the window and every control where the design puts them at the window's dpi");
    check(misheard == 0, "a screen reader gets the designed name, role and description of each");
}

// Tab from the first of the focus order round to it again, then Shift+Tab
// back round.
void tabsAround(const Win32Window &window, const std::vector<std::string> &order)
{
    const auto press = [](bool shift) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
    };
    SetFocus(window.handle(order.front()));
    int wrong = 0;
    for (std::size_t i = 1; i <= order.size(); ++i) {
        press(false);
        wrong += GetFocus() != window.handle(order[i % order.size()]);
    }
    for (std::size_t i = order.size(); i-- > 0;) {
        press(true);
        wrong += GetFocus() != window.handle(order[i]);
    }
    press(false);
    check(wrong == 0, "Tab and Shift+Tab walk the focus order round");
}

// One of the program's windows, built at the prefix's 96 dpi, then told by
// the system that it is at 144 and at 120 (as on other monitors): each time
// as designed at that dpi, its font and pointer at that dpi, the caption
// line's text and the focus as they were, where the system suggests (kept
// in the work area); then the keyboard.
void followsDpi(vd::win32::Win32Toolkit &toolkit, const vd::tk::WindowLayout &layout, bool menu)
{
    Sink sink;
    auto built = toolkit.build(layout, sink);
    const auto &window = static_cast<const Win32Window &>(*built);
    HWND form = window.handle();
    const RECT here{0, 0, 1, 1};
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&here));
    check(!built->isVisible(), "a window not yet shown stays hidden as it takes a dpi");
    built->show();
    const std::string pointed = menu ? "Command23" : "Command2";
    if (menu)
        built->setCaption("Label1", CaptionLineText);
    asDesigned(window, menu, 96);
    SetFocus(window.handle(pointed));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    for (const auto &[dpi, pointer, beyond] : {std::tuple{144, 64, true}, std::tuple{120, 32, false}}) {
        const RECT suggested = beyond ? RECT{area.right - 50, area.bottom - 50, area.right + 900, area.bottom + 600}
                                      : RECT{area.left + 10, area.top + 20, area.left + 900, area.top + 600};
        SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        asDesigned(window, menu, dpi);
        RECT box{};
        GetWindowRect(form, &box);
        const bool wide = box.right - box.left > area.right - area.left;
        const bool tall = box.bottom - box.top > area.bottom - area.top;
        check(beyond ? (wide ? box.left == area.left : box.right == area.right) &&
                           (tall ? box.top == area.top : box.bottom == area.bottom)
                     : box.left == suggested.left && box.top == suggested.top,
              beyond ? "a window asked to go beyond the work area stays in it" : "the window where the system asks");
        check(GetFocus() == window.handle(pointed), "the focus stays on its control");
        check(pointerWidth(window.handle(pointed)) == pointer, "the pointer at the size of the system's own");
        if (menu)
            check(reinterpret_cast<HFONT>(SendMessageW(window.handle("Label1"), WM_GETFONT, 0, 0)) ==
                      toolkit.text().font(find(layout.controls, "Label1")->font, dpi),
                  "the caption line's font at the window's dpi");
    }
    std::vector<std::string> order;
    if (!menu)
        order.assign(design::intro::FocusOrder.begin(), design::intro::FocusOrder.end());
    for (int n = design::menu::FocusFirst; menu && n <= design::menu::FocusLast; ++n)
        order.push_back(design::commandName(n));
    tabsAround(window, order);
}

} // namespace

void *operator new(std::size_t size)
{
    return allocate(size);
}
void *operator new[](std::size_t size)
{
    return allocate(size);
}
void operator delete(void *p) noexcept
{
    release(p);
}
void operator delete[](void *p) noexcept
{
    release(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    release(p);
}
void operator delete[](void *p, std::size_t) noexcept
{
    release(p);
}

// With a number, only the pointer's size is checked, against that width.
// The failure report as it first appears: its text and button in a face
// with Thai letters (Wine's message face has none), the button in Thai.
struct ReportSeen {
    int thaiParts = 0;
    bool okInThai = false;
};

bool hasThaiLetters(HWND control)
{
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, font);
    WORD glyph = 0xFFFF;
    const bool has =
        font && GetGlyphIndicesW(dc, L"\u0E01", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return has;
}

BOOL CALLBACK lookAtPart(HWND part, LPARAM seen)
{
    auto &report = *reinterpret_cast<ReportSeen *>(seen);
    wchar_t kind[16] = {}, text[16] = {};
    GetClassNameW(part, kind, 16);
    GetWindowTextW(part, text, 16);
    const bool button = lstrcmpiW(kind, L"Button") == 0;
    if ((button || (lstrcmpiW(kind, L"Static") == 0 && GetWindowTextLengthW(part) > 0)) && hasThaiLetters(part))
        ++report.thaiParts;
    if (button)
        report.okInThai = std::wstring(text) == L"ตกลง";
    return TRUE;
}

ReportSeen *reportSeen = nullptr;

void CALLBACK lookAtReport(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowW(L"#32770", L"Velodane");
    if (!box || !IsWindowVisible(box))
        return;
    KillTimer(nullptr, timer);
    EnumChildWindows(box, lookAtPart, reinterpret_cast<LPARAM>(reportSeen));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

void reportFace(vd::win32::Win32Toolkit &toolkit)
{
    ReportSeen seen;
    reportSeen = &seen;
    SetTimer(nullptr, 0, 50, lookAtReport);
    toolkit.showFailure("Velodane", "เกิดข้อผิดพลาดหมายเลข 5174\n\nไม่พบไฟล์เอกสาร");
    reportSeen = nullptr;
    check(seen.thaiParts == 2, "the report's text and button are in a face with Thai letters");
    check(seen.okInThai, "the report's button says ตกลง");
}

int main(int argc, char **argv)
{
    vd::win32::Win32Toolkit toolkit(GetModuleHandleW(nullptr));
    pointerSize(toolkit, argc > 1 ? std::atoi(argv[1]) : 32);
    if (argc > 1) {
        std::printf("%d failed\n", failures);
        return failures;
    }
    const auto [intro, menu] = programLayouts(toolkit);
    creationFails(toolkit, intro);
    doubleClick(toolkit);
    handlerRunsOutOfMemory(toolkit);
    tooltips(toolkit);
    reportFace(toolkit);
    toolkit.setFailureReport({});
    followsDpi(toolkit, intro, false);
    followsDpi(toolkit, menu, true);
    std::printf("%d failed\n", failures);
    return failures;
}
