#include "noise.h"
#include "pictures.h"

#include "forms/window_measures.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artgen {

namespace {

constexpr int Width = 582;
constexpr int Height = 416;

// The intro window's places in twips: the picture is stretched over its
// picture control, and its two buttons stand on the picture's bottom corners.
namespace intro = vd::forms::measures::intro;

QColor lerp(const QColor &a, const QColor &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(mix(a.redF(), b.redF(), t)), float(mix(a.greenF(), b.greenF(), t)),
                            float(mix(a.blueF(), b.blueF(), t)));
}

// --- Sky and mountain, pixel by pixel ---------------------------------------

constexpr double PeakX = 402;
constexpr double RimY = 112;
constexpr double Crater = 22;

double mountainTop(double x)
{
    const double d = std::abs(x - PeakX);
    if (d < Crater)
        return RimY + 3.0 * (1 - (d / Crater) * (d / Crater)) + 1.5 * (fbm(x / 6, 0.5, 2, 11) - 0.5);
    const double w = x < PeakX ? 150 : 118;
    const double s = d - Crater;
    const double rough = (fbm(x / 22, 3.5, 4, 12) - 0.5) * 9 * (1 - std::exp(-s / 40));
    return RimY + 240 * (1 - std::exp(-s / w)) + rough;
}

double foothillTop(double x)
{
    return 272 + 26 * (fbm(x / 70, 7.5, 4, 21) - 0.5) + 10 * std::sin(x / 95.0) + 5 * (fbm(x / 4.5, 2.5, 2, 22) - 0.5);
}

QColor skyColour(int x, int y)
{
    const double t = std::pow(std::clamp(y / 300.0, 0.0, 1.0), 0.85);
    QColor sky = lerp(QColor(34, 88, 172), QColor(176, 204, 230), t);
    // Light cloud: a broad band at mid height and thin wisps above.
    const double n = fbm(x / 105.0, y / 34.0, 5, 31);
    const double band = smoothstep(70, 150, y) * (1 - smoothstep(230, 290, y)) * 0.95 + 0.35;
    const double cloud = smoothstep(0.54, 0.80, n) * band;
    const double shade = fbm(x / 60.0, y / 20.0 + 4, 3, 37);
    const QColor cloudColour = lerp(QColor(250, 251, 253), QColor(196, 206, 222), shade * 0.8);
    return lerp(sky, cloudColour, cloud * 0.9);
}

QColor mountainColour(int x, int y, double top)
{
    // Gullies run from the summit down the slopes.
    const double radial = (x - PeakX) / (y - RimY + 30.0);
    const double gully = fbm(radial * 9.0, y / 85.0, 4, 41);
    const double fine = fbm(radial * 30.0, y / 25.0, 3, 43);
    const double lit = 0.5 + 0.5 * std::tanh((PeakX - 10 - x) / 45.0);
    const double depth = y - top;

    QColor rock = lerp(QColor(62, 66, 92), QColor(118, 116, 134), lit * (0.75 + 0.5 * fine));
    rock = lerp(rock, QColor(40, 42, 60), (1 - gully) * 0.35);

    const double snowLine = RimY + 34 + 88 * gully + 18 * (fine - 0.5);
    const double snow = 1 - smoothstep(snowLine - 3, snowLine + 3, y);
    QColor snowColour = lerp(QColor(176, 190, 218), QColor(250, 251, 255), lit * 0.8 + 0.2 * fine);
    QColor c = lerp(rock, snowColour, snow);
    // A touch of darker rim along the summit edge, then haze with distance down the slope.
    if (depth < 1.5)
        c = lerp(c, QColor(120, 130, 160), 0.3);
    const double haze = std::clamp((y - RimY) / 260.0, 0.0, 1.0) * 0.45;
    return lerp(c, QColor(150, 176, 205), haze);
}

QColor foothillColour(int x, int y, double top)
{
    const double n = fbm(x / 14.0, y / 9.0, 4, 51);
    QColor c = lerp(QColor(44, 70, 82), QColor(72, 98, 104), n);
    return lerp(c, QColor(120, 150, 170), std::clamp(0.35 - (y - top) / 120.0, 0.0, 0.35));
}

