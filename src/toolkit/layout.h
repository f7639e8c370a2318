// Layout descriptions from which the toolkit builds windows and controls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vd::tk {

// Positions and sizes are in twips, 1/1440 inch: 15 twips make one pixel at 96 dpi.
inline constexpr int TwipsPerPixel = 15;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const Rect &, const Rect &) = default;
};

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// An RGB triple, or a named platform colour meaning the platform's current
// colour for that role.
struct Colour {
    enum class Role { Explicit, ButtonFace, ButtonText };
    Role role = Role::ButtonFace;
    Rgb rgb{};

    static constexpr Colour of(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {Role::Explicit, {r, g, b}}; }
    static constexpr Colour of(Rgb rgb) { return {Role::Explicit, rgb}; }
    static constexpr Colour buttonFace() { return {Role::ButtonFace, {}}; }
    static constexpr Colour buttonText() { return {Role::ButtonText, {}}; }
    friend bool operator==(const Colour &, const Colour &) = default;
};

inline constexpr int ThaiCharset = 222;

struct Font {
    std::string family; // empty: the toolkit's default font
    double points = 0;
    int weight = 700;
    int charset = ThaiCharset;
    friend bool operator==(const Font &, const Font &) = default;
};

enum class Kind { PushButton, Frame, Label, Picture };

struct ControlLayout {
    std::string name;
    Kind kind = Kind::PushButton;
    Rect rect; // in the containing window or frame
    Colour background = Colour::buttonFace();
    Colour foreground = Colour::buttonText();
    std::string caption; // UTF-8; blanks are significant
    std::string tooltip;
    Font font;
    std::string facePicture; // image names; empty: none
    std::string pointerImage;
    std::string picture; // picture control: stretched to the rectangle
    // What a screen reader names the control, where its caption (or, for a
    // button without one, its tooltip) would not do: a picture is named by
    // the words painted on it, a caption spread out by blanks by its words.
    std::string accessibleName;
    std::vector<ControlLayout> children; // frames: topmost first
};

struct WindowLayout {
    std::string className; // "Form1", "Form2"
    std::string title;
    std::string accessibleName; // what a screen reader calls the window
    int width = 0;              // client area, twips
    int height = 0;
    Colour background = Colour::buttonFace();
    std::string windowIcon;              // empty: explicitly no icon
    std::vector<ControlLayout> controls; // topmost first
    std::vector<std::string> focusOrder; // the controls that take the focus, in order
};

} // namespace vd::tk
