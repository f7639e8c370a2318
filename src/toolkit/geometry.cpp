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
    // The design's own size and the steps of a quarter of it above, as the
    // system's scales go (100 %, 125 %, 150 %...): text laid out for the
    // design stays on its lines at these, where at an odd dpi between them
    // the rounding of a small face can push a caption onto a second line.
    const int step = std::max(1, leastDpi / 4);
    for (int dpi = leastDpi + (monitorDpi - 1 - leastDpi) / step * step; dpi >= leastDpi; dpi -= step)
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
