#include "toolkit/win32/keys.h"

#include "toolkit/win32/window_state.h"

#include <utility>

namespace vd::win32 {

void FocusChain::chain(std::vector<HWND> controls)
{
    chain_ = std::move(controls);
    for (HWND h : chain_)
        SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | WS_TABSTOP);
    current_ = chain_.empty() ? nullptr : chain_.front();
}

void FocusChain::move(HWND from, bool backwards) const
{
    const std::size_t n = chain_.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (chain_[i] == from) {
            SetFocus(chain_[(i + (backwards ? n - 1 : 1)) % n]);
            return;
        }
    }
}

bool handleKey(Control &c, UINT message, WPARAM key, LPARAM flags)
{
    const bool repeat = (flags & (1 << 30)) != 0;
    if (message == WM_SYSKEYDOWN && key == VK_F4) {
        PostMessageW(c.state->form, WM_CLOSE, 0, 0);
        return true;
    }
    if (message == WM_KEYDOWN && key == VK_TAB) {
        c.state->focus.move(c.hwnd, GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (message == WM_KEYDOWN && key == VK_RETURN && c.kind == tk::Kind::PushButton) {
        if (!repeat)
            c.state->send(c, tk::Event::Click);
        return true;
    }
    return message == WM_CHAR && (key == L'\t' || key == L'\r'); // no beep
}

} // namespace vd::win32
