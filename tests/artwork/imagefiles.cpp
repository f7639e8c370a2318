#include "imagefiles.h"

namespace artwork_test {

namespace {

// Little-endian reads that fail cleanly past the end.
struct Reader {
    const QByteArray &b;
    bool ok = true;
    quint32 u8(qsizetype at)
    {
        if (at < 0 || at >= b.size()) {
            ok = false;
            return 0;
        }
        return quint8(b[at]);
    }
    quint32 u16(qsizetype at) { return u8(at) | (u8(at + 1) << 8); }
    quint32 u32(qsizetype at) { return u16(at) | (u16(at + 2) << 16); }
    qint32 s32(qsizetype at) { return qint32(u32(at)); }
    quint32 be16(qsizetype at) { return (u8(at) << 8) | u8(at + 1); }
};

} // namespace

const std::vector<QRgb> &vgaColours()
{
    static const std::vector<QRgb> colours{
        0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFF808080,
        0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
    };
    return colours;
}

IcoFile parseIco(const QByteArray &bytes)
{
    IcoFile ico;
    Reader r{bytes};
    ico.reserved = int(r.u16(0));
    ico.type = int(r.u16(2));
    const int count = int(r.u16(4));
    if (!r.ok) {
        ico.error = QStringLiteral("shorter than an icon directory");
        return ico;
    }
    for (int i = 0; i < count; ++i) {
        const qsizetype e = 6 + 16 * i;
        IcoImage img;
        img.entryWidth = int(r.u8(e)) == 0 ? 256 : int(r.u8(e));
        img.entryHeight = int(r.u8(e + 1)) == 0 ? 256 : int(r.u8(e + 1));
        img.entryColours = int(r.u8(e + 2));
        img.entryPlanes = int(r.u16(e + 4));
        img.entryBits = int(r.u16(e + 6));
        const quint32 length = r.u32(e + 8);
        const quint32 offset = r.u32(e + 12);
        if (!r.ok || qsizetype(offset) + qsizetype(length) > bytes.size()) {
            ico.error = QStringLiteral("image %1 lies outside the file").arg(i);
            return ico;
        }
        const qsizetype h = offset;
        img.headerSize = int(r.u32(h));
        img.width = r.s32(h + 4);
        img.height = r.s32(h + 8);
        img.planes = int(r.u16(h + 12));
        img.bits = int(r.u16(h + 14));
        img.compression = r.u32(h + 16);
        img.clrUsed = r.u32(h + 32);
        if (!r.ok || img.headerSize != 40 || img.bits != 4 || img.width <= 0 || img.width > 256 ||
            img.height != 2 * img.width) {
            ico.error = QStringLiteral("image %1 is not a 4-bit BITMAPINFOHEADER image with its mask").arg(i);
            return ico;
        }
        const int n = img.width;
        const int colours = img.clrUsed ? int(img.clrUsed) : 16;
        const qsizetype pal = h + img.headerSize;
        for (int c = 0; c < colours; ++c)
            img.palette.push_back(qRgb(int(r.u8(pal + 4 * c + 2)), int(r.u8(pal + 4 * c + 1)), int(r.u8(pal + 4 * c))));
        const qsizetype xorStart = pal + 4 * colours;
        const int xorStride = ((n * 4 + 31) / 32) * 4;
        const qsizetype andStart = xorStart + qsizetype(xorStride) * n;
        const int andStride = ((n + 31) / 32) * 4;
        if (andStart + qsizetype(andStride) * n > qsizetype(offset) + qsizetype(length)) {
            ico.error = QStringLiteral("image %1 is longer than its directory entry says").arg(i);
            return ico;
        }
        img.index.resize(std::size_t(n * n));
        img.masked.resize(std::size_t(n * n));
        for (int y = 0; y < n; ++y) {
            const int stored = n - 1 - y; // bottom-up
            for (int x = 0; x < n; ++x) {
                const quint32 byte = r.u8(xorStart + qsizetype(stored) * xorStride + x / 2);
                img.index[std::size_t(y * n + x)] = int(x % 2 == 0 ? byte >> 4 : byte & 0x0F);
                const quint32 m = r.u8(andStart + qsizetype(stored) * andStride + x / 8);
                img.masked[std::size_t(y * n + x)] = (m >> (7 - x % 8)) & 1;
            }
        }
        for (int v : img.index)
            if (v >= colours) {
                ico.error = QStringLiteral("image %1 uses a colour index past its palette").arg(i);
                return ico;
            }
        ico.images.push_back(img);
    }
    return ico;
}

BmpFile parseBmp(const QByteArray &bytes)
{
    BmpFile bmp;
    Reader r{bytes};
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        bmp.error = QStringLiteral("no BM header");
        return bmp;
    }
    bmp.fileSizeField = r.u32(2);
    bmp.pixelOffset = r.u32(10);
    bmp.headerSize = r.u32(14);
    bmp.width = r.s32(18);
    bmp.height = r.s32(22);
    bmp.planes = int(r.u16(26));
    bmp.bits = int(r.u16(28));
    bmp.compression = r.u32(30);
    bmp.imageSize = r.u32(34);
    bmp.clrUsed = r.u32(46);
    if (bmp.bits != 24 || bmp.width <= 0 || bmp.height == 0) {
        bmp.error = QStringLiteral("not a 24-bit bitmap");
        return bmp;
    }
    const int h = bmp.height < 0 ? -bmp.height : bmp.height;
    const int stride = ((bmp.width * 3 + 3) / 4) * 4;
    if (qsizetype(bmp.pixelOffset) + qsizetype(stride) * h > bytes.size()) {
        bmp.error = QStringLiteral("pixel rows run past the end of the file");
        return bmp;
    }
    bmp.pixels.resize(std::size_t(bmp.width) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        const int stored = bmp.height > 0 ? h - 1 - y : y;
        const qsizetype row = qsizetype(bmp.pixelOffset) + qsizetype(stored) * stride;
        for (int x = 0; x < bmp.width; ++x)
            bmp.pixels[std::size_t(y * bmp.width + x)] =
                qRgb(int(r.u8(row + 3 * x + 2)), int(r.u8(row + 3 * x + 1)), int(r.u8(row + 3 * x)));
    }
    bmp.height = h;
    return bmp;
}

