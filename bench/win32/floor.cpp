// The floor of the Windows program's start-up and memory figures: the least
// a Win32 program does to put a window of the intro window's size on the
// screen. A bare 547 x 355 popup window, centred, that paints itself once
// (a flat fill) and then waits to be ended, as the program does. Built with
// the same toolchain and options as Velodane.exe.
#include <windows.h>

namespace {

constexpr int Width = 547;
constexpr int Height = 355;

LRESULT CALLBACK floorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
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
