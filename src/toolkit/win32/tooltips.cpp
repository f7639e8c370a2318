#include "toolkit/win32/tooltips.h"

#include "toolkit/win32/win32_toolkit.h"

#include <commctrl.h>

#include <algorithm>

namespace vd::win32 {

void Tooltips::pointerMoved(Win32Toolkit &toolkit, HWND form, int dpi, const MSG &message)
{
    HWND over = message.hwnd;
    if (std::any_of(tips_.begin(), tips_.end(), [over](const auto &tip) { return tip.first == over; }))
        toolkit.dispatch([&] { make(toolkit, form, dpi, message); });
}

void Tooltips::make(Win32Toolkit &toolkit, HWND form, int dpi, const MSG &message)
{
    tooltip_ = toolkit.makeTooltip(form, dpi);
    for (auto &[control, text] : tips_) {
        TOOLINFOW info{};
        // The size every version of the common controls takes: the newest
        // one is refused by those before version 6, which are the ones made
        // where the visual styles' context can't be.
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = form;
        info.uId = reinterpret_cast<UINT_PTR>(control);
        info.lpszText = text.data();
        if (tooltip_)
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    tips_.clear();
    if (tooltip_) {
        MSG relayed = message;
        relayed.time = static_cast<DWORD>(GetMessageTime());
        GetCursorPos(&relayed.pt);
        SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
}

void Tooltips::destroyControl()
{
    if (tooltip_)
        DestroyWindow(tooltip_);
    tooltip_ = nullptr;
}

} // namespace vd::win32
