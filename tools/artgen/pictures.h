// The painted pictures.
#pragma once

#include "textpaint.h"

#include "forms/window_measures.h"

#include <QImage>
#include <QRect>

namespace artgen {

// IntroPicture, 582 x 416: mountain scene with title, emblem and the two
// painted panels under the intro window's buttons.
QImage paintIntroPicture(const Fonts &fonts);

// The pixel rectangle in IntroPicture that the intro window's button with
// this layout rectangle covers once the picture is stretched over the
// picture control: whole pixels only, so the button hides all of it.
QRect coveredPixels(const vd::forms::measures::Twips &button);

// MenuBanner, 660 x 149: the wavy title on an apricot panel.
QImage paintMenuBanner(const Fonts &fonts);

// The program's icon as a smooth drawing, size x size: the desktop's icons
// from 48 px up (the 16 and 32 px ones are IslandIcon's pixel art).
QImage paintIslandIcon(int size);

} // namespace artgen
