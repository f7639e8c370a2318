// Thai lettering as outlines: the text is shaped by Qt (HarfBuzz) with a font
// from the Thai TLWG collection and turned into a path, so that the pictures
// do not depend on glyph hinting or on the screen.
#pragma once

#include <QFont>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace artgen {

struct Fonts {
    QString serif; // Kinnari: the titles
    QString sans;  // Garuda: small lettering
};

// Loads the bold faces from the given folder (Debian: fonts-thai-tlwg,
// /usr/share/fonts/truetype/tlwg); throws std::runtime_error if one is missing.
Fonts loadFonts(const QString &folder);

QFont boldFont(const QString &family, int pixelSize);

// The text's outline with its baseline at y = 0, starting at x = 0.
QPainterPath textPath(const QString &text, const QFont &font);

// The path scaled (same factor in both directions unless stretch) and moved
// so that its bounding box is centred in box and fits inside it.
QPainterPath fitPath(const QPainterPath &path, const QRectF &box, bool stretch = false);

} // namespace artgen
