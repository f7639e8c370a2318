#include "toolkit/qt/images.h"

#include "artwork/catalogue.h"
#include "toolkit/qt/qt_convert.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QResource>

#include <cstdint>
#include <cstring>

#if defined(__linux__)
#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vd::qt {

namespace {

// The artwork as drawn at the standard pixel density, prepared as the program
// was built (tools/prepare-artwork/prepare.cpp): raw pixels in the program's own
// resources, so that no image decoder is loaded and nothing is decoded. A
// null image where there is none. `inPlace` tells whether the image reads the
// program's pages.
QImage prepared(const QString &name, bool *inPlace = nullptr)
{
    if (inPlace)
        *inPlace = false;
    const QResource resource(QStringLiteral(":/prepared/") + name + QStringLiteral(".px"));
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    std::uint32_t head[4];
    const auto size = static_cast<std::size_t>(resource.size());
    if (size < sizeof head)
        return {};
    std::memcpy(head, resource.data(), sizeof head);
    const int width = static_cast<int>(head[0]), height = static_cast<int>(head[1]);
    const auto format = static_cast<QImage::Format>(head[2]);
    const auto bytesPerLine = static_cast<qsizetype>(head[3]);
    if (format <= QImage::Format_Invalid || format >= QImage::NImageFormats || width <= 0 || height <= 0 ||
        size - sizeof head < static_cast<std::size_t>(bytesPerLine) * static_cast<std::size_t>(height))
        return {};
    const uchar *pixels = resource.data() + sizeof head;
    // Read in place where the lines are aligned as QImage wants them: the
    // pages are the program's own, read only once.
    if (reinterpret_cast<std::uintptr_t>(pixels) % 4 == 0 && bytesPerLine % 4 == 0) {
        if (inPlace)
            *inPlace = true;
        return QImage(pixels, width, height, bytesPerLine, format);
    }
    QImage copy(width, height, format);
    for (int y = 0; y < height; ++y)
        std::memcpy(copy.scanLine(y), pixels + y * bytesPerLine, static_cast<std::size_t>(copy.bytesPerLine()));
    return copy;
}

} // namespace

const Images::Decoded &Images::decoded(std::string_view name)
{
    if (auto it = cache_.find(name); it != cache_.end())
        return it->second;

    const artwork::Entry &entry = artwork::require(name);
    const QString file = QStringLiteral(":/artwork/") + toQString(entry.file);
    Decoded d;
    const auto add = [&](QImage image) {
        QPixmap pixmap = QPixmap::fromImage(std::move(image));
        if (pixmap.width() > d.large.width())
            d.large = pixmap;
        if (entry.kind == artwork::Kind::Icon)
            d.icon.addPixmap(pixmap);
    };
    // An icon's images as prepared, in the file's order; else decoded.
    const QString stem = toQString(entry.name) + u'-';
    int index = 0;
    for (QImage image; entry.kind == artwork::Kind::Icon && !(image = prepared(stem + QString::number(index))).isNull();
         ++index)
        add(std::move(image));
    if (index == 0) {
        QImageReader reader(file);
        do {
            QImage image = reader.read();
            if (image.isNull()) {
                qWarning("velodane: %s: %s", qPrintable(file), qPrintable(reader.errorString()));
                artwork::undecodable(entry);
            }
            add(std::move(image));
        } while (entry.kind == artwork::Kind::Icon && reader.jumpToNextImage());
    }
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
        return it->second.pixmap;

    const artwork::Entry &entry = artwork::require(name);
    // As prepared at the standard pixel density; else decoded and stretched,
    // and only the stretched copy kept: the original goes with this scope.
    QImage image;
    bool inPlace = false;
    if (ratio == 1)
        image = prepared(toQString(entry.name) + u'-' + QString::number(device.width()) + u'x' +
                             QString::number(device.height()),
                         &inPlace);
    if (image.isNull()) {
        const QString file = QStringLiteral(":/artwork/") + toQString(entry.file);
        QImageReader reader(file);
        image = reader.read();
        if (image.isNull()) {
            qWarning("velodane: %s: %s", qPrintable(file), qPrintable(reader.errorString()));
            artwork::undecodable(entry);
        }
        artwork::checkSize(entry, image.width(), image.height());
        if (image.size() != device && !device.isEmpty())
            image = image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    Picture drawn;
    if (inPlace) {
        drawn.pages = image.constBits();
        drawn.length = static_cast<std::size_t>(image.sizeInBytes());
    }
    drawn.pixmap = QPixmap::fromImage(std::move(image));
    drawn.pixmap.setDevicePixelRatio(ratio);
    // Only where the pixmap still draws from the program's pages (it does on
    // the raster back ends, which keep an image of the screen's format as it
    // is): else the pixels are a copy of Qt's, and there is nothing to give back.
    if (drawn.pages && drawn.pixmap.toImage().constBits() != drawn.pages)
        drawn.pages = nullptr;
    return pictures_.emplace(key, std::move(drawn)).first->second.pixmap;
}

Images::Picture *Images::find(const QPixmap &pixmap)
{
    if (pixmap.isNull())
        return nullptr;
    for (auto &[key, picture] : pictures_) {
        if (picture.pixmap.cacheKey() == pixmap.cacheKey())
            return &picture;
    }
    return nullptr;
}

void Images::shown(const QPixmap &pixmap)
{
    if (Picture *p = find(pixmap))
        ++p->shown;
}

void Images::hidden(const QPixmap &pixmap)
{
    Picture *p = find(pixmap);
    if (!p || p->shown == 0 || --p->shown > 0 || !p->pages)
        return;
#if defined(__linux__)
    // The whole pages that hold nothing but these pixels. They are read-only
    // pages of the program file, mapped privately and never written: given
    // back, they read the same again.
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(p->pages);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + p->length) / page * page;
    Dl_info object{};
    if (end > first && ::dladdr(p->pages, &object) != 0)
        ::madvise(reinterpret_cast<void *>(first), end - first, MADV_DONTNEED);
#endif
}

} // namespace vd::qt
