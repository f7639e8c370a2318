// Run as the Qt program is built: the artwork as that program draws it at
// the standard pixel density, decoded by the same Qt code it would run at
// start, written as raw pixels for its resources. The program then loads no
// image decoder for its windows, and keeps the photograph and the banner
// only at the size they are drawn (images.cpp reads these files).
//
//   velodane-prepare-artwork [--bmp] IMAGES_FOLDER OUTPUT_FOLDER [NAME=WIDTHxHEIGHT ...]
//
// Writes, for each icon, <name>-<i>.px for its i-th image as the icon file
// orders them; for each NAME=WxH, <name>-<W>x<H>.px: the picture stretched
// to that size (the aspect ratio not kept), as the picture controls draw it.
// Each file: width, height, QImage format and bytes per line as four 32-bit
// numbers in this machine's byte order, then the pixels, line after line.
// With --bmp (for the Windows program), only the pictures are written, each
// as <name>_<W>x<H>.bmp, an uncompressed 24-bit BMP. A file that can't be
// decoded, or of another size than the catalogue's, fails the build.
#include "artwork/catalogue.h"
#include "common/error.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

void write(const QImage &image, const QString &path)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    const std::uint32_t head[4] = {
        static_cast<std::uint32_t>(image.width()), static_cast<std::uint32_t>(image.height()),
        static_cast<std::uint32_t>(image.format()), static_cast<std::uint32_t>(image.bytesPerLine())};
    bool ok = out.write(reinterpret_cast<const char *>(head), sizeof head) == sizeof head;
    ok = ok && out.write(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes()) == image.sizeInBytes();
    if (!ok || !out.flush())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QImage read(QImageReader &reader, const vd::artwork::Entry &entry)
{
    QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error(std::string(entry.file) + ": " + reader.errorString().toStdString());
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments();
    const bool bmp = args.size() > 1 && args[1] == QStringLiteral("--bmp");
    if (bmp)
        args.removeAt(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: velodane-prepare-artwork [--bmp] IMAGES_FOLDER OUTPUT_FOLDER [NAME=WxH ...]\n");
        return 2;
    }
    const QString images = args[1], output = args[2];
    try {
        for (const vd::artwork::Entry &entry : vd::artwork::catalogue()) {
            const QString name = QString::fromUtf8(entry.name.data(), static_cast<qsizetype>(entry.name.size()));
            const QString file = images + u'/' + QString::fromUtf8(entry.file.data(), qsizetype(entry.file.size()));
            QImageReader reader(file);
            if (entry.kind == vd::artwork::Kind::Icon && bmp)
                continue;
            if (entry.kind == vd::artwork::Kind::Icon) {
                int index = 0, largest = 0, largestHeight = 0;
                do {
                    const QImage image = read(reader, entry);
                    if (image.width() > largest) {
                        largest = image.width();
                        largestHeight = image.height();
                    }
                    write(image, output + u'/' + name + u'-' + QString::number(index++) + QStringLiteral(".px"));
                } while (reader.jumpToNextImage());
                vd::artwork::checkSize(entry, largest, largestHeight);
                continue;
            }
            const QImage image = read(reader, entry);
            vd::artwork::checkSize(entry, image.width(), image.height());
            for (int i = 3; i < args.size(); ++i) {
                const QString size = args[i].section(u'=', 1);
                if (args[i].section(u'=', 0, 0) != name)
                    continue;
                const int width = size.section(u'x', 0, 0).toInt(), height = size.section(u'x', 1).toInt();
                if (width <= 0 || height <= 0)
                    throw std::runtime_error("bad size " + args[i].toStdString());
                // As the picture control stretches it (qt_window.cpp).
                const QImage drawn = image.size() == QSize(width, height)
                                         ? image
                                         : image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                if (!bmp)
                    write(drawn, output + u'/' + name + u'-' + size + QStringLiteral(".px"));
                else if (!drawn.convertToFormat(QImage::Format_RGB888)
                              .save(output + u'/' + name + u'_' + size + ".bmp"))
                    throw std::runtime_error("cannot write " + (name + u'_' + size).toStdString() + ".bmp");
            }
        }
    } catch (const std::exception &e) { // vd::Error too
        std::fprintf(stderr, "velodane-prepare-artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
