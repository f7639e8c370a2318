#include "toolkit/qt/images.h"

#include "artwork/catalogue.h"
#include "common/error.h"

#include <QImageReader>

namespace vd::qt {

namespace {
[[noreturn]] void missing(std::string_view name, std::string_view why)
{
    throw Error(errors::ImageNotFound, "ภาพ \"" + std::string(name) + "\" ใช้ไม่ได้: " + std::string(why));
}
} // namespace

const Images::Decoded &Images::decoded(std::string_view name)
{
    if (auto it = cache_.find(name); it != cache_.end())
        return it->second;

    const artwork::Entry *entry = artwork::find(name);
    if (!entry)
        missing(name, "ไม่มีในชุดภาพของโปรแกรม");

    const QString file = QStringLiteral(":/artwork/") + QString::fromUtf8(entry->file.data(),
                                                                         static_cast<qsizetype>(entry->file.size()));
    Decoded d;
    QImageReader reader(file);
    do {
        QImage image = reader.read();
        if (image.isNull())
            missing(name, reader.errorString().toStdString());
        QPixmap pixmap = QPixmap::fromImage(std::move(image));
        if (pixmap.width() == entry->width && pixmap.height() == entry->height)
            d.large = pixmap;
        if (entry->kind == artwork::Kind::Icon)
            d.icon.addPixmap(pixmap);
    } while (entry->kind == artwork::Kind::Icon && reader.jumpToNextImage());
    if (d.large.isNull())
        missing(name, "ขนาดภาพไม่ตรงกับที่กำหนด");
    if (entry->kind == artwork::Kind::Icon)
        d.cursor = QCursor(d.large, entry->hotSpot.x, entry->hotSpot.y);

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

const QPixmap &Images::picture(std::string_view name)
{
    return decoded(name).large;
}

} // namespace vd::qt
