// What the driver prints: one table of medians, each beside the same figure
// for the floor, the goal and whether it was met; and the platform the
// processes ran on.
#pragma once

#include "driver.h"
#include "process.h"

#include <string>

namespace vd::bench {

std::string table(const Figures &f, const Options &o);
std::string platformDescription(const Environment &env);
// Whether programs started with that environment show their windows on an X
// display (where MapNotify can be seen from outside).
bool mapsWindows(const Environment &env);

} // namespace vd::bench
