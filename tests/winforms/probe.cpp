// Reads what a person sees of the running Velodane.exe through the system,
// from outside the program: its windows, the caption line, the control that
// has the keyboard focus, and the text of a message box. Prints UTF-8.
//
//   probe windows   one line per visible window: class, title, x y width height
//   probe label     the text of the menu window's caption line
//   probe focus     the focused control: its class, window text, x y width height
//                   in its window's client area
//   probe box       the texts of the visible message box, one per line
//   probe names     what a screen reader is told of the shown window and its
//                   controls: one line per object, role number, name, description
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

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

std::string bstrText(BSTR b)
{
    std::string s = b ? utf8(std::wstring(b, SysStringLen(b))) : std::string();
    SysFreeString(b);
    return s;
}

void printAccessible(IAccessible *acc, int depth)
{
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role;
    VariantInit(&role);
    BSTR name = nullptr, description = nullptr;
    acc->get_accRole(self, &role);
    acc->get_accName(self, &name);
    acc->get_accDescription(self, &description);
    std::printf("%d\t%ld\t%s\t%s\n", depth, role.vt == VT_I4 ? role.lVal : -1L, bstrText(name).c_str(),
                bstrText(description).c_str());
    long count = 0;
    acc->get_accChildCount(&count);
    if (count <= 0 || depth > 3)
        return;
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    if (FAILED(AccessibleChildren(acc, 0, count, children.data(), &got)))
        return;
    for (long i = 0; i < got; ++i) {
        if (children[i].vt == VT_DISPATCH && children[i].pdispVal) {
            IAccessible *child = nullptr;
            if (SUCCEEDED(children[i].pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void **>(&child)))) {
                // A child window's object: its client area's own object.
                HWND hwnd = nullptr;
                IAccessible *client = nullptr;
                if (SUCCEEDED(WindowFromAccessibleObject(child, &hwnd)) && hwnd &&
                    SUCCEEDED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible,
                                                         reinterpret_cast<void **>(&client)))) {
                    printAccessible(client, depth + 1);
                    client->Release();
                }
                child->Release();
            }
        }
        VariantClear(&children[i]);
    }
}

} // namespace

int main(int argc, char **argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // lines end in \n, as the shell reads them
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
    if (what == "box") {
        HWND box = FindWindowW(L"#32770", nullptr);
        if (!box || !IsWindowVisible(box))
            return 1;
        EnumChildWindows(box, printBoxText, 0);
        return 0;
    }
    if (what == "names") {
        CoInitialize(nullptr);
        for (const wchar_t *title : {L"Form1", L"Form2"}) {
            HWND form = FindWindowW(L"VelodaneForm", title);
            if (!form || !IsWindowVisible(form))
                continue;
            IAccessible *window = nullptr;
            if (SUCCEEDED(AccessibleObjectFromWindow(form, OBJID_WINDOW, IID_IAccessible,
                                                     reinterpret_cast<void **>(&window)))) {
                VARIANT self;
                VariantInit(&self);
                self.vt = VT_I4;
                self.lVal = CHILDID_SELF;
                BSTR name = nullptr;
                window->get_accName(self, &name);
                std::printf("window\t%s\n", bstrText(name).c_str());
                window->Release();
            }
            IAccessible *client = nullptr;
            if (SUCCEEDED(AccessibleObjectFromWindow(form, OBJID_CLIENT, IID_IAccessible,
                                                     reinterpret_cast<void **>(&client)))) {
                printAccessible(client, 0);
                client->Release();
            }
            return 0;
        }
        return 1;
    }
    std::fputs("usage: probe windows|label|focus|box|names\n", stderr);
    return 2;
}
