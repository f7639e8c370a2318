// INTERIM: the design's expected values for the Windows look check, until
// the shared header of the look tests takes their place.
#pragma once

namespace design {

struct Rgb {
    unsigned char r, g, b;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};
struct Rect {
    int left, top, width, height;
};

inline constexpr Rgb Pink{255, 192, 255}, Red{255, 0, 0}, White{255, 255, 255}, Blue{0, 0, 255},
    Magenta{255, 0, 255}, Green{0, 128, 0}, LightGreen{192, 255, 192}, LightOrange{255, 192, 128}, Black{0, 0, 0};

inline constexpr int IntroWidth = 8205, IntroHeight = 5325;
inline constexpr Rect IntroPicture{0, 0, 8175, 5295};
struct IntroButton {
    const char *name;
    Rect rect;
    Rgb face;
};
inline constexpr IntroButton IntroButtons[] = {{"Command1", {10, 4650, 2500, 640}, Red},
                                               {"Command2", {5665, 4650, 2500, 640}, LightGreen}};

inline constexpr int MenuWidth = 10500, MenuHeight = 7110;
inline constexpr int BlockLeft = 360, BlockTop = 360, BlockBottom = 4500;
struct Row {
    int top, height;
    Rgb colour;
};
inline constexpr Row Rows[10] = {{360, 345, Red},    {705, 345, Red},    {1050, 345, White}, {1395, 345, White},
                                 {1740, 690, Blue},  {2430, 690, Blue},  {3120, 345, White}, {3465, 345, White},
                                 {3810, 345, Red},   {4155, 345, Red}};
inline constexpr int ColumnLefts[6] = {360, 1860, 3360, 4860, 6360, 7860};
inline constexpr Rect groupRect(int n)
{
    return {ColumnLefts[(n - 1) / 10], Rows[(n - 1) % 10].top, 1500, Rows[(n - 1) % 10].height};
}
inline constexpr Rgb groupColour(int n)
{
    return Rows[(n - 1) % 10].colour;
}
inline constexpr Rect Group61{9360, 360, 800, 2070}, Group62{9360, 2430, 800, 2070};
inline constexpr Rect Banner{360, 4560, 9800, 1575}, CaptionLine{840, 5700, 1575, 300};
inline constexpr Rect Back{0, 6255, 5079, 800}, Exit{5400, 6255, 5079, 800};

} // namespace design
