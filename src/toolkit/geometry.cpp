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

} // namespace vd::tk