JpegFile parseJpeg(const QByteArray &bytes)
{
    JpegFile jpg;
    Reader r{bytes};
    jpg.startsWithSoi = r.u8(0) == 0xFF && r.u8(1) == 0xD8;
    jpg.endsWithEoi = bytes.size() >= 2 && r.u8(bytes.size() - 2) == 0xFF && r.u8(bytes.size() - 1) == 0xD9;
    if (!jpg.startsWithSoi) {
        jpg.error = QStringLiteral("no SOI marker");
        return jpg;
    }
    qsizetype at = 2;
    bool first = true;
    while (at + 4 <= bytes.size()) {
        if (r.u8(at) != 0xFF) {
            jpg.error = QStringLiteral("no marker at byte %1").arg(at);
            return jpg;
        }
        const int marker = int(r.u8(at + 1));
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        const qsizetype length = qsizetype(r.be16(at + 2));
        if (length < 2 || at + 2 + length > bytes.size()) {
            jpg.error = QStringLiteral("segment at byte %1 runs past the end").arg(at);
            return jpg;
        }
        if (first)
            jpg.jfifFirst = marker == 0xE0 && bytes.mid(at + 4, 5) == QByteArray("JFIF\0", 5);
        first = false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            jpg.frameMarkers.push_back(marker);
            jpg.precision = int(r.u8(at + 4));
            jpg.height = int(r.be16(at + 5));
            jpg.width = int(r.be16(at + 7));
            jpg.components = int(r.u8(at + 9));
        }
        if (marker == 0xDA) {
            jpg.reachedScan = true;
            break;
        }
        at += 2 + length;
    }
    return jpg;
}

} // namespace artwork_test
