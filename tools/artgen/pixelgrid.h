// Icon drawings kept as text: one character per pixel, with a legend that
// maps characters to the sixteen VGA colours and one character to
// "transparent".
#pragma once

#include <QRgb>
#include <QString>

#include <array>
#include <vector>

namespace artgen {

// The standard 16-colour VGA palette in its usual index order.
const std::array<QRgb, 16> &vgaPalette();

struct IconImage {
    int size = 0;                  // width and height
    std::vector<int> index;        // palette index per pixel, row by row from the top
    std::vector<bool> transparent; // mask: true where the pixel is transparent
};

struct IconDrawing {
    std::vector<IconImage> images; // in file order: largest first
};

// Reads a grid file; throws std::runtime_error naming the file and line on
// any fault (unknown character, ragged row, colour not in the palette...).
IconDrawing readPixelGrid(const QString &path);

} // namespace artgen
