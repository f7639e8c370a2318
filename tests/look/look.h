// Helpers for the tests of what the windows look like: the real program (see
// tests/app/program_fixture.h), its windows grabbed as pixels, and the ink of
// text measured in those pixels.
#pragma once

#include "design.h"
#include "embedded_artwork.h"
#include "program_fixture.h"

#include <QColor>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace vd::testing {

// The design's figures (design.h) as Qt values.
inline QColor qcolor(const design::Rgb &c)
{
    return QColor(c.r, c.g, c.b);
}

inline QRect pixels(const design::Twips &twips)
{
    const design::Pixels p = design::toPixels(twips);
    return QRect(p.left, p.top, p.width, p.height);
}

inline const QColor Pink = qcolor(design::Pink);
inline const QColor Red = qcolor(design::Red);
inline const QColor White = qcolor(design::White);
inline const QColor Blue = qcolor(design::Blue);
inline const QColor Magenta = qcolor(design::Magenta);
inline const QColor Green = qcolor(design::Green);
inline const QColor LightGreen = qcolor(design::LightGreen);
inline const QColor LightOrange = qcolor(design::LightOrange);

inline QString thai(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

inline QString groupName(int n)
{
    return thai("กลุ่มชุดดินที่ ") + QString::number(n);
}

// The menu window, entered from the intro window with its enter button.
inline QWidget *enterMenu()
{
    if (!ProgramFixture::click("Form1", QStringLiteral("Command2")))
        return nullptr;
    return ProgramFixture::window("Form2");
}

// A widget's pixels as drawn, at the screen's device pixel ratio.
inline QImage grabbed(QWidget *w)
{
    QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return image;
}

inline qreal ratio(const QImage &image)
{
    return image.devicePixelRatio();
}

// The device pixels that make up a rectangle of logical pixels.
inline QRect devicePixels(const QImage &image, const QRect &logical)
{
    const qreal d = ratio(image);
    const int left = static_cast<int>(std::floor(logical.left() * d));
    const int top = static_cast<int>(std::floor(logical.top() * d));
    const int right = static_cast<int>(std::ceil((logical.right() + 1) * d)) - 1;
    const int bottom = static_cast<int>(std::ceil((logical.bottom() + 1) * d)) - 1;
    return QRect(QPoint(left, top), QPoint(right, bottom)).intersected(image.rect());
}

// The colour in the middle of a logical pixel.
inline QColor colourAt(const QImage &image, int x, int y)
{
    const qreal d = ratio(image);
    return image.pixelColor(static_cast<int>(std::floor((x + 0.5) * d)), static_cast<int>(std::floor((y + 0.5) * d)));
}

inline QString describe(const QColor &c)
{
    return QStringLiteral("RGB(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// Empty when every device pixel of the logical rectangle has that colour;
// otherwise where the first one that hasn't is, and what it has.
inline QString notAllOf(const QImage &image, const QRect &logical, const QColor &colour)
{
    const QRect device = devicePixels(image, logical);
    if (device.isEmpty())
        return QStringLiteral("no pixels in that rectangle");
    const QRgb want = colour.rgb();
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x)
            if (image.pixel(x, y) != want)
                return QStringLiteral("device pixel (%1, %2) is %3, not %4")
                    .arg(x)
                    .arg(y)
                    .arg(describe(image.pixelColor(x, y)), describe(colour));
    return {};
}

// Empty when no device pixel of the logical rectangle has that colour.
inline QString anyOf(const QImage &image, const QRect &logical, const QColor &colour)
{
    const QRect device = devicePixels(image, logical);
    const QRgb want = colour.rgb();
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x)
            if (image.pixel(x, y) == want)
                return QStringLiteral("device pixel (%1, %2) is %3").arg(x).arg(y).arg(describe(colour));
    return {};
}

// A pixel is ink when it is more than a quarter of the way from the colour
// under it to the text colour.
inline constexpr double InkCoverage = 0.25;

inline int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// The bounding box, in logical pixels, of the text drawn in `with` over
// `without` (the same widget grabbed without the text); null when none.
inline QRectF inkBox(const QImage &with, const QImage &without, const QColor &text)
{
    int x0 = with.width(), y0 = with.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            const QRgb under = without.pixel(x, y);
            const int contrast = channelDistance(text.rgb(), under);
            if (contrast == 0)
                continue;
            if (channelDistance(with.pixel(x, y), under) > InkCoverage * contrast) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0)
        return {};
    const qreal d = ratio(with);
    return QRectF(QPointF(x0 / d, y0 / d), QPointF((x1 + 1) / d, (y1 + 1) / d));
}

// The ink of a text drawn alone on one line in that font, black on white, at
// that device pixel ratio: the size it has when nothing clips or wraps it.
inline QSizeF inkOnOneLine(const QString &text, const QFont &font, qreal deviceRatio)
{
    const QFontMetricsF m(font);
    const QSizeF logical(m.horizontalAdvance(text) + 4 * m.height(), 3 * m.height());
    QImage image((logical * deviceRatio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(deviceRatio);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPointF(2 * m.height(), m.height() + m.ascent()), text);
    }
    QImage blank(image.size(), QImage::Format_RGB32);
    blank.setDevicePixelRatio(deviceRatio);
    blank.fill(Qt::white);
    return inkBox(image, blank, Qt::black).size();
}

// A key typed for real into the window: through its platform window, so that
// it reaches the control holding the focus.
inline void press(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(window->windowHandle(), key, modifiers);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace vd::testing
