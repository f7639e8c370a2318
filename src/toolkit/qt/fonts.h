// Fonts named by the layouts, and their stand-ins where the system lacks them.
#pragma once

#include "toolkit/layout.h"

#include <QFont>

namespace vd::qt {

// The font to draw a layout font with. The Thai UPC fonts draw their letters
// about 30 % smaller per point than other Thai fonts, so a stand-in is sized
// to take the space the named font would.
QFont fontFor(const tk::Font &font);

} // namespace vd::qt
