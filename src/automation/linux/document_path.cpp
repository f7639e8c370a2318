#include "automation/linux/document_path.h"

#include "common/names.h"

#include <algorithm>
#include <cerrno>
#include <unordered_set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vd::automation::linuxword {

namespace {

constexpr std::string_view PrefixFolder = "velodane";
constexpr std::string_view DefaultDataDirs = "/usr/local/share:/usr/share";

bool isDriveLetter(char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSeparator(char c) noexcept
{
    return c == '\\' || c == '/';
}

// A name that Windows would accept and that stays inside its folder.
bool isAcceptableComponent(std::string_view name) noexcept
{
    if (name.empty() || name.find_first_not_of('.') == std::string_view::npos)
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20)
            return false;
        switch (c) {
        case '<':
        case '>':
        case ':':
        case '"':
        case '|':
        case '?':
        case '*':
            return false;
        default:
            break;
        }
    }
    return true;
}

// An absolute folder without trailing slashes; nothing for an empty or
// relative value.
std::optional<std::string> absoluteFolder(std::optional<std::string> value)
{
    if (!value || value->empty() || value->front() != '/')
        return std::nullopt;
    std::string folder = std::move(*value);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string join(const std::string &folder, std::string_view name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

// The state that an error of stat (or, with `opening`, of open on the
// document itself) tells.
Candidate failure(std::string path, int error, bool opening)
{
    Candidate candidate;
    candidate.path = std::move(path);
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        candidate.state = FileState::Missing;
        break;
    case ELOOP:
        candidate.state = FileState::LinkLoop;
        break;
    case EACCES:
    case EPERM:
        // stat needs only search permission on the folders on the way.
        candidate.state = opening ? FileState::Unreadable : FileState::FolderDenied;
        break;
    case ENAMETOOLONG:
        candidate.state = FileState::NameTooLong;
        break;
    case EMFILE:
    case ENFILE:
        candidate.state = FileState::TooManyOpenFiles;
        break;
    default:
        candidate.state = FileState::Failed;
        candidate.error = error;
        break;
    }
    return candidate;
}

// What is at `path`, looked at as the document.
Candidate examine(std::string path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        struct stat link {};
        if (error == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            return Candidate{std::move(path), FileState::DanglingLink};
        return failure(std::move(path), error, false);
    }
    if (S_ISDIR(st.st_mode))
        return Candidate{std::move(path), FileState::Directory};
    if (!S_ISREG(st.st_mode))
        return Candidate{std::move(path), FileState::NotRegular};
    // Opened for reading only, and closed at once; O_NONBLOCK keeps a file
    // swapped for a pipe meanwhile from blocking us.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failure(std::move(path), errno, true);
    struct stat opened {};
    const bool regular = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
    ::close(fd);
    return Candidate{std::move(path), regular ? FileState::Readable : FileState::NotRegular};
}

// The entries of `folder` other than `name` itself that match it without
// regard to case, in byte order; errno of opendir when it can't be listed.
struct Variants {
    std::vector<std::string> names;
    int error = 0;
};

Variants caseVariants(const std::string &folder, const std::string &name)
{
    Variants variants;
    DIR *dir = ::opendir(folder.c_str());
    if (!dir) {
        variants.error = errno;
        return variants;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view candidate(entry->d_name);
        if (candidate != name && sameName(candidate, name))
            variants.names.emplace_back(candidate);
    }
    ::closedir(dir);
    std::sort(variants.names.begin(), variants.names.end());
    return variants;
}

// The depth-first search of one prefix's drive folder for the document,
// over the names that match each component, in the order document_path.h
// gives.
class Search {
public:
    explicit Search(const std::vector<std::string> &components) : components_(components) {}

    Candidate run(const std::string &driveFolder)
    {
        if (inFolder(driveFolder, 0))
            return std::move(*found_);
        return std::move(*firstFailure_);
    }

private:
    // The path from `path`, the name on disk of component `index`, on.
    std::string withRest(std::string path, std::size_t index) const
    {
        for (std::size_t i = index + 1; i < components_.size(); ++i)
            path = join(path, components_[i]);
        return path;
    }

    void failed(Candidate candidate)
    {
        if (!firstFailure_)
            firstFailure_ = std::move(candidate);
    }

    // Whether the document is found from `path`, the name on disk of
    // component `index`.
    bool through(const std::string &path, std::size_t index)
    {
        if (index + 1 == components_.size()) {
            Candidate candidate = examine(path);
            if (candidate.state == FileState::Readable) {
                found_ = std::move(candidate);
                return true;
            }
            failed(std::move(candidate));
            return false;
        }
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return inFolder(path, index + 1);
        // Not a folder, or out of reach: what the whole path meets tells why.
        failed(examine(withRest(path, index)));
        return false;
    }

    // Whether the document is found from `folder` through component `index`.
    bool inFolder(const std::string &folder, std::size_t index)
    {
        const std::string &name = components_[index];
        const std::string exact = join(folder, name);
        struct stat st {};
        const bool exists = ::lstat(exact.c_str(), &st) == 0;
        if (exists && through(exact, index))
            return true;
        const Variants variants = caseVariants(folder, name);
        for (const std::string &variant : variants.names)
            if (through(join(folder, variant), index))
                return true;
        if (!exists && variants.names.empty()) {
            Candidate candidate = examine(withRest(exact, index));
            // Nothing by that name where the folder couldn't be listed: the
            // name may be there in other letter case.
            if (candidate.state == FileState::Missing && variants.error != 0 && variants.error != ENOENT &&
                variants.error != ENOTDIR)
                candidate = failure(std::move(candidate.path), variants.error, false);
            failed(std::move(candidate));
        }
        return false;
    }

    const std::vector<std::string> &components_;
    std::optional<Candidate> found_;
    std::optional<Candidate> firstFailure_;
};

} // namespace

