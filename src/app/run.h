// The program from start to end on a toolkit, with the automation classes of
// the machine it runs on.
#pragma once

#include "automation/automation.h"
#include "toolkit/toolkit.h"

namespace vd::app {

// Starts the program on its intro window, runs the toolkit's event loop and
// returns the exit status: 0 when the program ended (an exit button, the last
// window closed by the system), 1 when it could not start (the user was told
// why).
int run(tk::Toolkit &toolkit, automation::Registry &classes);

} // namespace vd::app
