// Layout twips as screen pixels, and where a window goes on the screen.
#pragma once

#include "toolkit/layout.h"

namespace vd::tk {

// Twips are physical: 1440 to the inch, so 15 to the pixel at 96 dpi.
inline constexpr int StandardDpi = 96;

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }  // one past the last column
    int bottom() const { return top + height; } // one past the last row
    friend bool operator==(const PixelRect &, const PixelRect &) = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint &, const PixelPoint &) = default;
};

// A position in twips at that many dots per inch, to the nearest pixel.
int toPixels(int twips, int dpi = StandardDpi);

// A rectangle's edges rounded, not its size: neighbours that share an edge
// in twips share it in pixels, with no gap and no overlap.
PixelRect toPixels(const Rect &twips, int dpi = StandardDpi);

// Where a window of that size goes in the screen's available area: centred;
// on an axis where it is larger than the area, at the area's top or left
// edge, so that its top-left part (the first row of groups, the first
// buttons of the focus order) can always be reached.
PixelPoint placeOnScreen(int width, int height, const PixelRect &area);

// Where a window of that size asked to go at `at` goes so as to stay in the
// area: as asked where it lies inside, else moved back in; on an axis where
// it is larger than the area, at the area's top or left edge, as above.
PixelPoint keepInArea(PixelPoint at, int width, int height, const PixelRect &area);

// The dpi a window designed `width` x `height` twips is built at on a monitor
// of `monitorDpi` whose work area is `area`: the monitor's own where the
// window fits at it; else the largest below it at which it fits of
// `leastDpi` (the design's own size) and the steps of a quarter of it above
// (at 96: 120, 144, 168...); and where it doesn't fit even at `leastDpi`,
// `leastDpi` (or the monitor's, where that is lower): the window is then cut
// to the area and scrolls (see scrollToShow).
int fittingDpi(int width, int height, int monitorDpi, int leastDpi, const PixelRect &area);

// A window of that size on the area: never larger than the area, placed as
// placeOnScreen places it (centred where it fits, else at the area's top or
// left edge).
PixelRect windowOnScreen(int width, int height, const PixelRect &area);

// How far the contents of a window cut to `view` (its own size `content`)
// are scrolled, from `offset`, so that a control (its rectangle in the
// contents) is seen: not at all where it is already in view; else just
// enough to bring it in, or its top-left part where it is larger than the
// view; never beyond the contents.
PixelPoint scrollToShow(PixelPoint offset, const PixelRect &control, PixelPoint view, PixelPoint content);

} // namespace vd::tk
