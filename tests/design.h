// Expected values written from the design, independently of the program's layouts (src/forms): a wrong layout fails.
// The two windows as designed: sizes and places in twips, colours and focus
// orders, written once for the look tests of every toolkit. Plain C++ with
// no toolkit type, so that a checker of screenshots can include it too.
// Nothing here is taken from the program: these are the figures it must meet.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vd::design {

// 15 twips make a pixel at 96 dots per inch.
inline constexpr int TwipsPerPixel = 15;

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend constexpr bool operator==(const Rgb &, const Rgb &) = default;
};

// A rectangle in twips, in the containing window or frame.
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
};

// A rectangle in pixels at 96 dpi; right and bottom are one past the last.
struct Pixels {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const Pixels &, const Pixels &) = default;
};

// Twips as pixels at 96 dpi, the edges rounded so that neighbours share them.
constexpr int toPixels(int twips)
{
    return (2 * twips + TwipsPerPixel) / (2 * TwipsPerPixel); // to the nearest, halves up (twips >= 0)
}
constexpr Pixels toPixels(const Twips &t)
{
    return {toPixels(t.left), toPixels(t.top), toPixels(t.right()) - toPixels(t.left),
            toPixels(t.bottom()) - toPixels(t.top)};
}

inline constexpr Rgb Pink{255, 192, 255};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Magenta{255, 0, 255};
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb LightGreen{192, 255, 192};
inline constexpr Rgb LightOrange{255, 192, 128};

inline std::string commandName(int n)
{
    return "Command" + std::to_string(n);
}

// The intro window, Form1: the picture with the two buttons over its bottom
// corners; its background is the platform's button face.
namespace intro {
inline constexpr int Width = 8205; // 547 x 355 px
inline constexpr int Height = 5325;
inline constexpr Twips Picture{0, 0, 8175, 5295};          // Image1, 545 x 353 px
inline constexpr Twips ExitButton{10, 4650, 2500, 640};    // Command1
inline constexpr Twips EnterButton{5665, 4650, 2500, 640}; // Command2
inline constexpr Rgb ExitColour = Red;
inline constexpr Rgb EnterColour = LightGreen;
inline constexpr std::array<const char *, 2> FocusOrder{"Command1", "Command2"};
} // namespace intro

// The menu window, Form2.
namespace menu {
inline constexpr int Width = 10500; // 700 x 474 px
inline constexpr int Height = 7110;
inline constexpr Rgb Background = Pink;

// The block of groups 1 to 60: six columns of ten rows, numbered down the
// columns; top, height and colour depend on the row alone.
struct Row {
    int top;
    int height;
    Rgb colour;
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
inline constexpr std::array<int, 6> ColumnLefts{360, 1860, 3360, 4860, 6360, 7860};
inline constexpr int ColumnWidth = 1500;
inline constexpr Twips Block{360, 360, 9000, 4140}; // 600 x 276 px

// Groups 61 and 62: a narrower column against the block's right edge.
inline constexpr Twips Group61{9360, 360, 800, 2070};
inline constexpr Twips Group62{9360, 2430, 800, 2070};
inline constexpr Rgb TallColour = Magenta;

inline constexpr Twips Frame{0, 0, 10500, 6255};          // Frame1, the window's pink
inline constexpr Twips CaptionLine{840, 5700, 1575, 300}; // Label1, 105 x 20 px
inline constexpr Rgb CaptionLineColour = LightOrange;
inline constexpr Twips Banner{360, 4560, 9800, 1575};     // Image1, 653 x 105 px
inline constexpr Twips BackButton{0, 6255, 5079, 800};    // Command63
inline constexpr Twips ExitButton{5400, 6255, 5079, 800}; // Command64
inline constexpr int BackExitGap = 321;                   // from 5079 to 5400
inline constexpr Rgb BackColour = Green;
inline constexpr Rgb ExitColour = Red;

// The buttons of groups 1 to 62.
constexpr Twips group(int n)
{
    if (n == 61)
        return Group61;
    if (n == 62)
        return Group62;
    const Row &row = Rows[static_cast<std::size_t>((n - 1) % 10)];
    return {ColumnLefts[static_cast<std::size_t>((n - 1) / 10)], row.top, ColumnWidth, row.height};
}
constexpr Rgb groupColour(int n)
{
    return n > 60 ? TallColour : Rows[static_cast<std::size_t>((n - 1) % 10)].colour;
}

// Focus order: Command1 to Command64, each button by its number; the
// first holds the focus when the window is shown.
inline constexpr int FocusFirst = 1;
inline constexpr int FocusLast = 64;
} // namespace menu

// The pixel figures the design states beside its twips.
static_assert(toPixels(intro::Width) == 547 && toPixels(intro::Height) == 355);
static_assert(toPixels(intro::Picture) == Pixels{0, 0, 545, 353});
static_assert(toPixels(menu::Width) == 700 && toPixels(menu::Height) == 474);
static_assert(toPixels(menu::Block) == Pixels{24, 24, 600, 276});
static_assert(toPixels(menu::CaptionLine) == Pixels{56, 380, 105, 20});
static_assert(toPixels(menu::Banner).width == 653 && toPixels(menu::Banner).height == 105);

} // namespace vd::design
