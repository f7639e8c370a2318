// Fonts named by the layouts, and their stand-ins where the system lacks them.
#pragma once

#include "toolkit/layout.h"

#include <QFont>
#include <QHash>
#include <QString>

namespace vd::qt {

// Layout font sizes are points at 96 dpi, like every other layout measure:
// 15.75 pt is 21 px. Fonts are sized in device-independent pixels, so text
// keeps its place in the fixed-size windows at any dpi and scale factor.
int namedPixelSize(double points);

// How a layout font is drawn on this system.
struct FontChoice {
    QString family;     // the family drawn; empty: the toolkit's default font
    int pixelSize = 0;  // device-independent pixels; 0: the default size
    bool standIn = false;
};

// The named family at its own size where the system has it; otherwise the
// stand-in Thai family, at a fixed fraction of the named size that makes it
// take the room the named font takes.
// `known` remembers which families are installed (asking fontconfig takes
// about 0.2 ms a family).
FontChoice chooseFont(const tk::Font &font, QHash<QString, bool> *known = nullptr);

// The font to draw a layout font with: chooseFont's family and size, with
// the layout's weight.
QFont fontFor(const tk::Font &font, QHash<QString, bool> *known = nullptr);

// The stand-in of a named family and its scale (stand-in pixels per pixel of
// the named font); an empty family for names that have none.
struct StandIn {
    QString family;
    double scale = 1;
};
StandIn standInFor(const QString &named);

} // namespace vd::qt
