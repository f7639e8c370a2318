// Our plain values as Qt's.
#pragma once

#include "toolkit/geometry.h"
#include "toolkit/layout.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <string_view>

namespace vd::qt {

inline QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline QRect qRect(const tk::PixelRect &r)
{
    return {r.left, r.top, r.width, r.height};
}

inline QColor qColour(const tk::Rgb &c)
{
    return {c.r, c.g, c.b};
}

// A layout colour: its RGB triple, or the application palette's colour for
// the named role.
QColor colour(const tk::Colour &c);

} // namespace vd::qt
