// velodane_artgen: makes the program's artwork files.
//
//   velodane_artgen REPO [--fonts DIR] [--preview DIR]
//
// Reads the icon drawings from REPO/src/artwork/pixels and writes
// REPO/src/artwork/images (eight .ico files, IntroPicture.jpg,
// MenuBanner.bmp) and the hicolor icons in REPO/packaging/linux/icons (16
// and 32 px from IslandIcon's pixel art, 48 to 256 px drawn for their size).
// With --preview, also writes enlarged PNG views of everything into DIR for
// looking at.  Runs headless (QT_QPA_PLATFORM=offscreen).
#include "bmpfile.h"
#include "icofile.h"
#include "pictures.h"
#include "pixelgrid.h"

#include "forms/window_measures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSet>

#include <cstdio>
#include <optional>
#include <stdexcept>

namespace {

const char *const Icons[] = {"IslandIcon",      "ForwardPointer", "GreenLightPicture", "StopPointer",
                             "RedLightPicture", "BackPointer",    "BackArrowPicture",  "HandPointer"};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error(QStringLiteral("cannot write %1").arg(path).toStdString());
    std::printf("wrote %s (%lld bytes)\n", qPrintable(QDir::current().relativeFilePath(path)),
                static_cast<long long>(bytes.size()));
}

QByteArray encode(const QImage &img, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    if (!writer.write(img))
        throw std::runtime_error(QStringLiteral("cannot encode %1: %2")
                                     .arg(QString::fromLatin1(format), writer.errorString())
                                     .toStdString());
    return bytes;
}

// Reads an icon back with Qt's own reader and checks it against the drawing.
std::vector<QImage> checkIcon(const QByteArray &ico, const artgen::IconDrawing &drawing, const QString &name)
{
    QBuffer buffer;
    buffer.setData(ico);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    std::vector<QImage> images;
    for (const artgen::IconImage &want : drawing.images) {
        const QImage got = reader.read().convertToFormat(QImage::Format_ARGB32);
        if (got.size() != QSize(want.size, want.size))
            throw std::runtime_error(QStringLiteral("%1: Qt reads back the wrong size").arg(name).toStdString());
        for (int y = 0; y < want.size; ++y)
            for (int x = 0; x < want.size; ++x) {
                const int i = y * want.size + x;
                const QRgb expect = want.transparent[i] ? 0u : artgen::vgaPalette()[want.index[i]];
                const QRgb have = qAlpha(got.pixel(x, y)) == 0 ? 0u : got.pixel(x, y);
                if (have != expect)
                    throw std::runtime_error(QStringLiteral("%1: Qt reads back pixel %2,%3 of the %4 image wrong")
                                                 .arg(name)
                                                 .arg(x)
                                                 .arg(y)
                                                 .arg(want.size)
                                                 .toStdString());
            }
        images.push_back(got);
        reader.jumpToNextImage();
    }
    return images;
}

QImage enlarged(const QImage &icon, int factor)
{
    QImage out(icon.width() * factor, icon.height() * factor, QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = icon.pixel(x / factor, y / factor);
            const QRgb checker = ((x / 4 + y / 4) % 2) ? qRgb(255, 200, 220) : qRgb(255, 255, 255);
            out.setPixel(x, y, qAlpha(c) ? c : checker);
        }
    return out;
}

int distinctColours(const QImage &img)
{
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            colours.insert(img.pixel(x, y) & 0xFFFFFFu);
    return int(colours.size());
}

// What the command line asks for.
struct Options {
    QString root; // the repository
    QString fontDir = QStringLiteral("/usr/share/fonts/truetype/tlwg");
    QString previewDir; // empty: no previews
};

// The options, or nothing (after the usage message) where the command line
// is wrong.
std::optional<Options> parseArguments(QStringList args)
{
    Options o;
    bool wrong = false;
    while (!args.isEmpty() && !wrong) {
        const QString a = args.takeFirst();
        if (a == u"--fonts" && !args.isEmpty())
            o.fontDir = args.takeFirst();
        else if (a == u"--preview" && !args.isEmpty())
            o.previewDir = args.takeFirst();
        else if (o.root.isEmpty() && !a.startsWith(u'-'))
            o.root = a;
        else
            wrong = true;
    }
    if (wrong || o.root.isEmpty()) {
        std::fprintf(stderr, "usage: velodane_artgen REPO [--fonts DIR] [--preview DIR]\n");
        return std::nullopt;
    }
    return o;
}

// The program's icon as the 16 and 32 px hicolor icons, from its pixel art.
void writeHicolorPixelIcons(const QDir &repo, const std::vector<QImage> &decoded)
{
    for (const QImage &img : decoded) {
        const QString size = QStringLiteral("%1x%1").arg(img.width());
        writeFile(repo.filePath(QStringLiteral("packaging/linux/icons/%1/velodane.png").arg(size)),
                  encode(img.convertToFormat(QImage::Format_RGB888), "png"));
    }
}

