// Fonts named by the layouts, and their stand-ins where the system lacks them.
#pragma once

#include "toolkit/geometry.h"
#include "toolkit/layout.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace vd::tk {

// Layout font sizes are points at 96 dpi, like every other layout measure:
// 15.75 pt is 21 px at 96 dpi, 31.5 px at 144.
int namedPixelSize(double points, int dpi = StandardDpi);

// A family that can take the place of a named one, and its scale: stand-in
// pixels per pixel of the named font, so that the text takes the room it
// takes in the named font.
struct StandIn {
    std::string_view family;
    double scale = 1;
};

// The stand-ins of a named family, in order of preference (the name matched
// without regard to case); empty for names that have none.
std::span<const StandIn> standInsFor(std::string_view named);

// The stand-in the Qt program carries in itself (Loma bold, its licence
// beside it in toolkit/faces): where the system lacks Loma, whatever other
// Thai face it has or none, it adds its own copy for the run, and the
// windows look the same as with Loma installed. (Every Windows has Thai
// faces of its own, so Velodane.exe carries none and stays small.)
inline constexpr std::string_view CarriedFamily = "Loma";

// What the user is told where not even the carried face could be added:
// every face the layouts want that is missing (the named ones and the
// carried stand-in), in Thai, then in English.
// With `carried`, the carried face was added and draws the text instead.
std::string missingFacesWarning(const std::function<bool(const std::string &family)> &installed, bool carried = false);

// How a layout font is drawn on this system.
struct FontChoice {
    std::string family;   // the family drawn; empty: the toolkit's default font
    int pixelSize = 0;    // pixels at the dpi asked for; 0: the default size
    bool standIn = false; // a stand-in for the named family
    bool missing = false; // neither the named family nor any stand-in is installed
};

using FamilyInstalled = std::function<bool(const std::string &family)>;

// The named family at its own size where the system has it; otherwise the
// first installed stand-in, at its fraction of the named size. Where no
// stand-in is installed either, the first one is asked for all the same
// (the system's own font matching then picks what it has).
FontChoice chooseFont(const Font &font, const FamilyInstalled &installed, int dpi = StandardDpi);

} // namespace vd::tk
