// Writes uncompressed 24-bit Windows bitmaps.
#pragma once

#include <QByteArray>
#include <QImage>

namespace artgen {

// BITMAPFILEHEADER + BITMAPINFOHEADER (BI_RGB, no palette), rows bottom-up,
// blue-green-red, each row padded to four bytes; 96 dots per inch.
QByteArray encodeBmp24(const QImage &image);

} // namespace artgen
