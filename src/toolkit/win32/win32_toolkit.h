// The toolkit on the Win32 API: borderless windows of our own classes, owner-
// drawn buttons, GDI text through the system's Thai shaping.
#pragma once

#include "toolkit/toolkit.h"
#include "toolkit/win32/images.h"
#include "toolkit/win32/system.h"
#include "toolkit/win32/text.h"

#include <functional>
#include <string>
#include <vector>

namespace vd::win32 {

// The monitor of a window; for none, the one with the pointer.
HMONITOR monitorOf(HWND window);
// A monitor's work area (the screen without the taskbar), in pixels.
tk::PixelRect workArea(HMONITOR monitor);

// Window classes of ours, registered once per run.
inline constexpr wchar_t FormClass[] = L"VelodaneForm";
inline constexpr wchar_t FrameClass[] = L"VelodaneFrame";
inline constexpr wchar_t LabelClass[] = L"VelodaneLabel";
inline constexpr wchar_t PictureClass[] = L"VelodanePicture";

class Win32Toolkit final : public tk::Toolkit {
public:
    explicit Win32Toolkit(HINSTANCE instance);
    ~Win32Toolkit() override;

    std::unique_ptr<tk::Window> build(const tk::WindowLayout &layout, tk::EventSink &sink) override;
    void showFailure(std::string_view title, std::string_view text) override;
    int exec() override;

    HINSTANCE instance() const noexcept { return instance_; }
    // Dots per inch of a monitor, and of a window of ours, as the system
    // scales them (layouts are in twips, physical units): each monitor's own
    // where the system keeps one per monitor (Windows 8.1 and later), else
    // the system's, which is every monitor's there.
    int dpi(HMONITOR monitor) const;
    int dpi(HWND window) const;
    int systemDpi() const noexcept { return systemDpi_; }
    // The window of ours on the screen (which a new window replaces, and a
    // report belongs to); nullptr before there is one.
    HWND currentWindow() const;
    // The monitor the program is on: currentWindow's, else the pointer's.
    HMONITOR currentMonitor() const { return monitorOf(currentWindow()); }
    Images &images() noexcept { return images_; }
    Text &text() noexcept { return text_; }

    // A window's tooltip control, in the system's visual styles: the common
    // controls are loaded with the first (a window makes it when the pointer
    // first moves over it). Destroyed with its owner.
    HWND makeTooltip(HWND owner, int dpi);
    // COM on this thread, from its first enter() to the toolkit's end.
    ComApartment &com() noexcept { return com_; }

    // Top-level windows of ours that exist.
    void windowBuilt(HWND form);
    void windowGone(HWND form);

private:
    void leaveEventLoop() override;

    ComApartment com_; // left last
    HINSTANCE instance_;
    VisualStyles styles_;
    bool controlsReady_ = false;
    bool classesRegistered_ = false;
    int systemDpi_;
    // The system's per-monitor functions, where it has them.
    using MonitorDpi = HRESULT(WINAPI *)(HMONITOR, int, UINT *, UINT *);
    using WindowDpi = UINT(WINAPI *)(HWND);
    MonitorDpi monitorDpi_ = nullptr;
    WindowDpi windowDpi_ = nullptr;
    Images images_;
    Text text_;
    std::vector<HWND> windows_;
};

} // namespace vd::win32
