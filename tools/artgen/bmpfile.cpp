#include "bmpfile.h"

#include "littleendian.h"

namespace artgen {

QByteArray encodeBmp24(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    const int stride = ((w * 3 + 3) / 4) * 4;
    const quint32 pixelBytes = quint32(stride) * quint32(h);
    constexpr quint32 headers = 14 + 40;
    constexpr quint32 dotsPerMetre = 3780; // 96 dpi

    QByteArray out;
    out.append("BM", 2);
    put32(out, headers + pixelBytes);
    put16(out, 0);
    put16(out, 0);
    put32(out, headers);

    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(h)); // positive: bottom-up
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // BI_RGB
    put32(out, pixelBytes);
    put32(out, dotsPerMetre);
    put32(out, dotsPerMetre);
    put32(out, 0);
    put32(out, 0);

    for (int y = h - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            row[3 * x] = char(qBlue(line[x]));
            row[3 * x + 1] = char(qGreen(line[x]));
            row[3 * x + 2] = char(qRed(line[x]));
        }
        out += row;
    }
    return out;
}

} // namespace artgen
