#include "toolkit/geometry.h"

#include <algorithm>
#include <cmath>

namespace vd::tk {

int toPixels(int twips, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / (TwipsPerPixel * StandardDpi)));
}

PixelRect toPixels(const Rect &twips, int dpi)
{
    const int left = toPixels(twips.left, dpi);
    const int top = toPixels(twips.top, dpi);
    return {left, top, toPixels(twips.right(), dpi) - left, toPixels(twips.bottom(), dpi) - top};
}

PixelPoint placeOnScreen(int width, int height, const PixelRect &area)
{
    auto place = [](int size, int start, int room) {
        // The window's middle pixel on the area's middle pixel (each the
        // left or upper one of two).
        return size > room ? start : start + (room - 1) / 2 - (size - 1) / 2;
    };
    return {place(width, area.left, area.width), place(height, area.top, area.height)};
}

PixelPoint keepInArea(PixelPoint at, int width, int height, const PixelRect &area)
{
    auto keep = [](int wanted, int size, int start, int room) {
        return size > room ? start : std::clamp(wanted, start, start + room - size);
    };
    return {keep(at.x, width, area.left, area.width), keep(at.y, height, area.top, area.height)};
}

int fittingDpi(int width, int height, int monitorDpi, int leastDpi, const PixelRect &area)
{
    const auto fits = [&](int dpi) {
        return toPixels(width, dpi) <= area.width && toPixels(height, dpi) <= area.height;
    };
    if (fits(monitorDpi))
        return monitorDpi;
    for (int dpi = monitorDpi - 1; dpi >= leastDpi; --dpi)
        if (fits(dpi))
            return dpi;
    return std::min(monitorDpi, leastDpi);
}

PixelRect windowOnScreen(int width, int height, const PixelRect &area)
{
    const int w = std::min(width, area.width), h = std::min(height, area.height);
    const PixelPoint at = placeOnScreen(w, h, area);
    return {at.x, at.y, w, h};
}

PixelPoint scrollToShow(PixelPoint offset, const PixelRect &control, PixelPoint view, PixelPoint content)
{
    auto axis = [](int shown, int start, int size, int room, int whole) {
        if (start < shown || size > room)
            shown = start;
        else if (start + size > shown + room)
            shown = start + size - room;
        return std::clamp(shown, 0, std::max(0, whole - room));
    };
    return {axis(offset.x, control.left, control.width, view.x, content.x),
            axis(offset.y, control.top, control.height, view.y, content.y)};
}

} // namespace vd::tk
