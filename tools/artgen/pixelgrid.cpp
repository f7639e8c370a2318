#include "pixelgrid.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <stdexcept>
#include <utility>

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

// A grid file read line by line: legend lines, then for each image its
// size line and as many rows of pixels.
class GridReader {
public:
    explicit GridReader(const QString &path) : path_(path) {}

    void read(const QString &line)
    {
        ++lineNo_;
        if (current_ && rowsRead_ < current_->size) {
            readRow(line);
            return;
        }
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(u'#'))
            readSetting(trimmed);
    }

    IconDrawing finish()
    {
        if (current_ && rowsRead_ < current_->size)
            fail(path_, lineNo_, QStringLiteral("image ends after %1 of %2 rows").arg(rowsRead_).arg(current_->size));
        if (drawing_.images.empty())
            fail(path_, lineNo_, QStringLiteral("no image"));
        return std::move(drawing_);
    }

private:
    void readRow(const QString &line)
    {
        if (line.size() != current_->size)
            fail(path_, lineNo_, QStringLiteral("row has %1 pixels, expected %2").arg(line.size()).arg(current_->size));
        for (QChar c : line) {
            if (haveTransparent_ && c == transparent_) {
                current_->index.push_back(0);
                current_->transparent.push_back(true);
            } else if (colourOf_.contains(c)) {
                current_->index.push_back(colourOf_.value(c));
                current_->transparent.push_back(false);
            } else {
                fail(path_, lineNo_, QStringLiteral("character '%1' is not in the legend").arg(c));
            }
        }
        ++rowsRead_;
    }

    // "colour C RRGGBB", "transparent C" or "size N".
    void readSetting(const QString &trimmed)
    {
        const QStringList words = trimmed.split(u' ', Qt::SkipEmptyParts);
        if (words[0] == u"colour" && words.size() >= 3 && words[1].size() == 1) {
            readColour(words[1][0], words[2]);
        } else if (words[0] == u"transparent" && words.size() == 2 && words[1].size() == 1) {
            transparent_ = words[1][0];
            haveTransparent_ = true;
        } else if (words[0] == u"size" && words.size() == 2) {
            bool ok = false;
            const int size = words[1].toInt(&ok);
            if (!ok || size <= 0 || size > 256)
                fail(path_, lineNo_, QStringLiteral("bad size"));
            drawing_.images.push_back(IconImage{size, {}, {}});
            current_ = &drawing_.images.back();
            rowsRead_ = 0;
        } else {
            fail(path_, lineNo_, QStringLiteral("cannot read \"%1\"").arg(trimmed));
        }
    }

    void readColour(QChar character, const QString &hex)
    {
        bool ok = false;
        const QRgb rgb = qRgb(0, 0, 0) | hex.toUInt(&ok, 16);
        const auto &pal = vgaPalette();
        const auto it = std::find(pal.begin(), pal.end(), rgb);
        if (!ok || hex.size() != 6 || it == pal.end())
            fail(path_, lineNo_, QStringLiteral("%1 is not a VGA colour").arg(hex));
        colourOf_.insert(character, int(it - pal.begin()));
    }

    QString path_;
    QHash<QChar, int> colourOf_; // character -> palette index
    QChar transparent_;
    bool haveTransparent_ = false;
    IconDrawing drawing_;
    IconImage *current_ = nullptr;
    int rowsRead_ = 0;
    int lineNo_ = 0;
};

} // namespace

IconDrawing readPixelGrid(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error(QStringLiteral("cannot open %1").arg(path).toStdString());
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    GridReader reader(path);
    while (!in.atEnd())
        reader.read(in.readLine());
    return reader.finish();
}

} // namespace artgen