void paintLandscape(QImage &img)
{
    for (int y = 0; y < Height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const double mt = mountainTop(x + 0.5);
            const double ft = foothillTop(x + 0.5);
            QColor c;
            if (y + 0.5 >= ft) {
                c = foothillColour(x, y, ft);
            } else if (y + 0.5 >= mt) {
                c = mountainColour(x, y, mt);
                // Soft edge against the sky.
                const double edge = std::clamp(y + 0.5 - mt, 0.0, 1.0);
                if (edge < 1)
                    c = lerp(skyColour(x, y), c, edge);
            } else {
                c = skyColour(x, y);
            }
            line[x] = c.rgb();
        }
    }
}

// --- Forest along the bottom ------------------------------------------------

double forestTop(double x)
{
    return 318 + 12 * (fbm(x / 45.0, 1.5, 4, 61) - 0.5);
}

void paintForest(QPainter &p)
{
    QPainterPath ground;
    ground.moveTo(0, Height);
    for (int x = 0; x <= Width; x += 2)
        ground.lineTo(x, forestTop(x) + 8);
    ground.lineTo(Width, Height);
    ground.closeSubpath();
    p.fillPath(ground, QColor(12, 28, 16));

    int row = 0;
    for (double y = 304; y < Height + 14; y += 6.5, ++row) {
        const double nearness = std::clamp((y - 304) / 110.0, 0.0, 1.0);
        const QColor far(52, 78, 70);
        const QColor near(14, 36, 20);
        for (double x = -12 + 5 * hashUnit(row, 0, 62); x < Width + 12; x += 7 + 5 * hashUnit(int(x), row, 63)) {
            const double cy = y + 4 * (hashUnit(int(x), row, 64) - 0.5);
            if (cy < forestTop(x))
                continue;
            const double rx = 5 + 6 * hashUnit(int(x), row, 65);
            const double ry = 4.5 + 5 * hashUnit(int(x), row, 66);
            const QColor base = lerp(far, near, nearness + 0.15 * (hashUnit(int(x), row, 67) - 0.5));
            p.setPen(Qt::NoPen);
            p.setBrush(base);
            p.drawEllipse(QPointF(x, cy), rx, ry);
            QRadialGradient light(QPointF(x - rx * 0.35, cy - ry * 0.45), rx);
            QColor hl = lerp(base, QColor(90, 130, 80), 0.55 - 0.25 * nearness);
            hl.setAlphaF(0.8f);
            light.setColorAt(0, hl);
            QColor clear = base;
            clear.setAlphaF(0);
            light.setColorAt(1, clear);
            p.setBrush(light);
            p.drawEllipse(QPointF(x, cy - ry * 0.15), rx * 0.8, ry * 0.75);
        }
    }
}

// --- Feathery grass plumes at the left --------------------------------------

void paintGrass(QPainter &p)
{
    // Blades first, then the stalks with their plumes.
    for (int i = 0; i < 46; ++i) {
        const double bx = -20 + 190 * hashUnit(i, 1, 71);
        const double h = 90 + 140 * hashUnit(i, 2, 72);
        const double lean = (hashUnit(i, 3, 73) - 0.35) * 90;
        QPainterPath blade;
        blade.moveTo(bx - 2.5, Height + 2);
        blade.quadTo(bx + lean * 0.3, Height - h * 0.6, bx + lean, Height - h);
        blade.quadTo(bx + lean * 0.3 + 1.5, Height - h * 0.6, bx + 2.5, Height + 2);
        p.setPen(Qt::NoPen);
        p.setBrush(lerp(QColor(34, 58, 24), QColor(96, 112, 52), hashUnit(i, 4, 74)));
        p.drawPath(blade);
    }
    for (int i = 0; i < 17; ++i) {
        const double bx = -8 + 175 * hashUnit(i, 1, 81);
        const double topY = 105 + 120 * hashUnit(i, 2, 82) + (bx > 120 ? 50 : 0);
        const double lean = (hashUnit(i, 3, 83) - 0.4) * 40;
        const QPointF base(bx, Height + 4);
        const QPointF ctl(bx + lean * 0.2, (Height + topY) / 2);
        const QPointF tip(bx + lean, topY);
        QPainterPath stalk;
        stalk.moveTo(base);
        stalk.quadTo(ctl, tip);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(150, 138, 100), 1.4));
        p.drawPath(stalk);

        // The plume: fine strands along the top of the stalk, drooping to both sides.
        const double plumeLength = 70 + 40 * hashUnit(i, 4, 84);
        const double total = Height + 4 - topY;
        const int strands = 170;
        for (int s = 0; s < strands; ++s) {
            const double t = 1 - (plumeLength / total) * (s / double(strands)) * (0.9 + 0.1 * hashUnit(i, s, 85));
            const QPointF at = stalk.pointAtPercent(std::clamp(t, 0.0, 1.0));
            const double side = (s % 2 == 0) ? 1 : -1;
            const double along = 1 - (1 - t) * total / plumeLength; // 1 at the tip
            const double len = (8 + 18 * hashUnit(i, s, 86)) *
                               (0.55 + 0.45 * std::sin(std::numbers::pi * std::clamp(along * 0.9 + 0.1, 0.0, 1.0)));
            const double angle = side * (0.35 + 0.9 * hashUnit(i, s, 87));
            const QPointF end(at.x() + std::sin(angle) * len, at.y() - std::cos(angle) * len * 0.6 + len * 0.55);
            QPainterPath strand;
            strand.moveTo(at);
            strand.quadTo(QPointF(at.x() + std::sin(angle) * len * 0.6, at.y() - len * 0.3), end);
            QColor c = lerp(QColor(206, 190, 170), QColor(252, 246, 236), hashUnit(i, s, 88));
            c.setAlphaF(float(0.35 + 0.3 * hashUnit(i, s, 89)));
            p.setPen(QPen(c, 0.8 + 0.5 * hashUnit(i, s, 90)));
            p.drawPath(strand);
        }
    }
}

