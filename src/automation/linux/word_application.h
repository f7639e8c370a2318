// "word.Application" on Linux: the stand-in object model (stand_in.h),
// standing on LibreOffice Writer (or xdg-open). Documents.Open shows
// FileName, a Windows path resolved as document_path.h tells, read-only in
// the viewer (viewer.h gives the argument vector).
//
// Failures of Open, beside the object model's own (438, 450, 13):
//   5152 FileName isn't an absolute path on a drive letter (Word's "This is
//        not a valid file name")
//   5174 the document was found nowhere, or can't be read (Word's "This file
//        could not be found"); nothing is started. The description names
//        the Windows path and the Linux paths searched, each with why it
//        couldn't be used (FileState in document_path.h): all of them when
//        there are at most five, else four (those where something was found
//        first) and the number of the others. Paths longer than 100
//        characters are shortened in the middle, and control characters and
//        bytes that aren't UTF-8 show as U+FFFD, so the message always fits
//        on the screen. The prefix folders are found once, at the first Open
//        of an object of a registration, and kept.
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
