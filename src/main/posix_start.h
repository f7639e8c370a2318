// What the program does on Linux before the toolkit starts: plain POSIX, no
// toolkit types, so that it can run before anything else.
#pragma once

#include <optional>
#include <string>

namespace vd::posix {

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that is
// closed, in that order, so that a file, a socket or the display connection
// opened later never takes the place of standard input, output or error (a
// program started with "2>&-" would otherwise write its warnings into
// whatever holds descriptor 2). Call it first in main. False when /dev/null
// can't be opened; the descriptors that were open are left as they were.
bool reopenStandardDescriptors() noexcept;

// The environment variables that preventUnaskedSideEffects() changed only
// for the toolkit's start, with the values they had: nothing when unset.
struct ToolkitStart {
    bool restore = false;
    std::optional<std::string> runtimeFolder;   // XDG_RUNTIME_DIR
    std::optional<std::string> temporaryFolder; // TMPDIR
};

// Keeps the toolkit from writing or starting anything the user didn't ask
// for; call it before the toolkit's application object is made, and
// toolkitStarted() right after.
//
// The runtime folder. Qt 6 looks into the per-user runtime folder while it
// starts (QStandardPaths::RuntimeLocation). When XDG_RUNTIME_DIR doesn't
// name a usable one (a folder of this user with mode 0700), Qt creates
// XDG_RUNTIME_DIR itself when it is missing, and else $TMPDIR/runtime-$USER
// (/tmp/runtime-$USER): a folder that outlives the program. So:
//   - a usable XDG_RUNTIME_DIR is left alone;
//   - else, when the session has a runtime folder (<sessionRuntimeRoot>/<uid>,
//     /run/user/<uid>, made by the login manager) that is usable, both Qt and
//     the programs we start are pointed at it;
//   - else, for the toolkit's start only, XDG_RUNTIME_DIR is unset and TMPDIR
//     is "/dev/null", under which no folder can be made: Qt says so on
//     standard error and goes on without a runtime folder. toolkitStarted()
//     puts both back, so that the viewer gets the user's own values.
//
// The session bus. With DBUS_SESSION_BUS_ADDRESS unset, libdbus (which Qt
// uses, first from the accessibility bridge when the first window is built)
// connects to $XDG_RUNTIME_DIR/bus when that socket exists and else
// "autolaunches" a bus: it runs "dbus-launch --autolaunch" found on PATH,
// which leaves a dbus-daemon running after the program has ended. When
// there is no such socket, DBUS_SESSION_BUS_ADDRESS is set, for the whole
// run, to "disabled:", an address of no known transport: libdbus then fails
// to connect at once and starts nothing, and Qt goes on without a session
// bus (as it does in any session that has none). The viewer inherits it, so
// it doesn't start a bus of its own either.
ToolkitStart preventUnaskedSideEffects(const std::string &sessionRuntimeRoot = "/run/user");

// Puts back what preventUnaskedSideEffects() changed for the toolkit's start.
void toolkitStarted(const ToolkitStart &start);

} // namespace vd::posix