// --- Emblem -------------------------------------------------------------------

// Its soft shadow, gold rim and the disc inside, `inner` in radius, blue at
// the top to green at the bottom.
void paintEmblemDisc(QPainter &p, QPointF c, double r, double inner)
{
    QRadialGradient shadow(c + QPointF(4, 5), r + 8);
    shadow.setColorAt(0.86, QColor(0, 0, 0, 110));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(c + QPointF(4, 5), r + 8, r + 8);

    QConicalGradient gold(c, 45);
    const QColor goldDark(138, 98, 18), goldLight(255, 236, 150), goldMid(212, 166, 44);
    gold.setColorAt(0.00, goldLight);
    gold.setColorAt(0.18, goldMid);
    gold.setColorAt(0.38, goldDark);
    gold.setColorAt(0.55, goldMid);
    gold.setColorAt(0.72, goldLight);
    gold.setColorAt(0.88, goldDark);
    gold.setColorAt(1.00, goldLight);
    p.setBrush(gold);
    p.setPen(QPen(QColor(90, 62, 10), 1.2));
    p.drawEllipse(c, r, r);

    QLinearGradient disc(c.x(), c.y() - inner, c.x(), c.y() + inner);
    disc.setColorAt(0, QColor(24, 70, 196));
    disc.setColorAt(0.45, QColor(22, 118, 170));
    disc.setColorAt(0.72, QColor(40, 160, 84));
    disc.setColorAt(1, QColor(70, 186, 80));
    p.setBrush(disc);
    p.setPen(QPen(QColor(100, 70, 12), 1.2));
    p.drawEllipse(c, inner, inner);
}

