// The program that shows a document, and starting it apart from ours.
#pragma once

#include "automation/linux/environment.h"

#include <optional>
#include <string>
#include <vector>

namespace vd::automation::linuxword {

struct Viewer {
    enum class Kind { LibreOffice, XdgOpen };
    Kind kind = Kind::LibreOffice;
    std::string program; // absolute path of the executable
};

// The first of "soffice", "libreoffice" and "xdg-open", in that order of
// preference, found as an executable regular file in a folder of $PATH
// (searched in order; empty and relative entries are skipped). An unset PATH
// stands for "/usr/local/bin:/usr/bin:/bin". Nothing when none is found.
std::optional<Viewer> findViewer(const Environment &env);

// The argument vector that shows `document` read-only; element 0 is the
// program itself.
//   LibreOffice: <program> --nologo --norestore --view <document>
//       --view opens the document read-only in viewer mode, --nologo skips
//       the splash screen, --norestore keeps the document-recovery dialog
//       of an office that was ended abruptly from coming up in its place.
//   xdg-open:    <program> <document>
//       the desktop's default application for the file's type.
// The document is an absolute path, so it can never be taken for an option.
std::vector<std::string> viewerCommand(const Viewer &viewer, const std::string &document);

// Starts command[0] with the arguments `command`, without a shell, detached
// from this process: an intermediate child (vfork, so that nothing of this
// process is copied) starts the program with posix_spawn in a session of its
// own and ends at once, is reaped here, and leaves the program to init (or
// the nearest subreaper). The program gets /dev/null as standard input,
// output and error (so that a viewer, or a process it leaves behind, never
// holds our terminal or a pipe we write into, as in "velodane | cat"), and
// inherits none of our other descriptors; every signal is at its default and
// none is blocked. Waits only until the program has been exec'd, never for it
// to start up or end. Throws a vd::Error (429) when the program can't be
// started, e.g. when it is missing or not executable.
void launchDetached(const std::vector<std::string> &command);

} // namespace vd::automation::linuxword
