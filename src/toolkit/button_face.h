// What a push button in graphical style shows, toolkit-neutral: the classic
// two-pixel edge (raised, or sunken while pressed), the face picture centred
// above the caption, the caption wrapped only at blanks and each line
// centred, the dotted focus rectangle; and the etched outline of a frame.
// A toolkit measures and draws the text; everything else is here.
#pragma once

#include "toolkit/geometry.h"
#include "toolkit/layout.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vd::tk::face {

// The 3-D edge, on every side.
inline constexpr int Edge = 2;
// Between the edge and the caption's lines, left and right: the lines wrap
// at the width that remains.
inline constexpr int TextMargin = 2;
// Between the face picture and the caption below it.
inline constexpr int PictureGap = 2;

// Edge colours of the classic look, the same on every face colour.
inline constexpr Rgb Hilight{255, 255, 255};
inline constexpr Rgb Light{227, 227, 227};
inline constexpr Rgb Shadow{128, 128, 128};
inline constexpr Rgb DarkShadow{0, 0, 0};

// A rectangle filled with one colour; a recipe is a list of them, filled in
// order, in whole pixels (which stay whole at any device pixel ratio).
struct Fill {
    PixelRect rect;
    Rgb colour;
};

// The button's edge, from its outer pixels inwards.
std::vector<Fill> buttonEdge(int width, int height, bool sunken);

// Inside the edge: where picture and caption go. Pressed, the content moves
// one pixel down and to the right, still clipped to this rectangle.
PixelRect faceRect(int width, int height);

// The width a caption's lines wrap at.
int wrapWidth(int width);

// The pixels of the focus rectangle, one pixel inside the edge: every other
// pixel, each to be inverted.
std::vector<PixelPoint> focusDots(int width, int height);

// A frame's single outline: an etched line, a shadow line with a highlight
// line inside it at the top and left and outside it at the bottom and right.
std::vector<Fill> frameOutline(int width, int height);

// The advance width, in pixels, of a piece of text in the button's font.
using MeasureText = std::function<double(std::string_view utf8)>;

// Greedy wrapping at blanks: each line takes the next pieces of the caption,
// with the blanks between them, while they fit the width. A piece wider than
// the width stands alone on its line; blanks at the start and end of a line
// are dropped. Thai words are never broken: only blanks break a line.
std::vector<std::string> wrapAtBlanks(std::string_view text, const MeasureText &advance, double width);

// The ink of a wrapped caption as the font draws it (marks in their stacked
// places), measured by the toolkit.
struct CaptionInk {
    struct Line {
        double left = 0; // from the pen's start
        double width = 0;
    };
    std::vector<Line> lines;
    int top = 0; // of all lines, from the first line's baseline (negative: above it)
    int bottom = 0;
    int pitch = 0; // from one line's baseline to the next
};

struct Placement {
    PixelPoint picture;          // top-left of the face picture
    int baseline = 0;            // of the first line
    std::vector<int> lineStarts; // the pen's start of each line
};

// The picture and the caption's ink, one above the other, centred together
// in the face: what a person sees is centred, whatever room the font keeps
// above and below its letters. Each line's ink is centred across on its
// own, since digits such as "1" stand well inside their advance. Without a
// picture, a caption whose ink leaves an even number of spare rows stands
// one row above the middle, so that its stacked marks have room.
// `pictureWidth` and `pictureHeight` are 0 without a picture. While the
// button is pressed (sunken) its content moves one pixel down and right.
Placement place(const PixelRect &face, int pictureWidth, int pictureHeight, const CaptionInk &ink, bool sunken = false);

} // namespace vd::tk::face
