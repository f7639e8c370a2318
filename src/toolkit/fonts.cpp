#include "toolkit/fonts.h"

#include "common/names.h"

#include <array>
#include <cmath>
#include <vector>

namespace vd::tk {

namespace {

// The menu window is drawn in KodchiangUPC and AngsanaUPC, Thai faces that
// draw their letters small for their point size: KodchiangUPC at 15.75 pt
// (21 px) sets "กลุ่มชุดดินที่ 60" on one line in a 100 x 23 px group
// button, where the TLWG faces at 21 px bold need 129 to 163 px by 33 to
// 42 px. Debian has neither UPC face (fontconfig sends AngsanaUPC to Kinnari
// at full size and KodchiangUPC to a Latin face), so both are drawn in Loma
// at a fixed fraction of the named pixel size, rounded to whole pixels:
//
//   named size   15.75 pt 21 px   17.25 pt 23 px   20.25 pt 27 px   12 pt 16 px
//   Loma bold        13 px            14 px            17 px           10 px
//
// Why Loma: the buttons are only 23 px tall and a Thai caption with stacked
// marks ("ลุ่", "ที่") is much taller than its letters. Loma's stack is
// compact (ink of "กลุ่มชุดดินที่ 7" 1.29 em tall, against 1.42 to 1.60 em
// for Kinnari, Norasi, Laksaman, Garuda, Umpush and Waree), so it can be
// drawn larger than those; of the two as compact, Purisa is a handwriting
// face and Sawasdee's bold draws thin and faint at 13 px. Loma bold stays
// legible at these sizes, its looped letters close to the UPC faces'.
//
// Why 0.62: measured in the windows, Loma bold, hinted as on the screen,
// ink counted where a pixel is a quarter of the way to the text colour:
//   - 13 px: the widest of "กลุ่มชุดดินที่ 1" to "... 60" is 85 x 17 px of
//     ink, inside the 96 x 19 px face within a group button's edge;
//   - 14 px (Command6, Command7): 84 x 18 and 84 x 19 px, still inside; at
//     15 px (a scale above 0.63) the stack is 20 px and would not be;
//   - 17 px (Command61, Command62): "ที่   61" is 47.3 px wide, more than
//     the 45 px line of the 53 px wide buttons, so their captions break at
//     every run of blanks and read one piece per line, five lines 27 px
//     apart, 29 x 121 px of ink in the 49 x 134 px face; at 16 px (a scale
//     below 0.611) it would be 44.5 px and "ที่" and "61" would share a line;
//   - 10 px (the caption line): the names of groups 1 to 62 at most
//     66 x 14 px, inside the 105 x 20 px box;
//   - 13 px with the 32 px face picture (Command63, Command64): "กลับหน้าหลัก"
//     71 x 11 px and "ออกจากโปรแกรม" 98 x 10 px, picture and caption together
//     45 px tall in the 49 px face.
// So the UPC faces draw about 38 % smaller per pixel than Loma, and the text
// takes the room it takes in the named faces.
constexpr double LomaScale = 0.62;

// On Windows without the UPC faces (they left Windows' standard set), the
// Thai faces every Windows has: Leelawadee UI (Windows 8 and later), then
// Tahoma. Their Thai letters are drawn about as large per pixel as Loma's,
// so they take its scale; unlike Loma's, that scale has not been measured in
// the windows, since neither face can be installed on the build machine.
constexpr StandIn Loma{"Loma", LomaScale};
constexpr StandIn LeelawadeeUi{"Leelawadee UI", LomaScale};
constexpr StandIn Tahoma{"Tahoma", LomaScale};

struct Substitute {
    std::string_view named;
    std::array<StandIn, 3> standIns;
};
constexpr std::array<Substitute, 2> Substitutes{{
    {"KodchiangUPC", {Loma, LeelawadeeUi, Tahoma}},
    {"AngsanaUPC", {Loma, LeelawadeeUi, Tahoma}},
}};

} // namespace

std::string missingFacesWarning(const std::function<bool(const std::string &family)> &installed, bool carried)
{
    std::vector<std::string> missing;
    for (const Substitute &s : Substitutes)
        if (!installed(std::string(s.named)))
            missing.emplace_back(s.named);
    if (!installed(std::string(CarriedFamily)))
        missing.emplace_back(CarriedFamily);
    if (missing.empty())
        return {};
    auto list = [&missing](std::string_view conjunction) {
        std::string text;
        for (std::size_t i = 0; i < missing.size(); ++i) {
            if (i > 0)
                text += i + 1 == missing.size() ? std::string(conjunction) : std::string(", ");
            text += missing[i];
        }
        return text;
    };
    if (carried)
        return "velodane: ไม่มีแบบอักษร " + list(" และ ") +
               " ในระบบ จึงแสดงข้อความภาษาไทยด้วย Loma ที่มากับโปรแกรม (ติดตั้งแบบอักษรไทย: fonts-thai-tlwg)\n"
               "velodane: the fonts " +
               list(" and ") +
               " are not installed; Thai text is drawn in the program's own Loma (install the Thai fonts: "
               "fonts-thai-tlwg)";
    return "velodane: ไม่มีแบบอักษร " + list(" และ ") +
           " ในระบบ และเพิ่มแบบอักษร Loma ที่มากับโปรแกรมไม่ได้ ข้อความภาษาไทยอาจแสดงไม่ครบหรือล้นปุ่ม "
           "(ติดตั้งแบบอักษรไทย: fonts-thai-tlwg)\n"
           "velodane: the fonts " +
           list(" and ") +
           " are not installed, and the program's own Loma could not be added; Thai text may not show whole or may "
           "not fit its controls (install the Thai fonts: fonts-thai-tlwg)";
}

int namedPixelSize(double points, int dpi)
{
    return static_cast<int>(std::lround(points * dpi / 72.0));
}

std::span<const StandIn> standInsFor(std::string_view named)
{
    for (const Substitute &s : Substitutes)
        if (sameName(s.named, named))
            return s.standIns;
    return {};
}

FontChoice chooseFont(const Font &font, const FamilyInstalled &installed, int dpi)
{
    FontChoice choice;
    choice.family = font.family;
    const int named = font.points > 0 ? namedPixelSize(font.points, dpi) : 0;
    choice.pixelSize = named;
    if (choice.family.empty() || installed(choice.family))
        return choice;
    const std::span<const StandIn> standIns = standInsFor(choice.family);
    if (standIns.empty())
        return choice; // left to the system's own font matching
    const StandIn *use = &standIns.front();
    choice.missing = true;
    for (const StandIn &s : standIns) {
        if (installed(std::string(s.family))) {
            use = &s;
            choice.missing = false;
            break;
        }
    }
    choice.family = std::string(use->family);
    choice.pixelSize = static_cast<int>(std::lround(named * use->scale));
    choice.standIn = true;
    return choice;
}

} // namespace vd::tk
