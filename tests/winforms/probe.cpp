// Reads what a person sees of the running Velodane.exe through the system,
// from outside the program: its windows, the caption line, the control that
// has the keyboard focus, and the text of a message box. Prints UTF-8.
//
//   probe windows   one line per visible window: class, title, x y width height
//   probe label     the text of the menu window's caption line
//   probe focus     the focused control: its class, window text, x y width height
//                   in its window's client area
//   probe box       the texts of the visible message box, one per line
//   probe boxparts  its windows: class, text, x y width height on the screen
//   probe ask TITLE asks that window for its accessible object, as a screen
//                   reader's first request does (WM_GETOBJECT); fails unless
//                   the window answers with one of its own
//   probe close TITLE sent|posted|taskbar
//                   closes that window as the system does: WM_CLOSE sent or
//                   posted, or the taskbar's SC_CLOSE posted
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace {

std::string utf8(const std::wstring &w)
{
    if (w.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring textOf(HWND h)
{
    std::wstring t(std::size_t(GetWindowTextLengthW(h)) + 1, L'\0');
    t.resize(std::size_t(GetWindowTextW(h, t.data(), int(t.size()))));
    return t;
}

std::wstring classOf(HWND h)
{
    wchar_t name[128] = {};
    GetClassNameW(h, name, 128);
    return name;
}

BOOL CALLBACK listWindow(HWND h, LPARAM)
{
    if (!IsWindowVisible(h))
        return TRUE;
    const std::wstring cls = classOf(h);
    if (cls != L"VelodaneForm" && cls != L"#32770")
        return TRUE;
    RECT r{};
    GetWindowRect(h, &r);
    std::printf("%s\t%s\t%ld %ld %ld %ld\n", utf8(cls).c_str(), utf8(textOf(h)).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top);
    return TRUE;
}

BOOL CALLBACK printLabel(HWND h, LPARAM)
{
    if (classOf(h) == L"VelodaneLabel")
        std::printf("%s\n", utf8(textOf(h)).c_str());
    return TRUE;
}

BOOL CALLBACK printBoxText(HWND h, LPARAM)
{
    if (IsWindowVisible(h) && !textOf(h).empty())
        std::printf("%s\n", utf8(textOf(h)).c_str());
    return TRUE;
}

BOOL CALLBACK printBoxPart(HWND h, LPARAM)
{
    RECT r{};
    GetWindowRect(h, &r);
    std::printf("%s\t%s\t%ld %ld %ld %ld\n", utf8(classOf(h)).c_str(), utf8(textOf(h)).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top);
    return TRUE;
}

} // namespace

int main(int argc, char **argv)
{
    _setmode(_fileno(stdout), _O_BINARY); // lines end in \n, as the shell reads them
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "windows") {
        EnumWindows(listWindow, 0);
        return 0;
    }
    if (what == "label") {
        HWND form = FindWindowW(L"VelodaneForm", L"Form2");
        if (!form || !IsWindowVisible(form))
            return 1;
        EnumChildWindows(form, printLabel, 0);
        return 0;
    }
    if (what == "focus") {
        for (const wchar_t *title : {L"Form1", L"Form2"}) {
            HWND form = FindWindowW(L"VelodaneForm", title);
            if (!form || !IsWindowVisible(form))
                continue;
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            if (!GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info) || !info.hwndFocus)
                return 1;
            RECT r{};
            GetWindowRect(info.hwndFocus, &r);
            POINT origin{0, 0};
            ClientToScreen(form, &origin);
            std::printf("%s\t%s\t%ld %ld %ld %ld\n", utf8(classOf(info.hwndFocus)).c_str(),
                        utf8(textOf(info.hwndFocus)).c_str(), r.left - origin.x, r.top - origin.y, r.right - r.left,
                        r.bottom - r.top);
            return 0;
        }
        return 1;
    }
    if (what == "box" || what == "boxparts") {
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) && !IsWindowVisible(box)) {
        }
        if (!box)
            return 1;
        EnumChildWindows(box, what == "box" ? printBoxText : printBoxPart, 0);
        return 0;
    }
    if (what == "ask" && argc > 2) {
        const std::string title = argv[2];
        HWND form = FindWindowW(L"VelodaneForm", std::wstring(title.begin(), title.end()).c_str());
        DWORD_PTR answer = 0;
        return form &&
                       SendMessageTimeoutW(form, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_BLOCK, 10000,
                                           &answer) &&
                       answer != 0
                   ? 0
                   : 1;
    }
    if (what == "close" && argc > 3) {
        const std::string title = argv[2], how = argv[3];
        HWND form = FindWindowW(L"VelodaneForm", std::wstring(title.begin(), title.end()).c_str());
        if (!form)
            return 1;
        DWORD_PTR answer = 0;
        if (how == "sent")
            return SendMessageTimeoutW(form, WM_CLOSE, 0, 0, SMTO_BLOCK, 10000, &answer) ? 0 : 1;
        if (how == "posted")
            return PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
        if (how == "taskbar")
            return PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
        return 2;
    }
    std::fputs("usage: probe windows|label|focus|box|ask TITLE|close TITLE sent|posted|taskbar\n", stderr);
    return 2;
}
