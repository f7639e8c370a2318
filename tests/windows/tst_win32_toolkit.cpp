// The Win32 toolkit in this process, where the end-to-end tests can't reach:
// a window whose creation fails, a handler's allocation failing inside a
// window procedure, a double click, the tooltips, destroying a window under
// them, the pointer's size. Every allocation of the process is watched: a
// block freed twice is counted, and the next allocation can be made to fail.
// Prints one line per failed check; exits with the number of failures.
#include "toolkit/win32/win32_toolkit.h"
#include "toolkit/win32/win32_window.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace {

// Blocks are never given back, so that a second delete of one always finds
// its mark.
constexpr unsigned Live = 0x4C495645, Freed = 0x46524545;
int doubleDeletes = 0;
bool failNextAllocation = false;

void *allocate(std::size_t size)
{
    if (failNextAllocation) {
        failNextAllocation = false;
        throw std::bad_alloc();
    }
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

void creationFails(vd::win32::Win32Toolkit &toolkit)
{
    Sink sink;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, destroyAtCreate, nullptr, GetCurrentThreadId());
    bool thrown = false;
    try {
        toolkit.build(layout(), sink);
    } catch (const vd::Error &) {
        thrown = true;
    }
    UnhookWindowsHookEx(hook);
    check(thrown, "a window whose creation fails is reported as a failure");
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
    failNextAllocation = true;
    SendMessageW(form, WM_COMMAND, clicked, reinterpret_cast<LPARAM>(button));
    failNextAllocation = false;
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

// The pointer over a button, as large as the system's own at this dpi.
void pointerSize(vd::win32::Win32Toolkit &toolkit, int expected)
{
    Sink sink;
    auto window = toolkit.build(layout(), sink);
    HWND form = formOf(*window);
    HWND second = buttonOf(form, buttonOf(form));
    SendMessageW(second, WM_SETCURSOR, reinterpret_cast<WPARAM>(second), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO info{};
    BITMAP mask{};
    if (GetIconInfo(GetCursor(), &info)) {
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
    }
    if (mask.bmWidth != expected)
        std::printf("the pointer is %d pixels wide, not %d\n", static_cast<int>(mask.bmWidth), expected);
    check(mask.bmWidth == expected, "the pointer is as large as the system's own at this dpi");
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
int main(int argc, char **argv)
{
    vd::win32::Win32Toolkit toolkit(GetModuleHandleW(nullptr));
    pointerSize(toolkit, argc > 1 ? std::atoi(argv[1]) : 32);
    if (argc > 1) {
        std::printf("%d failed\n", failures);
        return failures;
    }
    creationFails(toolkit);
    doubleClick(toolkit);
    handlerRunsOutOfMemory(toolkit);
    tooltips(toolkit);
    std::printf("%d failed\n", failures);
    return failures;
}
