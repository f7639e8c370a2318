#include "toolkit/qt/images.h"

#include "artwork/catalogue.h"
#include "toolkit/qt/qt_convert.h"

#include <QGuiApplication>
#include <QImageReader>

namespace vd::qt {

const Images::Decoded &Images::decoded(std::string_view name)
{
    if (auto it = cache_.find(name); it != cache_.end())
        return it->second;

    const artwork::Entry &entry = artwork::require(name);
    const QString file = QStringLiteral(":/artwork/") + toQString(entry.file);
    Decoded d;
    QImageReader reader(file);
    do {
        QImage image = reader.read();
        if (image.isNull()) {
            qWarning("velodane: %s: %s", qPrintable(file), qPrintable(reader.errorString()));
            artwork::undecodable(entry);
        }
        QPixmap pixmap = QPixmap::fromImage(std::move(image));
        if (pixmap.width() > d.large.width())
            d.large = pixmap;
        if (entry.kind == artwork::Kind::Icon)
            d.icon.addPixmap(pixmap);
    } while (entry.kind == artwork::Kind::Icon && reader.jumpToNextImage());
    artwork::checkSize(entry, d.large.width(), d.large.height());
    if (entry.kind == artwork::Kind::Icon) {
        // A pointer the size of the system's own: at twice the pixel density
        // each pixel of the drawing is drawn as two by two. The hot spot is
        // in the window's (logical) pixels.
        const int scale = qMax(1, qRound(qApp->devicePixelRatio()));
        QPixmap pointer = d.large.scaled(d.large.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        pointer.setDevicePixelRatio(scale);
        d.cursor = QCursor(pointer, entry.hotSpot.x, entry.hotSpot.y);
    }

    return cache_.emplace(std::string(name), std::move(d)).first->second;
}

const QIcon &Images::icon(std::string_view name)
{
    return decoded(name).icon;
}

const QPixmap &Images::face(std::string_view name)
{
    return decoded(name).large;
}

const QCursor &Images::pointer(std::string_view name)
{
    return decoded(name).cursor;
}

const QPixmap &Images::picture(std::string_view name, QSize device, qreal ratio)
{
    const std::string key = std::string(name) + ' ' + std::to_string(device.width()) + 'x' +
                            std::to_string(device.height()) + '@' + std::to_string(ratio);
    if (auto it = pictures_.find(key); it != pictures_.end())
        return it->second;

    const artwork::Entry &entry = artwork::require(name);
    const QString file = QStringLiteral(":/artwork/") + toQString(entry.file);
    QImageReader reader(file);
    QImage image = reader.read();
    if (image.isNull()) {
        qWarning("velodane: %s: %s", qPrintable(file), qPrintable(reader.errorString()));
        artwork::undecodable(entry);
    }
    artwork::checkSize(entry, image.width(), image.height());
    // Only the stretched copy is kept: the original goes with this scope.
    if (image.size() != device && !device.isEmpty())
        image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPixmap drawn = QPixmap::fromImage(std::move(image));
    drawn.setDevicePixelRatio(ratio);
    return pictures_.emplace(key, std::move(drawn)).first->second;
}

} // namespace vd::qt