// Both images of an icon side by side, enlarged eight times.
void saveIconPreview(const std::vector<QImage> &decoded, const QString &path)
{
    QImage sheet(32 * 8 + 16 + 16 * 8, 32 * 8, QImage::Format_ARGB32);
    sheet.fill(qRgb(64, 64, 64));
    QPainter p(&sheet);
    p.drawImage(0, 0, enlarged(decoded[0], 8));
    p.drawImage(32 * 8 + 16, 0, enlarged(decoded[1], 8));
    p.end();
    sheet.save(path);
}

// The eight .ico files from their pixel drawings.
void writeIcons(const QDir &repo, const QString &images, const QString &previewDir)
{
    const QString pixels = repo.filePath(QStringLiteral("src/artwork/pixels"));
    for (const char *icon : Icons) {
        const QString name = QString::fromLatin1(icon);
        const artgen::IconDrawing drawing = artgen::readPixelGrid(pixels + u'/' + name + QStringLiteral(".txt"));
        if (drawing.images.size() != 2 || drawing.images[0].size != 32 || drawing.images[1].size != 16)
            throw std::runtime_error(QStringLiteral("%1: needs a 32 x 32 and a 16 x 16 image").arg(name).toStdString());
        const QByteArray ico = artgen::encodeIco(drawing);
        const std::vector<QImage> decoded = checkIcon(ico, drawing, name);
        writeFile(images + u'/' + name + QStringLiteral(".ico"), ico);
        if (name == u"IslandIcon")
            writeHicolorPixelIcons(repo, decoded);
        if (!previewDir.isEmpty())
            saveIconPreview(decoded, previewDir + u'/' + name + QStringLiteral(".png"));
    }
}

// The desktop's larger icons, drawn for their size.
void writeDrawnIcons(const QDir &repo, const QString &previewDir)
{
    for (const int size : {48, 64, 128, 256}) {
        const QImage icon = artgen::paintIslandIcon(size);
        writeFile(repo.filePath(QStringLiteral("packaging/linux/icons/%1x%1/velodane.png").arg(size)),
                  encode(icon, "png"));
        if (!previewDir.isEmpty())
            icon.save(previewDir + QStringLiteral("/IslandIcon-%1.png").arg(size));
    }
}

// The intro picture as the intro window shows it at 96 dpi: stretched over
// the picture control, with the two buttons' rectangles drawn over it
// (IntroButtons) and the buttons themselves in their colours (IntroCovered).
void saveIntroPreviews(const QString &introFile, const QString &previewDir)
{
    namespace intro = vd::forms::measures::intro;
    constexpr double TwipsPerPixel = vd::forms::measures::TwipsPerPixel;
    const auto pixels = [](const vd::forms::measures::Twips &t) {
        return QRectF(t.left / TwipsPerPixel, t.top / TwipsPerPixel, t.width / TwipsPerPixel, t.height / TwipsPerPixel);
    };
    const auto colour = [](const vd::forms::measures::Rgb &c) { return QColor(c.r, c.g, c.b); };
    const QRectF picture = pixels(intro::Picture);
    QImage shown = QImage(introFile).scaled(int(picture.width()), int(picture.height()), Qt::IgnoreAspectRatio,
                                            Qt::SmoothTransformation);
    QImage overlay = shown.copy();
    QPainter p(&overlay);
    p.setPen(QPen(QColor(255, 0, 255), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(pixels(intro::ExitButton));
    p.drawRect(pixels(intro::EnterButton));
    p.end();
    shown.save(previewDir + QStringLiteral("/IntroShown.png"));
    overlay.save(previewDir + QStringLiteral("/IntroButtons.png"));
    QImage covered = shown.copy();
    QPainter q(&covered);
    q.fillRect(pixels(intro::ExitButton), colour(intro::ExitBackground));
    q.fillRect(pixels(intro::EnterButton), colour(intro::EnterBackground));
    q.end();
    covered.save(previewDir + QStringLiteral("/IntroCovered.png"));
}

// IntroPicture and MenuBanner, painted.
void writePictures(const QString &images, const QString &fontDir, const QString &previewDir)
{
    const artgen::Fonts fonts = artgen::loadFonts(fontDir);

    const QImage intro = artgen::paintIntroPicture(fonts);
    writeFile(images + QStringLiteral("/IntroPicture.jpg"), encode(intro, "jpeg", 90));

    const QImage banner = artgen::paintMenuBanner(fonts);
    writeFile(images + QStringLiteral("/MenuBanner.bmp"), artgen::encodeBmp24(banner));
    std::printf("MenuBanner: %d distinct colours\n", distinctColours(banner));

    if (!previewDir.isEmpty()) {
        intro.save(previewDir + QStringLiteral("/IntroPicture.png"));
        banner.save(previewDir + QStringLiteral("/MenuBanner.png"));
        saveIntroPreviews(images + QStringLiteral("/IntroPicture.jpg"), previewDir);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const std::optional<Options> options = parseArguments(app.arguments().mid(1));
    if (!options)
        return 2;

    try {
        const QDir repo(options->root);
        const QString images = repo.filePath(QStringLiteral("src/artwork/images"));
        if (!options->previewDir.isEmpty())
            QDir().mkpath(options->previewDir);
        writeIcons(repo, images, options->previewDir);
        writeDrawnIcons(repo, options->previewDir);
        writePictures(images, options->fontDir, options->previewDir);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "velodane_artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
