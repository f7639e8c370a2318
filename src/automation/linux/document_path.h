// Where a document named by a Windows path lies on this machine.
//
// A path "X:\a\b\c" is looked for inside a prefix folder that stands for the
// Windows drives, laid out as Wine lays out its prefixes: drive X is the
// folder "dosdevices/x:" of the prefix when that exists, else "drive_x".
// The prefixes are searched in this order, and the first one that holds a
// readable file wins:
//   1. $WINEPREFIX, when set;
//   2. $XDG_DATA_HOME/velodane, or $HOME/.local/share/velodane when
//      XDG_DATA_HOME is not set (skipped when neither is set);
//   3. velodane under each folder of $XDG_DATA_DIRS
//      (by default /usr/local/share:/usr/share).
// Variables that are empty or hold a relative path count as not set, and
// relative entries of XDG_DATA_DIRS are skipped.
//
// Components are separated by backslashes (a forward slash, which Windows
// takes as a separator too, counts as one) and each is matched without
// regard to ASCII letter case, as Windows matches them. Where a folder holds
// several names that match one component (Linux tells "VD5.DOC" from
// "vd5.doc", Windows doesn't), the first usable one wins, in this fixed
// order: the name exactly as written first, then the others in byte order
// ("VD5.DOC" < "Vd5.doc" < "vD5.doc" < "vd5.DOC"). A name for a folder on the
// way is usable when it leads to a folder in which the rest of the path
// finds a readable document (tried depth-first, each name at most once); the
// document's own name when it is a readable regular file. So a dangling
// link "VD5.DOC", or a folder "VD5.doc", beside a readable "vd5.DOC" never
// hides it. When none is usable, the place reported is the first one tried,
// with why it can't be used.
#pragma once

#include "automation/linux/environment.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vd::automation::linuxword {

// A Windows path taken apart: the drive letter, in lower case, and the
// components after "X:\". No component is empty, "." or "..", made of dots
// only, or holds a character that Windows forbids in a name, so a path never
// leads out of its drive folder.
struct WindowsPath {
    char drive = 0;
    std::vector<std::string> components;
};

// Nothing when the path isn't an absolute path on a drive letter.
std::optional<WindowsPath> parseWindowsPath(std::string_view path);

// The prefix folders, in search order, without duplicates (the first of
// equal ones kept). Linear in the length of the variables.
std::vector<std::string> documentPrefixes(const Environment &env);

enum class FileState {
    Readable,     // a regular file that this process may read
    Missing,      // nothing by that name (or a component on the way is
                  // missing, or is a file where a folder should be)
    DanglingLink, // a symbolic link to nothing
    LinkLoop,     // symbolic links that lead round in a loop (or too many
                  // links in a row)
    Directory,
    NotRegular,       // a device, a socket, a pipe
    Unreadable,       // a regular file that this process may not read
    FolderDenied,     // a folder on the way that this process may not enter
                      // or, looking for the name in other letter case, list
    NameTooLong,      // a name, or the whole path, longer than the system allows
    TooManyOpenFiles, // this process, or the system, has no descriptor left
    Failed,           // any other error of the system, in Candidate::error
};

// One place where the document was looked for.
struct Candidate {
    std::string path; // the Linux path, with the names as found on disk
    FileState state = FileState::Missing;
    int error = 0; // the errno value, for FileState::Failed
};

struct Resolution {
    bool valid = false;              // false: not a drive-letter absolute path
    std::optional<std::string> file; // the readable document, when found
    std::vector<Candidate> searched; // every place looked at, in order
};

// The Linux path of the document in one prefix, and what is there.
Candidate locateInPrefix(const WindowsPath &path, const std::string &prefix);

// Looks for the document in every prefix until a readable one is found. The
// file is only opened for reading to check that it can be read.
Resolution resolveDocument(std::string_view windowsPath, const std::vector<std::string> &prefixes);

// The same in documentPrefixes(env).
Resolution resolveDocument(std::string_view windowsPath, const Environment &env);

} // namespace vd::automation::linuxword
