// What a screen reader is told of our windows and controls on Qt Widgets.
#pragma once

namespace vd::qt {

// Tells Qt's accessibility what our own widgets are; once per run.
void installAccessibility();

} // namespace vd::qt
