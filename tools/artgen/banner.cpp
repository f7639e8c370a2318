#include "noise.h"
#include "pictures.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace artgen {

namespace {

constexpr int Width = 660;
constexpr int Height = 149;

const QColor Panel(0xFF, 0xCC, 0x9A);
const QColor Margin(0xFF, 0xC0, 0x80);
const QColor LeftLine(0x3C, 0x28, 0x1E);

constexpr int MarginTop = 4;
constexpr int MarginRight = 4;
constexpr int MarginBottom = 4;
constexpr int LeftLineWidth = 2;

// The letters rise and fall: vertical offset at x.
double wave(double x)
{
    return 6.5 * std::sin(2 * std::numbers::pi * (x - 40) / 300.0);
}

QPainterPath warped(QPainterPath path)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        path.setElementPositionAt(i, e.x, e.y + wave(e.x));
    }
    return path;
}

// Colour of the letters at height t (0 at their top, 1 at their foot):
// deep indigo, purple, crimson.
struct Rgb {
    double r, g, b;
};

Rgb letterColour(double t)
{
    struct Stop {
        double at;
        int r, g, b;
    };
    static const Stop stops[] = {{0.00, 0x25, 0x0F, 0x6B},
                                 {0.18, 0x2E, 0x10, 0x78},
                                 {0.50, 0x78, 0x16, 0x8A},
                                 {0.80, 0xB0, 0x14, 0x4A},
                                 {1.00, 0xC8, 0x12, 0x23}};
    t = std::clamp(t, 0.0, 1.0);
    int i = 0;
    while (i < 3 && t > stops[i + 1].at)
        ++i;
    const Stop &a = stops[i];
    const Stop &b = stops[i + 1];
    const double u = (t - a.at) / (b.at - a.at);
    return Rgb{mix(a.r, b.r, u), mix(a.g, b.g, u), mix(a.b, b.b, u)};
}

// Three passes of a box blur on a premultiplied image.
void blur(QImage &img, int radius)
{
    const int w = img.width();
    const int h = img.height();
    for (int pass = 0; pass < 3; ++pass) {
        for (int dir = 0; dir < 2; ++dir) {
            const int lines = dir == 0 ? h : w;
            const int length = dir == 0 ? w : h;
            for (int l = 0; l < lines; ++l) {
                auto px = [&](int i) -> QRgb & {
                    return dir == 0 ? reinterpret_cast<QRgb *>(img.scanLine(l))[i]
                                    : reinterpret_cast<QRgb *>(img.scanLine(i))[l];
                };
                std::vector<QRgb> src(static_cast<std::size_t>(length));
                for (int i = 0; i < length; ++i)
                    src[std::size_t(i)] = px(i);
                for (int i = 0; i < length; ++i) {
                    int s[4] = {0, 0, 0, 0};
                    for (int k = -radius; k <= radius; ++k) {
                        const QRgb c = src[std::size_t(std::clamp(i + k, 0, length - 1))];
                        s[0] += qAlpha(c);
                        s[1] += qRed(c);
                        s[2] += qGreen(c);
                        s[3] += qBlue(c);
                    }
                    const int n = 2 * radius + 1;
                    px(i) = qRgba((s[1] + n / 2) / n, (s[2] + n / 2) / n, (s[3] + n / 2) / n, (s[0] + n / 2) / n);
                }
            }
        }
    }
}

// The margin round the panel, the dark line at its left and the panel;
// returns the panel's rectangle.
QRect paintPanel(QImage &img)
{
    img.fill(Margin);
    const QRect panel(LeftLineWidth, MarginTop, Width - LeftLineWidth - MarginRight, Height - MarginTop - MarginBottom);
    QPainter p(&img);
    p.fillRect(QRect(0, 0, LeftLineWidth, Height), LeftLine);
    p.fillRect(panel, Panel);
    return panel;
}

