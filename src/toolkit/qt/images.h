// The artwork decoded for Qt: each image once per run, shared by all its uses.
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
    // The photograph or the banner at its own pixel size.
    const QPixmap &picture(std::string_view name);

private:
    struct Decoded {
        QIcon icon;
        QPixmap large;
        QCursor cursor;
    };
    const Decoded &decoded(std::string_view name);

    std::map<std::string, Decoded, std::less<>> cache_;
};

} // namespace vd::qt
