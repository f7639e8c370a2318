#include "toolkit/win32/win32_toolkit.h"

#include "toolkit/fonts.h"
#include "toolkit/geometry.h"
#include "toolkit/win32/win32_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace vd::win32 {

namespace {

int screenDpi()
{
    WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : tk::StandardDpi;
}

// A function of the system's looked up by name: nullptr where this version
// of the system lacks it.
template <class Function> Function lookUp(HMODULE library, const char *name)
{
    return library ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name))) : nullptr;
}

// The failure report's one button says "OK" in the system's language; ours
// says it in Thai, like everything the program shows. Where the system's
// message face has no Thai letters (Wine's Tahoma), the report's text and
// button take a Thai face of the windows' own (fonts.h: the caption line's
// stand-ins) with lines as tall, in the place the system gave the text. The
// box goes on the monitor of the window it belongs to (or, before there is
// one, the one with the pointer), centred in its work area,
// where the system draws it at that monitor's dpi. A hook on the thread does
// all this as the box first appears (its button not yet renamed); later
// activations leave it where the user put it.
constexpr std::wstring_view Ok = L"ตกลง";
constexpr wchar_t ReportFont[] = L"VelodaneReportFont";

bool renamedAlready(HWND box)
{
    wchar_t said[8] = {};
    GetDlgItemTextW(box, IDOK, said, 8);
    return said == Ok;
}

bool hasThai(HDC dc, HFONT font)
{
    Selected selected(dc, font);
    WORD glyph = 0xFFFF;
    return GetGlyphIndicesW(dc, L"\u0E01", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
}

// The box's controls of a kind: its text (a static that is no icon) and
// its buttons.
struct ReportParts {
    HWND text = nullptr;
    std::vector<HWND> buttons;
};

BOOL CALLBACK foundPart(HWND child, LPARAM parts)
{
    auto &found = *reinterpret_cast<ReportParts *>(parts);
    wchar_t kind[16] = {};
    GetClassNameW(child, kind, 16);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (lstrcmpiW(kind, L"Button") == 0)
        found.buttons.push_back(child);
    else if (lstrcmpiW(kind, L"Static") == 0 && (style & SS_TYPEMASK) != SS_ICON && GetWindowTextLengthW(child) > 0)
        found.text = child;
    return TRUE;
}

ReportParts partsOf(HWND box)
{
    ReportParts parts;
    EnumChildWindows(box, foundPart, reinterpret_cast<LPARAM>(&parts));
    return parts;
}

// Where the box's face lacks Thai: the first Thai stand-in installed, at the
// face's size, on the text and the buttons. The font goes with the box.
void giveThaiFace(HWND box, const ReportParts &parts)
{
    const auto face = reinterpret_cast<HFONT>(SendMessageW(parts.text, WM_GETFONT, 0, 0));
    WindowDc dc(parts.text);
    if (!face || !dc.get() || hasThai(dc.get(), face))
        return;
    LOGFONTW lf{};
    GetObjectW(face, sizeof lf, &lf);
    lf.lfCharSet = THAI_CHARSET;
    // Lines as tall as the system's face's (a cell height, not an em), so
    // that the text keeps to the place the system measured for it.
    TEXTMETRICW metrics{};
    {
        Selected selected(dc.get(), face);
        if (GetTextMetricsW(dc.get(), &metrics))
            lf.lfHeight = metrics.tmHeight;
    }
    OwnedFont thai;
    for (const tk::StandIn &standIn : tk::standInsFor("AngsanaUPC")) {
        const std::wstring family = wide(standIn.family);
        if (!familyInstalled(family))
            continue;
        std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), L'\0');
        std::wstring_view(family).copy(lf.lfFaceName, LF_FACESIZE - 1);
        thai = OwnedFont(CreateFontIndirectW(&lf));
        if (thai && hasThai(dc.get(), thai.get()))
            break;
        thai.reset();
    }
    if (!thai)
        return;
    SendMessageW(parts.text, WM_SETFONT, reinterpret_cast<WPARAM>(thai.get()), FALSE);
    for (HWND button : parts.buttons)
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(thai.get()), FALSE);
    SetPropW(box, ReportFont, thai.release());
}

LRESULT CALLBACK placeReport(int code, WPARAM wParam, LPARAM lParam)
{
    const auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_DESTROYWND) {
        // The Thai face given to a box, gone with it.
        OwnedFont gone(static_cast<HFONT>(RemovePropW(box, ReportFont)));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    if (code != HCBT_ACTIVATE || renamedAlready(box))
        return CallNextHookEx(nullptr, code, wParam, lParam);
    SetDlgItemTextW(box, IDOK, Ok.data());
    const ReportParts parts = partsOf(box);
    if (parts.text)
        giveThaiFace(box, parts);
    const tk::PixelRect area = workArea(monitorOf(GetWindow(box, GW_OWNER)));
    RECT r{};
    if (GetWindowRect(box, &r)) {
        const tk::PixelPoint at = tk::placeOnScreen(r.right - r.left, r.bottom - r.top, area);
        SetWindowPos(box, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam); // the hook handle is ignored
}

class ReportHook {
public:
    ReportHook() : hook_(SetWindowsHookExW(WH_CBT, placeReport, nullptr, GetCurrentThreadId())) {}
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
    : instance_(instance), styles_(instance), systemDpi_(screenDpi()), images_(instance, com_)
{
    // Looked up, not imported, so that the program starts where they are
    // missing (Windows 7 and 8; 8.1 and early 10 lack the window's): the
    // shell's library is in the system's folder from 8.1 on, and kept for
    // the run.
    windowDpi_ = lookUp<WindowDpi>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    monitorDpi_ =
        lookUp<MonitorDpi>(LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor");
}

int Win32Toolkit::dpi(HMONITOR monitor) const
{
    UINT x = 0, y = 0;
    constexpr int EffectiveDpi = 0; // MDT_EFFECTIVE_DPI: the one the system scales with
    if (monitorDpi_ && monitor && SUCCEEDED(monitorDpi_(monitor, EffectiveDpi, &x, &y)) && y > 0)
        return static_cast<int>(y);
    return systemDpi_;
}

int Win32Toolkit::dpi(HWND window) const
{
    if (windowDpi_)
        if (const UINT dpi = windowDpi_(window); dpi > 0)
            return static_cast<int>(dpi);
    return dpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

HWND Win32Toolkit::currentWindow() const
{
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        if (IsWindowVisible(*it))
            return *it;
    return nullptr;
}

HMONITOR monitorOf(HWND window)
{
    if (window)
        return MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    POINT pointer{};
    GetCursorPos(&pointer);
    return MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY);
}

tk::PixelRect workArea(HMONITOR monitor)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT &work = info.rcWork;
    return {work.left, work.top, work.right - work.left, work.bottom - work.top};
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
    const HWND owner = currentWindow();
    ReportHook hook;
    VisualStyles::Scope styled(styles_);
    MessageBoxW(owner, wide(text).c_str(), wide(title).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

HWND Win32Toolkit::makeTooltip(HWND owner, int dpi)
{
    VisualStyles::Scope styled(styles_);
    if (!controlsReady_) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
        controlsReady_ = InitCommonControlsEx(&controls) != FALSE;
    }
    HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance_, nullptr);
    if (tooltip)
        SendMessageW(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(text_.font(tk::Font{"Tahoma", 8.25, 400}, dpi)), 0);
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
