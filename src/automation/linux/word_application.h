// "word.Application" on Linux: the part of Microsoft Word's object model that
// the program drives, standing on LibreOffice Writer (or xdg-open).
//
//   Application.Visible    property, get and put, a boolean (false at first).
//                          Only remembered: the viewer shows its own window
//                          when it opens a document.
//   Application.Documents  property or method without arguments: the
//                          collection of documents, always the same object.
//   Documents.Open(FileName, ...)
//                          method: shows FileName, a Windows path resolved as
//                          document_path.h tells, read-only in the viewer
//                          (viewer.h gives the argument vector). Word's other
//                          optional arguments, up to 15 more, are accepted and
//                          ignored. Returns nothing.
//
// Member names are matched without regard to letter case. Failures:
//   438  no such member, or a member requested in a way it doesn't support
//   450  wrong number of arguments
//   13   an argument of the wrong type
//   5152 FileName isn't an absolute path on a drive letter (Word's "This is
//        not a valid file name")
//   5174 the document was found nowhere, or can't be read (Word's "This file
//        could not be found"); nothing is started. The description names
//        the Windows path and the Linux paths searched, each with why it
//        couldn't be used (missing, a dangling link, a link loop, a folder,
//        not a regular file, no permission to read it or to enter a folder
//        on the way, a name too long, too many open files, another system
//        error with its number): all of them when there are at most five,
//        else four (those where something was found first) and the number
//        of the others. Paths longer than 100 characters are shortened in
//        the middle, and control characters and bytes that aren't UTF-8
//        show as U+FFFD, so the message always fits on the screen.
//        The prefix folders are found once, at the first Open of an object
//        of a registration, and kept.
//   429  creating the object: neither LibreOffice nor xdg-open is on PATH;
//        Open: the viewer couldn't be started
#pragma once

#include "automation/automation.h"
#include "automation/linux/environment.h"

#include <functional>
#include <string>
#include <vector>

namespace vd::automation::linuxword {

inline constexpr long InvalidFileName = 5152;
inline constexpr long FileNotFound = 5174;

// How the component reaches the outside: the environment it reads (PATH and
// the prefix variables) and how it starts a viewer's argument vector.
struct Options {
    Environment environment;
    std::function<void(const std::vector<std::string> &command)> launch;
};

// The process environment and launchDetached (viewer.h).
Options defaultOptions();

// A new "word.Application" object; Error 429 when no viewer is on PATH.
ObjectRef createApplication(const Options &options);

// Registers "word.Application" with the default options.
void registerClasses(Registry &registry);
void registerClasses(Registry &registry, Options options);

} // namespace vd::automation::linuxword
