#include "toolkit/win32/win32_toolkit.h"

#include "toolkit/win32/win32_window.h"

#include <commctrl.h>

#include <algorithm>

namespace vd::win32 {

namespace {

int screenDpi()
{
    WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : tk::StandardDpi;
}

// The failure report's one button says "OK" in the system's language; ours
// says it in Thai, like everything the program shows. A hook on the thread
// renames it as the box is about to appear.
LRESULT CALLBACK renameButton(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE)
        SetDlgItemTextW(reinterpret_cast<HWND>(wParam), IDOK, L"ตกลง");
    return CallNextHookEx(nullptr, code, wParam, lParam); // the hook handle is ignored
}

class ReportHook {
public:
    ReportHook() : hook_(SetWindowsHookExW(WH_CBT, renameButton, nullptr, GetCurrentThreadId())) {}
    ReportHook(const ReportHook &) = delete;
    ReportHook &operator=(const ReportHook &) = delete;
    ~ReportHook()
    {
        if (hook_)
            UnhookWindowsHookEx(hook_);
    }

private:
    HHOOK hook_;
};

} // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance)
    : instance_(instance), styles_(instance), dpi_(screenDpi()), images_(instance, com_), text_(dpi_)
{
}

Win32Toolkit::~Win32Toolkit()
{
    // Windows whose destruction was still pending when the loop ended.
    while (!windows_.empty()) {
        HWND w = windows_.back();
        windows_.pop_back();
        DestroyWindow(w);
    }
}

std::unique_ptr<tk::Window> Win32Toolkit::build(const tk::WindowLayout &layout, tk::EventSink &sink)
{
    // The window classes, registered as the first window is built: a
    // failure is then reported as any failure to build a window is.
    if (!classesRegistered_) {
        Win32Window::registerClasses(instance_);
        classesRegistered_ = true;
    }
    return std::make_unique<Win32Window>(*this, layout, sink);
}

void Win32Toolkit::leaveEventLoop()
{
    for (HWND w : windows_)
        ShowWindow(w, SW_HIDE);
    PostQuitMessage(0);
}

int Win32Toolkit::exec()
{
    MSG msg{};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void Win32Toolkit::showFailure(std::string_view title, std::string_view text)
{
    // Owned by the window the user sees, so that it stays in front of it and
    // the window takes no input until the report is dismissed.
    HWND owner = nullptr;
    for (HWND w : windows_)
        if (IsWindowVisible(w))
            owner = w;
    ReportHook hook;
    VisualStyles::Scope styled(styles_);
    MessageBoxW(owner, wide(text).c_str(), wide(title).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

HWND Win32Toolkit::makeTooltip(HWND owner)
{
    VisualStyles::Scope styled(styles_);
    if (!controlsReady_) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
        controlsReady_ = InitCommonControlsEx(&controls) != FALSE;
    }
    HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance_, nullptr);
    if (tooltip)
        SendMessageW(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(text_.font(tk::Font{"Tahoma", 8.25, 400})), 0);
    return tooltip;
}

void Win32Toolkit::windowBuilt(HWND form)
{
    windows_.push_back(form);
}

void Win32Toolkit::windowGone(HWND form)
{
    windows_.erase(std::remove(windows_.begin(), windows_.end(), form), windows_.end());
}

} // namespace vd::win32
