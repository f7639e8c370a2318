// What the windows of one run draw again and again, kept by the toolkit for
// the run: every load of a window builds the same controls anew.
#pragma once

#include <QCache>
#include <QHash>
#include <QPixmap>
#include <QString>

#include <memory>

namespace vd::qt {

struct ButtonCaption; // a button's caption, laid out (graphic_button.cpp)

struct RenderCache {
    QHash<QString, bool> installedFamilies;                        // by family name
    QHash<QString, std::shared_ptr<const ButtonCaption>> captions; // by font, width and text
    // The caption line's texts, drawn, the most recently shown first; its cost
    // is in KiB. Each is about 8 KiB (105 x 20 pixels): bounded, the pointer
    // moving back and forth over the last groups finds them drawn, and the 62
    // group names shown one after another don't hold half a MiB for the run.
    QCache<QString, QPixmap> captionLines{CaptionLinesKiB};
    static constexpr qsizetype CaptionLinesKiB = 128;
};

} // namespace vd::qt