std::optional<WindowsPath> parseWindowsPath(std::string_view path)
{
    if (path.size() < 4 || !isDriveLetter(path[0]) || path[1] != ':' || !isSeparator(path[2]))
        return std::nullopt;

    WindowsPath parsed;
    parsed.drive = asciiLower(path[0]);
    std::string_view rest = path.substr(3);
    while (true) {
        const auto end = std::find_if(rest.begin(), rest.end(), isSeparator);
        const std::string_view component(rest.data(), static_cast<std::size_t>(end - rest.begin()));
        if (!isAcceptableComponent(component))
            return std::nullopt;
        parsed.components.emplace_back(component);
        if (end == rest.end())
            break;
        rest.remove_prefix(component.size() + 1);
    }
    return parsed;
}

std::vector<std::string> documentPrefixes(const Environment &env)
{
    std::vector<std::string> prefixes;
    std::unordered_set<std::string> seen;
    auto add = [&prefixes, &seen](std::string prefix) {
        if (seen.insert(prefix).second)
            prefixes.push_back(std::move(prefix));
    };

    if (auto wine = absoluteFolder(env("WINEPREFIX")))
        add(*wine);

    if (auto dataHome = absoluteFolder(env("XDG_DATA_HOME")))
        add(join(*dataHome, PrefixFolder));
    else if (auto home = absoluteFolder(env("HOME")))
        add(join(join(*home, ".local/share"), PrefixFolder));

    std::optional<std::string> dataDirs = env("XDG_DATA_DIRS");
    if (!dataDirs || dataDirs->empty())
        dataDirs = std::string(DefaultDataDirs);
    std::string_view dirs = *dataDirs;
    while (!dirs.empty()) {
        const auto colon = dirs.find(':');
        const std::string_view entry = dirs.substr(0, colon);
        if (auto dir = absoluteFolder(std::string(entry)))
            add(join(*dir, PrefixFolder));
        if (colon == std::string_view::npos)
            break;
        dirs.remove_prefix(colon + 1);
    }
    return prefixes;
}

Candidate locateInPrefix(const WindowsPath &path, const std::string &prefix)
{
    const std::string letter(1, path.drive);
    std::string drive = join(join(prefix, "dosdevices"), letter + ":");
    struct stat st {};
    if (::stat(drive.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        drive = join(prefix, "drive_" + letter);
    return Search(path.components).run(drive);
}

Resolution resolveDocument(std::string_view windowsPath, const std::vector<std::string> &prefixes)
{
    Resolution resolution;
    const std::optional<WindowsPath> path = parseWindowsPath(windowsPath);
    if (!path)
        return resolution;
    resolution.valid = true;
    for (const std::string &prefix : prefixes) {
        Candidate candidate = locateInPrefix(*path, prefix);
        const bool found = candidate.state == FileState::Readable;
        resolution.searched.push_back(std::move(candidate));
        if (found) {
            resolution.file = resolution.searched.back().path;
            break;
        }
    }
    return resolution;
}

Resolution resolveDocument(std::string_view windowsPath, const Environment &env)
{
    if (!parseWindowsPath(windowsPath))
        return {};
    return resolveDocument(windowsPath, documentPrefixes(env));
}

} // namespace vd::automation::linuxword
