// Readers for the artwork file formats, written for the tests and kept apart
// from the generator: they check the bytes against the formats' own rules.
#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>

#include <vector>

namespace artwork_test {

struct IcoImage {
    // Directory entry.
    int entryWidth = 0, entryHeight = 0, entryColours = 0, entryPlanes = 0, entryBits = 0;
    // BITMAPINFOHEADER.
    int headerSize = 0, width = 0, height = 0, planes = 0, bits = 0;
    quint32 compression = 0, clrUsed = 0;
    std::vector<QRgb> palette; // as stored, alpha byte dropped
    std::vector<int> index;    // colour index per pixel, top row first
    std::vector<bool> masked;  // AND-mask bit per pixel (true = transparent)

    int size() const { return width; }
    QRgb colour(int x, int y) const { return palette.at(std::size_t(index.at(std::size_t(y * width + x)))); }
    bool transparent(int x, int y) const { return masked.at(std::size_t(y * width + x)); }
};

struct IcoFile {
    QString error; // empty when the file parsed
    int reserved = -1, type = -1;
    std::vector<IcoImage> images;
};
IcoFile parseIco(const QByteArray &bytes);

struct BmpFile {
    QString error;
    quint32 fileSizeField = 0, pixelOffset = 0, headerSize = 0, compression = 0, clrUsed = 0, imageSize = 0;
    int width = 0, height = 0, planes = 0, bits = 0;
    std::vector<QRgb> pixels; // top row first
    QRgb at(int x, int y) const { return pixels.at(std::size_t(y * width + x)); }
};
BmpFile parseBmp(const QByteArray &bytes);

struct JpegFile {
    QString error;
    bool startsWithSoi = false, endsWithEoi = false;
    bool jfifFirst = false;        // APP0 "JFIF" right after SOI
    std::vector<int> frameMarkers; // every SOFn marker met before the first scan
    int precision = 0, width = 0, height = 0, components = 0;
    bool reachedScan = false;
};
JpegFile parseJpeg(const QByteArray &bytes);

// The sixteen VGA colours.
const std::vector<QRgb> &vgaColours();

} // namespace artwork_test
