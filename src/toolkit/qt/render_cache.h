// What the windows of one run draw again and again, kept by the toolkit for
// the run: every load of a window builds the same controls anew.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

#include <memory>

namespace vd::qt {

struct ButtonCaption; // a button's caption, laid out (graphic_button.cpp)

struct RenderCache {
    QHash<QString, bool> installedFamilies;                        // by family name
    QHash<QString, std::shared_ptr<const ButtonCaption>> captions; // by font, width and text
    QHash<QString, QPixmap> captionLines;                          // the caption line's texts, drawn
};

} // namespace vd::qt
