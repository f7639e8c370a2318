// Writes Windows icon files with 4-bit images (Qt's own writer only writes
// 32-bit ones).
#pragma once

#include "pixelgrid.h"

#include <QByteArray>

namespace artgen {

// An .ico with one 4 bits-per-pixel BITMAPINFOHEADER image per drawing image:
// the full VGA palette, the colour bits bottom-up, then the 1-bit AND mask.
// Transparent pixels are stored as black with their mask bit set.
QByteArray encodeIco(const IconDrawing &drawing);

} // namespace artgen
