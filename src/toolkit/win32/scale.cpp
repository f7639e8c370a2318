#include "toolkit/win32/scale.h"

namespace vd::win32 {

tk::PixelRect Scale::fit(int given, const tk::PixelRect &area)
{
    given_ = given;
    dpi_ = tk::fittingDpi(width_, height_, given, tk::StandardDpi, area);
    scrolled_ = {};
    const tk::PixelPoint whole = size(dpi_);
    return tk::windowOnScreen(whole.x, whole.y, area);
}

void Scale::reveal(HWND form, HWND control)
{
    RECT client{}, box{};
    GetClientRect(form, &client);
    const tk::PixelPoint whole = size(dpi_);
    if (client.right >= whole.x && client.bottom >= whole.y)
        return; // all of it is seen
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT *>(&box), 2);
    const tk::PixelRect in{box.left + scrolled_.x, box.top + scrolled_.y, box.right - box.left, box.bottom - box.top};
    const tk::PixelPoint to = tk::scrollToShow(scrolled_, in, {client.right, client.bottom}, whole);
    if (to == scrolled_)
        return;
    ScrollWindowEx(form, scrolled_.x - to.x, scrolled_.y - to.y, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    scrolled_ = to;
}

} // namespace vd::win32
