#include "textpaint.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QTransform>

#include <algorithm>
#include <stdexcept>

namespace artgen {

namespace {

QString load(const QString &folder, const QString &file)
{
    const QString path = folder + u'/' + file;
    if (!QFileInfo::exists(path))
        throw std::runtime_error(
            QStringLiteral("font %1 not found (Debian package fonts-thai-tlwg)").arg(path).toStdString());
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (id < 0 || families.isEmpty())
        throw std::runtime_error(QStringLiteral("cannot load font %1").arg(path).toStdString());
    return families.first();
}

} // namespace

Fonts loadFonts(const QString &folder)
{
    return Fonts{load(folder, QStringLiteral("Kinnari-Bold.ttf")), load(folder, QStringLiteral("Garuda-Bold.ttf"))};
}

QFont boldFont(const QString &family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
    font.setKerning(true);
    return font;
}

QPainterPath textPath(const QString &text, const QFont &font)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

QPainterPath fitPath(const QPainterPath &path, const QRectF &box, bool stretch)
{
    const QRectF r = path.boundingRect();
    double sx = box.width() / r.width();
    double sy = box.height() / r.height();
    if (!stretch)
        sx = sy = std::min(sx, sy);
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(sx, sy);
    t.translate(-r.center().x(), -r.center().y());
    return t.map(path);
}

} // namespace artgen