// How much of each pixel `path` covers, in the alpha of a premultiplied image.
QImage coverage(const QPainterPath &path)
{
    QImage mask(Width, Height, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing);
    // Filled and outlined, for heavier strokes than the face's own.
    p.setPen(QPen(Qt::white, 2.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(path);
    return mask;
}

double alphaAt(const QImage &m, int x, int y)
{
    x = std::clamp(x, 0, m.width() - 1);
    y = std::clamp(y, 0, m.height() - 1);
    return qAlpha(reinterpret_cast<const QRgb *>(m.constScanLine(y))[x]) / 255.0;
}

// The title as masks: its shadow (offset and blurred), its letters, and a
// soft height field of them for the letters' rounded look; `top` and
// `bottom` where their colour runs from the one end to the other.
struct Title {
    QImage shadow;
    QImage letters;
    QImage relief;
    double top = 0;
    double bottom = 0;
};

// Tall letters: the line is stretched to the panel's height, then bent.
Title shapeTitle(const Fonts &fonts)
{
    const QRectF box(16, 15, Width - 36, Height - 36);
    const QPainterPath flat =
        fitPath(textPath(QStringLiteral("คำอธิบายกลุ่มชุดดินในประเทศไทย"), boldFont(fonts.serif, 100)), box, true);
    const QPainterPath title = warped(flat);

    Title t;
    t.shadow = coverage(title.translated(5, 5));
    blur(t.shadow, 4);
    t.letters = coverage(title);
    t.relief = t.letters;
    blur(t.relief, 3);
    // From the top of the consonants to the baseline; marks above and below
    // take the end colours.
    t.top = box.top() + 0.19 * box.height();
    t.bottom = box.top() + 0.86 * box.height();
    return t;
}

// The panel's colour `c` under the title's shadow, of strength `s`, at x, y.
Rgb underShadow(Rgb c, double s, int x, int y)
{
    const QColor shadowColour(96, 84, 80);
    // Grey, a shade warmer or cooler along the line.
    const double drift = 0.5 + 0.5 * std::sin(x / 23.0 + y / 17.0);
    c.r = mix(c.r, mix(shadowColour.red() + 10, shadowColour.red() - 8, drift), s);
    c.g = mix(c.g, mix(shadowColour.green() + 2, shadowColour.green() + 0, drift), s);
    c.b = mix(c.b, mix(shadowColour.blue() - 6, shadowColour.blue() + 12, drift), s);
    // The shadow is mottled very slightly, like ink on paper.
    const double grain = 8 * std::min(1.0, 6 * s);
    c.r += grain * (hashUnit(x, y, 231) - 0.5);
    c.g += grain * (hashUnit(x, y, 241) - 0.5);
    c.b += grain * (hashUnit(x, y, 251) - 0.5);
    return c;
}

// The letters' own colour at x, y: down the letters indigo to crimson, a
// little redder towards the right, lit from the upper left.
Rgb letterAt(const Title &t, int x, int y)
{
    // Light from the upper left, towards the viewer.
    const double lx = -0.45, ly = -0.65, lz = 0.62;
    const Rgb base =
        letterColour((y + 0.5 - wave(x + 0.5) - t.top) / (t.bottom - t.top) + 0.06 * (x / double(Width) - 0.5));
    const double gx = (alphaAt(t.relief, x + 1, y) - alphaAt(t.relief, x - 1, y)) * 2.2;
    const double gy = (alphaAt(t.relief, x, y + 1) - alphaAt(t.relief, x, y - 1)) * 2.2;
    const double n = std::sqrt(gx * gx + gy * gy + 1);
    const double shade = (-gx * lx - gy * ly + lz) / n - lz; // 0 on the flat
    // A faint grain, as in ink.
    Rgb f{base.r + 8 * (hashUnit(x, y, 201) - 0.5), base.g + 8 * (hashUnit(x, y, 211) - 0.5),
          base.b + 8 * (hashUnit(x, y, 221) - 0.5)};
    if (shade > 0) {
        f.r = mix(f.r, 255, shade * 0.55);
        f.g = mix(f.g, 255, shade * 0.55);
        f.b = mix(f.b, 255, shade * 0.55);
    } else {
        f.r = mix(f.r, 0, -shade * 0.6);
        f.g = mix(f.g, 0, -shade * 0.6);
        f.b = mix(f.b, 0, -shade * 0.6);
    }
    return f;
}

// The title's shadow and letters over the panel, pixel by pixel.
void paintTitle(QImage &img, const QRect &panel, const Title &t)
{
    constexpr double shadowStrength = 0.66;
    for (int y = panel.top(); y <= panel.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = panel.left(); x <= panel.right(); ++x) {
            Rgb c{double(qRed(line[x])), double(qGreen(line[x])), double(qBlue(line[x]))};
            c = underShadow(c, alphaAt(t.shadow, x, y) * shadowStrength, x, y);
            const double a = alphaAt(t.letters, x, y);
            if (a > 0) {
                const Rgb f = letterAt(t, x, y);
                c = Rgb{mix(c.r, f.r, a), mix(c.g, f.g, a), mix(c.b, f.b, a)};
            }
            line[x] = qRgb(int(std::lround(c.r)), int(std::lround(c.g)), int(std::lround(c.b)));
        }
    }
}

} // namespace

QImage paintMenuBanner(const Fonts &fonts)
{
    QImage img(Width, Height, QImage::Format_RGB32);
    const QRect panel = paintPanel(img);
    paintTitle(img, panel, shapeTitle(fonts));
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    return img;
}

} // namespace artgen