// The line drawing's sun, the ground line at `gy` and the soil's layers
// under it, in `line`.
void paintSunAndSoil(QPainter &p, QPointF c, double inner, double gy, const QPen &line)
{
    p.setPen(line);
    const QPointF sun(c.x() + 33, c.y() - 33);
    p.drawEllipse(sun, 8, 8);
    for (int k = 0; k < 8; ++k) {
        const double a = std::numbers::pi * k / 4;
        p.drawLine(sun + QPointF(std::cos(a) * 11.5, std::sin(a) * 11.5),
                   sun + QPointF(std::cos(a) * 15, std::sin(a) * 15));
    }
    p.drawLine(QPointF(c.x() - inner, gy), QPointF(c.x() + inner, gy));
    p.setPen(QPen(QColor(255, 255, 255, 210), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (int k = 1; k <= 2; ++k) {
        QPainterPath layer;
        const double ly = gy + 5 * k;
        layer.moveTo(c.x() - inner, ly);
        for (double x = -inner; x <= inner; x += 3)
            layer.lineTo(c.x() + x, ly + 1.2 * std::sin(x / 6.0 + 2 * k));
        p.drawPath(layer);
    }
}

// The seedling standing on the ground line at `gy`: a stem, two leaves from
// its fork, and three roots, in `line`.
void paintSeedling(QPainter &p, QPointF c, double gy, const QPen &line)
{
    p.setPen(line);
    const QPointF foot(c.x() - 8, gy);
    const QPointF fork(c.x() - 8, gy - 26);
    p.drawLine(foot, QPointF(fork.x(), fork.y() - 6));
    const auto leaf = [&](double dir) {
        // An almond-shaped leaf from the fork, up and out to one side.
        const QPointF tip(fork.x() + dir * 30, fork.y() - 16);
        QPainterPath l;
        l.moveTo(fork);
        l.cubicTo(QPointF(fork.x() + dir * 6, fork.y() - 18), QPointF(tip.x() - dir * 12, tip.y() - 6), tip);
        l.cubicTo(QPointF(tip.x() - dir * 6, tip.y() + 10), QPointF(fork.x() + dir * 16, fork.y() + 2), fork);
        p.drawPath(l);
        p.drawLine(fork, QPointF(tip.x() - dir * 8, tip.y() + 2));
    };
    leaf(-1);
    leaf(1);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(foot, QPointF(foot.x() - 6, gy + 7));
    p.drawLine(foot, QPointF(foot.x() + 5, gy + 9));
    p.drawLine(foot, QPointF(foot.x(), gy + 11));
}

// The name in the lower part, under the ground line at `gy`: "Velodane soil
// information centre".
void paintEmblemName(QPainter &p, const Fonts &fonts, QPointF c, double gy)
{
    const QPainterPath name1 =
        fitPath(textPath(QStringLiteral("ศูนย์ข้อมูลดิน"), boldFont(fonts.sans, 40)), QRectF(c.x() - 50, gy + 16, 100, 19));
    const QPainterPath name2 =
        fitPath(textPath(QStringLiteral("เวโลเดน"), boldFont(fonts.sans, 40)), QRectF(c.x() - 31, gy + 38, 62, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0));
    p.drawPath(name1);
    p.drawPath(name2);
}

// Gloss over the upper half of the disc.
void paintEmblemGloss(QPainter &p, QPointF c, double inner)
{
    QLinearGradient gloss(c.x(), c.y() - inner, c.x(), c.y() + 6);
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(QRectF(c.x() - inner * 0.82, c.y() - inner * 0.97, inner * 1.64, inner * 1.0));
}

// The emblem, centred at `c` with radius `r`: a disc in a gold rim with a
// line drawing of a seedling over the layers of a soil profile, under the
// sun, and the centre's name.
void paintEmblem(QPainter &p, const Fonts &fonts, QPointF c, double r)
{
    p.save();
    const double inner = r - 8;
    paintEmblemDisc(p, c, r, inner);

    QPainterPath clip;
    clip.addEllipse(c, inner - 1, inner - 1);
    p.setClipPath(clip);

    p.setBrush(Qt::NoBrush);
    const QPen line(QColor(255, 255, 255), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const double gy = c.y() + 4; // ground line
    paintSunAndSoil(p, c, inner, gy, line);
    paintSeedling(p, c, gy, line);
    paintEmblemName(p, fonts, c, gy);
    paintEmblemGloss(p, c, inner);
    p.restore();

    // A thin bright line inside the rim.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 246, 200, 180), 1.0));
    p.drawEllipse(c, r - 3.5, r - 3.5);
}

// --- Title ---------------------------------------------------------------------

void paintTitle(QPainter &p, const Fonts &fonts)
{
    const QPainterPath title =
        fitPath(textPath(QStringLiteral("คำอธิบายกลุ่มชุดดิน"), boldFont(fonts.serif, 100)), QRectF(24, 6, Width - 48, 96));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(60, 20, 10, 90), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(title.translated(2, 3));
    p.setPen(QPen(QColor(255, 242, 214), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(title);
    QLinearGradient fill(0, 10, 0, 100);
    fill.setColorAt(0, QColor(134, 42, 20));
    fill.setColorAt(1, QColor(86, 20, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(title);
}

// --- Panels under the buttons ------------------------------------------------------

void paintPanel(QPainter &p, const QRect &r, const QColor &face)
{
    p.fillRect(r, face);
    const QColor dark = face.darker(190);
    // White bevel at the top and left, shade at the bottom and right.
    p.fillRect(QRect(r.left(), r.top(), r.width(), 2), Qt::white);
    p.fillRect(QRect(r.left(), r.top(), 2, r.height()), Qt::white);
    p.fillRect(QRect(r.left() + 1, r.bottom() - 1, r.width() - 1, 2), dark);
    p.fillRect(QRect(r.right() - 1, r.top() + 1, 2, r.height() - 1), dark);
    p.fillRect(QRect(r.left() + 2, r.top() + 2, r.width() - 4, 1), face.lighter(135));
}

void paintSmile(QPainter &p, QPointF c, double r)
{
    p.setPen(QPen(QColor(60, 40, 0), 1.2));
    p.setBrush(QColor(255, 228, 0));
    p.drawEllipse(c, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(c + QPointF(-r * 0.36, -r * 0.28), r * 0.13, r * 0.2);
    p.drawEllipse(c + QPointF(r * 0.36, -r * 0.28), r * 0.13, r * 0.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - r * 0.6, c.y() - r * 0.55, r * 1.2, r * 1.2), -20 * 16, -140 * 16);
}

void paintEye(QPainter &p, QPointF c, double w, double h)
{
    QPainterPath eye;
    eye.moveTo(c.x() - w / 2, c.y());
    eye.quadTo(c.x(), c.y() - h, c.x() + w / 2, c.y());
    eye.quadTo(c.x(), c.y() + h, c.x() - w / 2, c.y());
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.save();
    p.setClipPath(eye);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(70, 110, 200));
    p.drawEllipse(c, h * 0.48, h * 0.48);
    p.setBrush(Qt::black);
    p.drawEllipse(c, h * 0.2, h * 0.2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c + QPointF(-h * 0.16, -h * 0.16), h * 0.08, h * 0.08);
    p.restore();
    // Lashes.
    p.setPen(QPen(Qt::black, 1.1, Qt::SolidLine, Qt::RoundCap));
    for (int k = -2; k <= 2; ++k) {
        const double x = c.x() + k * w * 0.14;
        const double y = c.y() - h * 0.5 * (1 - (k * 0.28) * (k * 0.28)) - 0.5;
        p.drawLine(QPointF(x, y), QPointF(x + k * 1.2, y - 3.5));
    }
}

void paintPanels(QPainter &p, const Fonts &fonts)
{
    const QRect exitPanel = coveredPixels(intro::ExitButton);
    const QRect enterPanel = coveredPixels(intro::EnterButton);
    const QFont font = boldFont(fonts.sans, 40);

    paintPanel(p, exitPanel, QColor(28, 64, 200));
    paintSmile(p, QPointF(exitPanel.center().x() + 0.5, exitPanel.top() + 14.5), 10.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(fitPath(textPath(QStringLiteral("ออก"), font),
                       QRectF(exitPanel.left() + 4, exitPanel.top() + 28, exitPanel.width() - 8, 15)));

    paintPanel(p, enterPanel, QColor(34, 150, 56));
    paintEye(p, QPointF(enterPanel.center().x() + 0.5, enterPanel.top() + 14), 34, 19);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(fitPath(textPath(QStringLiteral("เลือกคำอธิบายกลุ่มชุดดิน"), font),
                       QRectF(enterPanel.left() + 6, enterPanel.top() + 27, enterPanel.width() - 12, 19)));
}

// Fine grain, as in a photograph.
void addGrain(QImage &img)
{
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int g = int(std::lround((hashUnit(x, y, 99) - 0.5) * 7));
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + g, 0, 255), std::clamp(qGreen(c) + g, 0, 255),
                           std::clamp(qBlue(c) + g, 0, 255));
        }
    }
}

} // namespace

QRect coveredPixels(const vd::forms::measures::Twips &button)
{
    // Picture pixel = twips * picture size / control size in twips; keep the
    // pixels that lie wholly inside the button.
    const auto ceilDiv = [](long a, long b) { return int((a + b - 1) / b); };
    const auto floorDiv = [](long a, long b) { return int(a / b); };
    const int left = ceilDiv(long(button.left) * Width, intro::Picture.width);
    const int right = floorDiv(long(button.left + button.width) * Width, intro::Picture.width);
    const int top = ceilDiv(long(button.top) * Height, intro::Picture.height);
    const int bottom = floorDiv(long(button.top + button.height) * Height, intro::Picture.height);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QImage paintIntroPicture(const Fonts &fonts)
{
    QImage img(Width, Height, QImage::Format_RGB32);
    paintLandscape(img);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        paintForest(p);
        paintGrass(p);
    }
    addGrain(img);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        paintTitle(p, fonts);
        paintEmblem(p, fonts, QPointF(Width / 2.0, 214), 74);
        paintPanels(p, fonts);
    }
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    return img;
}

} // namespace artgen
