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
    return name.find_first_not_of('.') != std::string_view::npos && std::none_of(name.begin(), name.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 ||
                      std::string_view("<>:\"|?*").find(c) != std::string_view::npos;
           });
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
    FileState state = FileState::Failed;
    if (error == ENOENT || error == ENOTDIR)
        state = FileState::Missing;
    else if (error == ELOOP)
        state = FileState::LinkLoop;
    else if (error == EACCES || error == EPERM) // stat needs only search permission on the folders on the way
        state = opening ? FileState::Unreadable : FileState::FolderDenied;
    else if (error == ENAMETOOLONG)
        state = FileState::NameTooLong;
    else if (error == EMFILE || error == ENFILE)
        state = FileState::TooManyOpenFiles;
    return Candidate{std::move(path), state, state == FileState::Failed ? error : 0};
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
struct Search {
    const std::vector<std::string> &components;
    std::optional<Candidate> firstFailure;

    // The path from `path`, the name on disk of component `index`, on.
    std::string withRest(std::string path, std::size_t index) const
    {
        for (std::size_t i = index + 1; i < components.size(); ++i)
            path = join(path, components[i]);
        return path;
    }

    std::nullopt_t failed(Candidate candidate)
    {
        if (!firstFailure)
            firstFailure = std::move(candidate);
        return std::nullopt;
    }

    // The document found from `path`, the name on disk of component `index`.
    std::optional<Candidate> through(const std::string &path, std::size_t index)
    {
        struct stat st {};
        if (index + 1 < components.size() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return inFolder(path, index + 1);
        // The document itself, or what the whole path meets where a folder
        // on the way isn't one, or is out of reach.
        Candidate candidate = examine(withRest(path, index));
        if (candidate.state == FileState::Readable && index + 1 == components.size())
            return candidate;
        return failed(std::move(candidate));
    }

    // The document found from `folder` through component `index`.
    std::optional<Candidate> inFolder(const std::string &folder, std::size_t index)
    {
        const std::string &name = components[index];
        const std::string exact = join(folder, name);
        struct stat st {};
        const bool exists = ::lstat(exact.c_str(), &st) == 0;
        if (auto found = exists ? through(exact, index) : std::nullopt)
            return found;
        const Variants variants = caseVariants(folder, name);
        for (const std::string &variant : variants.names)
            if (auto found = through(join(folder, variant), index))
                return found;
        if (exists || !variants.names.empty())
            return std::nullopt;
        Candidate candidate = examine(withRest(exact, index));
        // Nothing by that name where the folder couldn't be listed: the name
        // may be there in other letter case.
        if (candidate.state == FileState::Missing && variants.error != 0 && variants.error != ENOENT &&
            variants.error != ENOTDIR)
            candidate = failure(std::move(candidate.path), variants.error, false);
        return failed(std::move(candidate));
    }
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
    for (std::string_view dir : absoluteEntries(*dataDirs))
        add(join(*absoluteFolder(std::string(dir)), PrefixFolder));
    return prefixes;
}

Candidate locateInPrefix(const WindowsPath &path, const std::string &prefix)
{
    const std::string letter(1, path.drive);
    std::string drive = join(join(prefix, "dosdevices"), letter + ":");
    struct stat st {};
    if (::stat(drive.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        drive = join(prefix, "drive_" + letter);
    Search search{path.components, std::nullopt};
    if (auto found = search.inFolder(drive, 0))
        return std::move(*found);
    return std::move(*search.firstFailure);
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
