// The artwork decoded for Qt: each icon once per run, shared by all its
// uses; the photograph and the banner only at the sizes they are drawn.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

#include <cstddef>
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

    // Whether a control shows a picture of picture() (a null one is none).
    // At the standard pixel density a picture's pixels are the program's own
    // pages, read in place; while no control shows it, those pages are given
    // back to the system, as a window that is not loaded needs none of its
    // pixels. Shown again, they are read again from the program file (from
    // the system's file cache: no disk is read).
    void shown(const QPixmap &picture);
    void hidden(const QPixmap &picture);

private:
    struct Decoded {
        QIcon icon;
        QPixmap large;
        QCursor cursor;
    };
    const Decoded &decoded(std::string_view name);

    struct Picture {
        QPixmap pixmap;
        const uchar *pages = nullptr; // the program's pages it is drawn from, or none
        std::size_t length = 0;
        int shown = 0; // by how many controls
    };
    Picture *find(const QPixmap &pixmap);

    std::map<std::string, Decoded, std::less<>> cache_;
    std::map<std::string, Picture, std::less<>> pictures_; // by name, size and ratio
};

} // namespace vd::qt
