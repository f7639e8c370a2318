// Thai text on GDI: the layout fonts (or their stand-ins) at each window's
// dpi, and button captions wrapped at blanks with the ink of each line, as
// the system shapes and draws them (Uniscribe: stacked marks in place).
#pragma once

#include "toolkit/button_face.h"
#include "toolkit/layout.h"
#include "toolkit/win32/handles.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace vd::win32 {

// Whether a font family is installed, asked of the system.
bool familyInstalled(std::wstring_view family);

class Text {
public:
    // The font a layout font is drawn with at `dpi`: bold, Thai character
    // set. Kept for the run, shared by every window at that dpi.
    HFONT font(const tk::Font &font, int dpi);

    struct Caption {
        std::vector<std::wstring> lines;
        tk::face::CaptionInk ink;
        int ascent = 0; // from a line's top to its baseline
    };
    // A caption wrapped at blanks to `width` pixels in that font.
    const Caption &caption(HFONT font, const std::string &text, int width);

    // Draws one line with its top-left at (x, y).
    static void draw(HDC dc, const std::wstring &line, int x, int y);

    // Whether a family is installed, asked of the system once.
    bool installed(const std::string &family);

private:
    std::map<std::string, bool, std::less<>> installed_;
    std::map<std::tuple<std::string, int, int>, OwnedFont, std::less<>> fonts_;
    std::map<std::tuple<HFONT, std::string, int>, std::unique_ptr<Caption>, std::less<>> captions_;
};

} // namespace vd::win32
