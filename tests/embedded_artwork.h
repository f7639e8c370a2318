// The program's images straight from the embedded files, as the tests
// compare the windows with them.
#pragma once

#include "artwork/catalogue.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <string_view>

namespace vd::testing {

inline QString embeddedPath(std::string_view name)
{
    const artwork::Entry *e = artwork::find(name);
    return e ? QStringLiteral(":/artwork/") + QString::fromUtf8(e->file.data(), qsizetype(e->file.size())) : QString();
}

// The large image of an icon (32 x 32), with its transparency; null when
// there is none.
inline QImage iconImage(std::string_view name)
{
    const artwork::Entry *e = artwork::find(name);
    if (!e)
        return {};
    QImageReader reader(embeddedPath(name));
    do {
        QImage image = reader.read();
        if (image.width() == e->width)
            return image.convertToFormat(QImage::Format_ARGB32);
    } while (reader.jumpToNextImage());
    return {};
}

// An icon as a pointer shows it at the screen's pixel density: each of its
// pixels a square of `ratio` x `ratio` device pixels.
inline QImage pointerImage(std::string_view name, qreal ratio)
{
    const QImage icon = iconImage(name);
    const int scale = qMax(1, qRound(ratio));
    QImage pointer = icon.scaled(icon.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    pointer.setDevicePixelRatio(scale);
    return pointer;
}

// A photograph or banner at its own size.
inline QImage pictureImage(std::string_view name)
{
    return QImage(embeddedPath(name)).convertToFormat(QImage::Format_RGB32);
}

} // namespace vd::testing
