#include "icofile.h"

#include "littleendian.h"

#include <stdexcept>

namespace artgen {

namespace {

constexpr int HeaderBytes = 40;
constexpr int PaletteBytes = 16 * 4;

int colourStride(int size)
{
    return ((size * 4 + 31) / 32) * 4;
}
int maskStride(int size)
{
    return ((size + 31) / 32) * 4;
}

QByteArray encodeImage(const IconImage &img)
{
    const int n = img.size;
    const int colourBytes = colourStride(n) * n;
    const int maskBytes = maskStride(n) * n;

    QByteArray out;
    put32(out, HeaderBytes);
    put32(out, quint32(n));
    put32(out, quint32(2 * n)); // colour bits and mask together
    put16(out, 1);              // planes
    put16(out, 4);              // bits per pixel
    put32(out, 0);              // BI_RGB
    put32(out, quint32(colourBytes + maskBytes));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0); // all 16 colours used
    put32(out, 0);

    for (QRgb c : vgaPalette()) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }

    for (int y = n - 1; y >= 0; --y) {
        QByteArray row(colourStride(n), '\0');
        for (int x = 0; x < n; ++x) {
            const int i = y * n + x;
            const int index = img.transparent[i] ? 0 : img.index[i];
            row[x / 2] = char(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
        }
        out += row;
    }
    for (int y = n - 1; y >= 0; --y) {
        QByteArray row(maskStride(n), '\0');
        for (int x = 0; x < n; ++x)
            if (img.transparent[y * n + x])
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out += row;
    }
    return out;
}

} // namespace

QByteArray encodeIco(const IconDrawing &drawing)
{
    const auto count = drawing.images.size();
    if (count == 0 || count > 16)
        throw std::runtime_error("an icon needs between 1 and 16 images");

    std::vector<QByteArray> bodies;
    for (const IconImage &img : drawing.images) {
        if (img.size > 255)
            throw std::runtime_error("icon images larger than 255 pixels are not written");
        bodies.push_back(encodeImage(img));
    }

    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // icon, not cursor
    put16(out, quint16(count));
    quint32 offset = quint32(6 + 16 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const int n = drawing.images[i].size;
        out.append(char(n));
        out.append(char(n));
        out.append(char(16)); // colours
        out.append('\0');
        put16(out, 1); // planes
        put16(out, 4); // bits per pixel
        put32(out, quint32(bodies[i].size()));
        put32(out, offset);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray &b : bodies)
        out += b;
    return out;
}

} // namespace artgen
