// The artwork decoded for Qt: each icon once per run, shared by all its
// uses; the photograph and the banner only at the sizes they are drawn.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include <map>
#include <string>
#include <string_view>

namespace vd::qt {

class Images {
public:
    // An icon with both of its sizes, for a window icon.
    const QIcon &icon(std::string_view name);
    // The 32 x 32 image of an icon, for a face picture.
    const QPixmap &face(std::string_view name);
    // An icon as a pointer, with its hot spot.
    const QCursor &pointer(std::string_view name);
    // The photograph or the banner as drawn: stretched to `device` pixels
    // (the aspect ratio not kept), for that device pixel ratio. Decoded and
    // scaled once per run for each size; the decoded original is not kept.
    const QPixmap &picture(std::string_view name, QSize device, qreal ratio);

private:
    struct Decoded {
        QIcon icon;
        QPixmap large;
        QCursor cursor;
    };
    const Decoded &decoded(std::string_view name);

    std::map<std::string, Decoded, std::less<>> cache_;
    std::map<std::string, QPixmap, std::less<>> pictures_; // by name, size and ratio
};

} // namespace vd::qt
