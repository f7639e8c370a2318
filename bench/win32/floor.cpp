// The floor of the Windows program's start-up and memory figures: the least
// a Win32 program does to put a window of the intro window's size on the
// screen. A bare popup window of that size at 96 dpi, centred, that paints
// itself once (a flat fill) and then waits to be ended, as the program does.
// Built with the same toolchain and options as Velodane.exe.
//
// With --thai-caption it also draws one group name in the face that the menu
// window's caption line is drawn in here, Loma bold at 13 px, as the Linux
// floor does: a second floor for memory, with the system's Thai text
// machinery (its font list, the rasteriser, Uniscribe's shaping) loaded.
#include "forms/window_measures.h"

#include <windows.h>

#include <cwchar>

namespace {

constexpr int Width = vd::forms::measures::intro::Width / vd::forms::measures::TwipsPerPixel;
constexpr int Height = vd::forms::measures::intro::Height / vd::forms::measures::TwipsPerPixel;
bool thaiCaption = false;

LRESULT CALLBACK floorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
        if (thaiCaption) {
            HFONT font = CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, THAI_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Loma");
            HGDIOBJ old = SelectObject(dc, font);
            SetBkMode(dc, TRANSPARENT);
            RECT line{8, 8, Width - 8, 40};
            DrawTextW(dc, L"กลุ่มชุดดินที่ 1", -1, &line, DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, old);
            DeleteObject(font);
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show)
{
    thaiCaption = commandLine && std::wcsstr(commandLine, L"--thai-caption");
    WNDCLASSW wc{};
    wc.lpfnWndProc = floorProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"Floor";
    if (!RegisterClassW(&wc))
        return 1;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int x = area.left + (area.right - area.left - Width) / 2;
    const int y = area.top + (area.bottom - area.top - Height) / 2;
    HWND window =
        CreateWindowExW(0, L"Floor", L"Floor", WS_POPUP, x, y, Width, Height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
