// Clicks on group buttons without the window: runs, for each group named on
// the command line, the steps of the menu window's group click (Form2's
// openGroup and StartWord) through the real "word.Application" classes, and
// prints one line per click:
//   click 5: opened (123 ms, 0 paints)
//   click 9: error 5174 (130 ms, 0 paints): This file could not be found.
//   paint gaps 9: median 50 ms, longest 120 ms
// Meanwhile it shows a window that another thread invalidates every 50 ms,
// and counts the WM_PAINTs it gets during each click and the gaps between
// them: a click that waits for a busy word processor must keep the window
// painted.
#include "automation/windows/word_application.h"
#include "forms/menu/group_document.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Painting {
    HWND window = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<long> paints{0};
    std::vector<ULONGLONG> paintTimes; // of the user-interface thread only
};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        auto *painting = reinterpret_cast<Painting *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        FillRect(ps.hdc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &ps);
        if (painting) {
            ++painting->paints;
            painting->paintTimes.push_back(GetTickCount64());
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI invalidate(void *parameter)
{
    auto *painting = static_cast<Painting *>(parameter);
    while (!painting->stop) {
        InvalidateRect(painting->window, nullptr, FALSE);
        Sleep(50);
    }
    return 0;
}

void print(const std::string &line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The gaps between the paints of a click, counting from its start and to its end.
std::string paintGaps(const std::vector<ULONGLONG> &times, ULONGLONG start, ULONGLONG end)
{
    std::vector<ULONGLONG> gaps;
    ULONGLONG last = start;
    for (ULONGLONG t : times) {
        if (t < start || t > end)
            continue;
        gaps.push_back(t - last);
        last = t;
    }
    gaps.push_back(end - last);
    std::sort(gaps.begin(), gaps.end());
    return "median " + std::to_string(gaps[gaps.size() / 2]) + " ms, longest " + std::to_string(gaps.back()) + " ms";
}

} // namespace

int main(int argc, char **argv)
{
    Painting painting;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VelodaneClickDriver";
    RegisterClassW(&windowClass);
    painting.window = CreateWindowExW(0, windowClass.lpszClassName, L"click driver", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                      100, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(painting.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&painting));
    UpdateWindow(painting.window);
    HANDLE invalidator = CreateThread(nullptr, 0, invalidate, &painting, 0, nullptr);

    {
        vd::automation::Registry classes;
        vd::automation::winword::registerClasses(classes);
        vd::automation::ObjectRef WordApp;
        for (int i = 1; i < argc; ++i) {
            const int group = std::atoi(argv[i]);
            const long paintsBefore = painting.paints;
            const ULONGLONG start = GetTickCount64();
            const auto printGaps = [&] {
                print("paint gaps " + std::to_string(group) + ": " +
                      paintGaps(painting.paintTimes, start, GetTickCount64()));
            };
            std::string outcome;
            try {
                // Form2::openGroup, step by step.
                WordApp = classes.create("word.Application");
                vd::automation::setProperty(*WordApp, "Visible", true);
                vd::automation::ObjectRef documents = vd::automation::getObject(*WordApp, "documents");
                vd::automation::call(*documents, "Open", {vd::forms::GroupDocument(group)});
                outcome = "opened";
            } catch (const vd::Error &error) {
                outcome = "error " + std::to_string(error.number());
                outcome += " (" + std::to_string(GetTickCount64() - start) + " ms, " +
                           std::to_string(painting.paints - paintsBefore) + " paints): " + error.description();
                print("click " + std::to_string(group) + ": " + outcome);
                printGaps();
                continue;
            }
            print("click " + std::to_string(group) + ": " + outcome + " (" + std::to_string(GetTickCount64() - start) +
                  " ms, " + std::to_string(painting.paints - paintsBefore) + " paints)");
            printGaps();
        }
    }

    painting.stop = true;
    WaitForSingleObject(invalidator, INFINITE);
    CloseHandle(invalidator);
    DestroyWindow(painting.window);
    return 0;
}
