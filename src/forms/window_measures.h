// The two windows' places, sizes and colours as plain numbers: the one home
// of each. The layouts (intro/form1.cpp, menu/form2.cpp) are built from
// them; the artwork generator (the panels painted under the intro window's
// buttons) and the benchmark's floor windows take them from here too.
// Plain C++: the layouts' own rectangle and colour types (toolkit/layout.h,
// standard library only), so that tools/ and bench/ may include it.
#pragma once

#include "toolkit/layout.h"

#include <array>

namespace vd::forms::measures {

// Places and sizes are in twips, 15 to the pixel at 96 dpi.
using tk::TwipsPerPixel;

// A rectangle in twips, in the containing window or frame.
using Twips = tk::Rect;
using Rgb = tk::Rgb;

// The intro window, Form1.
namespace intro {

inline constexpr int Width = 8205; // client area
inline constexpr int Height = 5325;

// Image1: IntroPicture is stretched over it.
inline constexpr Twips Picture{0, 0, 8175, 5295};
// Command1 and Command2 stand on the picture's bottom corners, over the
// panels painted there.
inline constexpr Twips ExitButton{10, 4650, 2500, 640};
inline constexpr Twips EnterButton{5665, 4650, 2500, 640};
inline constexpr Rgb ExitBackground{255, 0, 0};
inline constexpr Rgb EnterBackground{192, 255, 192};

} // namespace intro

// The menu window, Form2.
namespace menu {

inline constexpr Rgb Pink{255, 192, 255};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Magenta{255, 0, 255};
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb LightOrange{255, 192, 128};

inline constexpr int Width = 10500; // client area
inline constexpr int Height = 7110;
inline constexpr Rgb Background = Pink;

// Frame1 and what it holds: the group buttons, the caption line Label1 and
// the banner Image1.
inline constexpr Twips Frame{0, 0, 10500, 6255};
inline constexpr Rgb FrameBackground = Pink;
inline constexpr Twips CaptionLine{840, 5700, 1575, 300};
inline constexpr Rgb CaptionLineBackground = LightOrange;
inline constexpr Twips Banner{360, 4560, 9800, 1575};

// Below the frame: Command63 (back to the intro window) and Command64 (exit).
inline constexpr Twips BackButton{0, 6255, 5079, 800};
inline constexpr Rgb BackBackground = Green;
inline constexpr Twips ExitButton{5400, 6255, 5079, 800};
inline constexpr Rgb ExitBackground = Red;

// The block of groups 1 to 60: six columns of ten, numbered down the columns.
inline constexpr int BlockLeft = 360;
inline constexpr int ColumnWidth = 1500;

struct Row {
    int top;
    int height;
    Rgb background;
};
inline constexpr std::array<Row, 10> Rows{{
    {360, 345, Red},
    {705, 345, Red},
    {1050, 345, White},
    {1395, 345, White},
    {1740, 690, Blue},
    {2430, 690, Blue},
    {3120, 345, White},
    {3465, 345, White},
    {3810, 345, Red},
    {4155, 345, Red},
}};

// Groups 61 and 62: a narrower seventh column, each button as tall as five rows.
inline constexpr Twips Group61{9360, 360, 800, 2070};
inline constexpr Twips Group62{9360, 2430, 800, 2070};
inline constexpr Rgb Groups61And62Background = Magenta;

} // namespace menu

} // namespace vd::forms::measures
