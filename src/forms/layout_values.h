// The plain numbers of window_measures.h as the toolkit's layout values.
#pragma once

#include "forms/window_measures.h"
#include "toolkit/layout.h"

namespace vd::forms {

static_assert(measures::TwipsPerPixel == tk::TwipsPerPixel);

constexpr tk::Rect toRect(const measures::Twips &twips)
{
    return {twips.left, twips.top, twips.width, twips.height};
}

constexpr tk::Colour toColour(const measures::Rgb &rgb)
{
    return tk::Colour::of(rgb.r, rgb.g, rgb.b);
}

} // namespace vd::forms
