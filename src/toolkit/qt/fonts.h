// Layout fonts as Qt fonts: the choice of family and size is the toolkit's
// (toolkit/fonts.h); this asks Qt's font database which families exist.
#pragma once

#include "toolkit/fonts.h"

#include <QFont>
#include <QHash>
#include <QString>

namespace vd::qt {

// Fonts are sized in device-independent pixels, so text keeps its place in
// the fixed-size windows at any dpi and scale factor.
using tk::namedPixelSize;

struct FontChoice {
    QString family;    // the family drawn; empty: the toolkit's default font
    int pixelSize = 0; // device-independent pixels; 0: the default size
    bool standIn = false;
};

// `known` remembers which families are installed (asking fontconfig takes
// about 0.2 ms a family, and the menu window asks for 65 fonts on each load).
// Where neither the named family nor its stand-in is installed, says so once
// on standard error.
FontChoice chooseFont(const tk::Font &font, QHash<QString, bool> *known = nullptr, int dpi = tk::StandardDpi);

// The face the program carries (tk::CarriedFamily), added from the
// program's own copy where the system lacks it, once a run; whether it can
// be drawn. Qt's fallback for Thai then finds it too (the failure report).
bool carryThaiFace(QHash<QString, bool> *known = nullptr);

// The font to draw a layout font with: chooseFont's family and size, with
// the layout's weight.
// `dpi` is the one the window's layout is built at.
QFont fontFor(const tk::Font &font, QHash<QString, bool> *known = nullptr, int dpi = tk::StandardDpi);

// The preferred stand-in of a named family; an empty family for names that
// have none.
struct StandIn {
    QString family;
    double scale = 1;
};
StandIn standInFor(const QString &named);

} // namespace vd::qt
