// The island icon as a smooth drawing for the desktop's larger icon sizes.
//
// The same picture as the 16 and 32 px pixel art of IslandIcon: a yellow sun
// in a cyan sky at the upper left, a palm with dark-green fronds, a dark-red
// trunk and coconuts at the upper right, a dark-red island across the lower
// middle and a blue sea with white sparkles. Drawn in a 256-unit square that
// is scaled to the size asked for; lines thinner than about a pixel are
// thickened at the small sizes so that every part stays visible.
#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artgen {

namespace {

// The pixel art's colours (the 16-colour VGA palette), with lighter and
// darker shades of them for the modelling.
const QColor kCyan(0x00, 0xFF, 0xFF);
const QColor kPaleCyan(0xC8, 0xFF, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kPaleYellow(0xFF, 0xFF, 0xB0);
const QColor kDarkGreen(0x00, 0x80, 0x00);
const QColor kDeepGreen(0x00, 0x58, 0x00);
const QColor kDarkRed(0x80, 0x00, 0x00);
const QColor kDeepRed(0x5C, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kNavy(0x00, 0x00, 0xA8);
const QColor kWhite(0xFF, 0xFF, 0xFF);

// One palm frond from the crown towards `tip`, bending by `bend` (units to
// the left of the direction of growth) and `width` wide at its middle.
QPainterPath frond(QPointF crown, QPointF tip, double bend, double width)
{
    const QPointF along = tip - crown;
    const double length = std::hypot(along.x(), along.y());
    const QPointF unit = along / length;
    const QPointF normal(unit.y(), -unit.x());
    const QPointF middle = crown + along * 0.5 + normal * bend;
    QPainterPath path(crown);
    path.quadTo(middle + normal * width, tip);
    path.quadTo(middle - normal * width * 0.35, crown);
    return path;
}

// Line widths in drawing units for an icon of `size` pixels: at least about
// one pixel, so that thin lines stay visible at the small sizes.
struct Strokes {
    double pixel; // one pixel in drawing units

    explicit Strokes(int size) : pixel(256.0 / size) {}
    double atLeastPixel(double units) const { return std::max(units, pixel * 1.2); }
};

// Sky, lighter towards the horizon.
void paintSky(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, kCyan);
    sky.setColorAt(1, kPaleCyan);
    p.fillRect(QRectF(0, 0, 256, 160), sky);
}

// Sun: a disc with a soft glow and eight rays.
void paintSun(QPainter &p, const Strokes &strokes)
{
    const QPointF sun(74, 70);
    QRadialGradient glow(sun, 64);
    glow.setColorAt(0, QColor(0xFF, 0xFF, 0x80, 200));
    glow.setColorAt(1, QColor(0xFF, 0xFF, 0x80, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sun, 64, 64);
    p.setPen(QPen(kYellow, strokes.atLeastPixel(7), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4 + std::numbers::pi / 8;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawLine(sun + dir * 40, sun + dir * 54);
    }
    QRadialGradient disc(sun - QPointF(8, 8), 36);
    disc.setColorAt(0, kPaleYellow);
    disc.setColorAt(0.6, kYellow);
    disc.setColorAt(1, QColor(0xF0, 0xD8, 0x00));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(sun, 31, 31);
}

// Sea, deeper towards the bottom.
void paintSea(QPainter &p)
{
    const double horizon = 150;
    QLinearGradient sea(0, horizon, 0, 256);
    sea.setColorAt(0, kBlue);
    sea.setColorAt(1, kNavy);
    p.fillRect(QRectF(0, horizon, 256, 256 - horizon), sea);
}

// Island: a low mound from the left third to the right edge's quarter,
// standing in the sea; its foot dips below the water line.
void paintIsland(QPainter &p, const Strokes &strokes)
{
    p.setPen(Qt::NoPen);
    QPainterPath island(QPointF(34, 178));
    island.cubicTo(QPointF(44, 142), QPointF(92, 128), QPointF(142, 130));
    island.cubicTo(QPointF(190, 132), QPointF(222, 148), QPointF(226, 176));
    island.cubicTo(QPointF(200, 190), QPointF(70, 192), QPointF(34, 178));
    QLinearGradient ground(0, 128, 0, 190);
    ground.setColorAt(0, QColor(0xA0, 0x18, 0x10));
    ground.setColorAt(0.5, kDarkRed);
    ground.setColorAt(1, kDeepRed);
    p.setBrush(ground);
    p.drawPath(island);

    // A light ripple around the island's foot.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 150), strokes.atLeastPixel(4), Qt::SolidLine, Qt::RoundCap));
    QPainterPath ripple(QPointF(26, 186));
    ripple.cubicTo(QPointF(70, 200), QPointF(196, 198), QPointF(234, 184));
    p.drawPath(ripple);
}

// Sparkles on the water: short white strokes, longer nearer the viewer.
void paintSparkles(QPainter &p, const Strokes &strokes)
{
    struct Sparkle {
        double x, y, length;
    };
    const Sparkle sparkles[] = {{22, 160, 10},  {236, 162, 10}, {52, 214, 16},  {110, 226, 18},
                                {176, 216, 16}, {214, 236, 14}, {146, 246, 12}, {30, 238, 12}};
    for (const Sparkle &s : sparkles) {
        p.setPen(QPen(kWhite, strokes.atLeastPixel(5), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s.x - s.length / 2, s.y), QPointF(s.x + s.length / 2, s.y));
    }
}

// The palm stands on the island's top and carries its crown here.
constexpr QPointF PalmFoot(150, 136);
constexpr QPointF PalmCrown(180, 74);

// Palm trunk: a tapering curve leaning right from the island's top to the
// crown, with darker rings where the icon is large enough for them.
void paintTrunk(QPainter &p, int size)
{
    const QPointF foot = PalmFoot;
    const QPointF crown = PalmCrown;
    QPainterPath trunk(QPointF(foot.x() - 9, foot.y() + 2));
    trunk.cubicTo(QPointF(147, 114), QPointF(160, 90), QPointF(crown.x() - 4, crown.y() + 2));
    trunk.lineTo(QPointF(crown.x() + 4, crown.y() + 6));
    trunk.cubicTo(QPointF(170, 94), QPointF(161, 116), QPointF(foot.x() + 9, foot.y() + 2));
    trunk.closeSubpath();
    QLinearGradient bark(140, 0, 172, 0);
    bark.setColorAt(0, QColor(0xA8, 0x20, 0x18));
    bark.setColorAt(1, kDeepRed);
    p.setPen(Qt::NoPen);
    p.setBrush(bark);
    p.drawPath(trunk);
    if (size >= 64) {
        p.save();
        p.setClipPath(trunk, Qt::IntersectClip);
        p.setPen(QPen(kDeepRed, 2.5));
        for (int i = 1; i < 7; ++i) {
            const double t = i / 7.0;
            const QPointF c = foot + (crown - foot) * t + QPointF(-8 * std::sin(t * std::numbers::pi), 0);
            p.drawLine(c + QPointF(-12, -3), c + QPointF(12, 3));
        }
        p.restore();
    }
}

// Fronds: drooping leaves all round the crown, the back ones darker and
// drawn first.
void paintFronds(QPainter &p, const Strokes &strokes)
{
    struct Leaf {
        double dx, dy, bend, width;
        bool back;
    };
    const Leaf leaves[] = {
        {-56, -38, 12, 13, true}, {50, -52, -12, 13, true},  {8, -64, 5, 12, true},
        {-80, 6, 20, 15, false},  {-50, 52, 14, 14, false},  {62, -4, -18, 15, false},
        {50, 48, -14, 14, false}, {-40, -58, 14, 13, false}, {34, -62, -14, 13, false},
    };
    const QPointF crown = PalmCrown;
    for (int pass = 0; pass < 2; ++pass) {
        for (const Leaf &l : leaves) {
            if (l.back != (pass == 0))
                continue;
            const QPointF tip = crown + QPointF(l.dx, l.dy);
            QLinearGradient shade(crown, tip);
            shade.setColorAt(0, l.back ? kDeepGreen : kDarkGreen);
            shade.setColorAt(1, l.back ? QColor(0x00, 0x6C, 0x00) : QColor(0x10, 0x98, 0x10));
            p.setBrush(shade);
            p.setPen(QPen(kDeepGreen, strokes.atLeastPixel(1.5)));
            p.drawPath(frond(crown, tip, l.bend, l.width));
        }
    }
}

// Coconuts under the crown.
void paintCoconuts(QPainter &p)
{
    p.setPen(Qt::NoPen);
    const QPointF nuts[] = {{172, 84}, {187, 86}, {179, 95}};
    for (const QPointF &n : nuts) {
        QRadialGradient shell(n - QPointF(2, 2), 8);
        shell.setColorAt(0, QColor(0xB0, 0x30, 0x20));
        shell.setColorAt(1, kDeepRed);
        p.setBrush(shell);
        p.drawEllipse(n, 6.5, 6.5);
    }
}

} // namespace

QImage paintIslandIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    const Strokes strokes(size);

    // The tile: a rounded square holding the whole scene.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(6, 6, 244, 244), 36, 36);
    p.setClipPath(tile);

    paintSky(p);
    paintSun(p, strokes);
    paintSea(p);
    paintIsland(p, strokes);
    paintSparkles(p, strokes);
    paintTrunk(p, size);
    paintFronds(p, strokes);
    paintCoconuts(p);

    // A thin darker rim keeps the tile apart from a light background.
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0x40, 0x60, 110), strokes.atLeastPixel(2)));
    p.drawPath(tile);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace artgen
