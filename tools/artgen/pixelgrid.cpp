#include "pixelgrid.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <stdexcept>

namespace artgen {

const std::array<QRgb, 16> &vgaPalette()
{
    static const std::array<QRgb, 16> palette{
        qRgb(0x00, 0x00, 0x00), qRgb(0x80, 0x00, 0x00), qRgb(0x00, 0x80, 0x00), qRgb(0x80, 0x80, 0x00),
        qRgb(0x00, 0x00, 0x80), qRgb(0x80, 0x00, 0x80), qRgb(0x00, 0x80, 0x80), qRgb(0xC0, 0xC0, 0xC0),
        qRgb(0x80, 0x80, 0x80), qRgb(0xFF, 0x00, 0x00), qRgb(0x00, 0xFF, 0x00), qRgb(0xFF, 0xFF, 0x00),
        qRgb(0x00, 0x00, 0xFF), qRgb(0xFF, 0x00, 0xFF), qRgb(0x00, 0xFF, 0xFF), qRgb(0xFF, 0xFF, 0xFF),
    };
    return palette;
}

namespace {

[[noreturn]] void fail(const QString &path, int line, const QString &what)
{
    throw std::runtime_error(QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(what).toStdString());
}

} // namespace

IconDrawing readPixelGrid(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error(QStringLiteral("cannot open %1").arg(path).toStdString());
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);

    QHash<QChar, int> colourOf; // character -> palette index
    QChar transparent;
    bool haveTransparent = false;
    IconDrawing drawing;
    IconImage *current = nullptr;
    int rowsRead = 0;
    int lineNo = 0;

    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        if (current && rowsRead < current->size) {
            if (line.size() != current->size)
                fail(path, lineNo,
                     QStringLiteral("row has %1 pixels, expected %2").arg(line.size()).arg(current->size));
            for (QChar c : line) {
                if (haveTransparent && c == transparent) {
                    current->index.push_back(0);
                    current->transparent.push_back(true);
                } else if (colourOf.contains(c)) {
                    current->index.push_back(colourOf.value(c));
                    current->transparent.push_back(false);
                } else {
                    fail(path, lineNo, QStringLiteral("character '%1' is not in the legend").arg(c));
                }
            }
            ++rowsRead;
            continue;
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        const QStringList words = trimmed.split(u' ', Qt::SkipEmptyParts);
        if (words[0] == u"colour" && words.size() >= 3 && words[1].size() == 1) {
            bool ok = false;
            const QRgb rgb = qRgb(0, 0, 0) | words[2].toUInt(&ok, 16);
            const auto &pal = vgaPalette();
            const auto it = std::find(pal.begin(), pal.end(), rgb);
            if (!ok || words[2].size() != 6 || it == pal.end())
                fail(path, lineNo, QStringLiteral("%1 is not a VGA colour").arg(words[2]));
            colourOf.insert(words[1][0], int(it - pal.begin()));
        } else if (words[0] == u"transparent" && words.size() == 2 && words[1].size() == 1) {
            transparent = words[1][0];
            haveTransparent = true;
        } else if (words[0] == u"size" && words.size() == 2) {
            bool ok = false;
            const int size = words[1].toInt(&ok);
            if (!ok || size <= 0 || size > 256)
                fail(path, lineNo, QStringLiteral("bad size"));
            drawing.images.push_back(IconImage{size, {}, {}});
            current = &drawing.images.back();
            rowsRead = 0;
        } else {
            fail(path, lineNo, QStringLiteral("cannot read \"%1\"").arg(trimmed));
        }
    }
    if (current && rowsRead < current->size)
        fail(path, lineNo, QStringLiteral("image ends after %1 of %2 rows").arg(rowsRead).arg(current->size));
    if (drawing.images.empty())
        fail(path, lineNo, QStringLiteral("no image"));
    return drawing;
}

} // namespace artgen
