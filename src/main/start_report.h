// Why the program can't start or go on, told before any window can be shown
// (or when none can be): two lines on standard error, Thai first, then
// English, each led by the program's name. Plain POSIX, no toolkit types.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vd::posix {

struct StartReport {
    std::string thai;
    std::string english;
};

// The display the toolkit would open, as far as it can be known before it
// starts: nothing when one can be opened, or when the toolkit is asked for a
// platform that needs none (QT_QPA_PLATFORM or -platform naming "offscreen",
// "vnc" and the like: that platform speaks for itself). Else what was tried
// and failed, and how to run the program without a screen; `program` is the
// command as it was typed.
//
// The platforms looked at are X11 ("xcb") and Wayland ("wayland"), in the
// order the toolkit tries them: those asked for by -platform or
// QT_QPA_PLATFORM (a list separated by ';', each name maybe followed by
// ':' and options), else Wayland in a Wayland session (WAYLAND_DISPLAY set,
// or XDG_SESSION_TYPE "wayland") and then X11. X11 is usable when a client
// connection to the display (-display, else DISPLAY) is accepted, Wayland
// when the compositor's socket (WAYLAND_DISPLAY, else "wayland-0", under
// XDG_RUNTIME_DIR unless absolute) accepts a connection.
//
// The connection that found X11 usable is kept in `kept` until it is
// dropped: an X server is slow to accept a client right after another has
// left (about 35 ms on Xvfb), so it is dropped once the toolkit has made a
// connection of its own.
struct DisplayCheck {
    std::optional<StartReport> missing;
    std::shared_ptr<void> kept;
};
DisplayCheck checkDisplay(const std::vector<std::string> &arguments, const std::string &program);

// The display's pixels have a format the toolkit can't draw in (8-bit
// colour, `depth` bits a pixel).
StartReport unsupportedDepth(int depth);

// The system refused a thread that the toolkit needs (the per-user limit on
// processes and threads, or on memory); `reason` is the system's own words.
StartReport threadRefused(const std::string &reason);

// Writes the two lines to standard error, unbuffered; safe at any moment.
void writeReport(const StartReport &report) noexcept;

} // namespace vd::posix
