#include "automation/linux/document_path.h"

#include "common/names.h"

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vd::automation::linuxword {

namespace {

constexpr std::string_view kPrefixFolder = "velodane";
constexpr std::string_view kDefaultDataDirs = "/usr/local/share:/usr/share";

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

bool isDirectory(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The name on disk of `name` inside `folder`: the exact name when something
// by that name exists, else the first entry, in byte order, that differs only
// in letter case; `name` itself when there is neither.
std::string matchName(const std::string &folder, const std::string &name)
{
    struct stat st {};
    if (::lstat(join(folder, name).c_str(), &st) == 0)
        return name;

    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return name;
    std::optional<std::string> best;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view candidate(entry->d_name);
        if (sameName(candidate, name) && (!best || candidate < *best))
            best = std::string(candidate);
    }
    ::closedir(dir);
    return best.value_or(name);
}

FileState examine(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            return FileState::DanglingLink;
        return FileState::Missing;
    }
    if (S_ISDIR(st.st_mode))
        return FileState::Directory;
    if (!S_ISREG(st.st_mode))
        return FileState::NotRegular;
    // Opened for reading only, and closed at once; O_NONBLOCK keeps a file
    // swapped for a pipe meanwhile from blocking us.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return FileState::Unreadable;
    struct stat opened {};
    const bool regular = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
    ::close(fd);
    return regular ? FileState::Readable : FileState::NotRegular;
}

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
    auto add = [&prefixes](std::string prefix) {
        if (std::find(prefixes.begin(), prefixes.end(), prefix) == prefixes.end())
            prefixes.push_back(std::move(prefix));
    };

    if (auto wine = absoluteFolder(env("WINEPREFIX")))
        add(*wine);

    if (auto dataHome = absoluteFolder(env("XDG_DATA_HOME")))
        add(join(*dataHome, kPrefixFolder));
    else if (auto home = absoluteFolder(env("HOME")))
        add(join(join(*home, ".local/share"), kPrefixFolder));

    std::optional<std::string> dataDirs = env("XDG_DATA_DIRS");
    if (!dataDirs || dataDirs->empty())
        dataDirs = std::string(kDefaultDataDirs);
    std::string_view dirs = *dataDirs;
    while (!dirs.empty()) {
        const auto colon = dirs.find(':');
        const std::string_view entry = dirs.substr(0, colon);
        if (auto dir = absoluteFolder(std::string(entry)))
            add(join(*dir, kPrefixFolder));
        if (colon == std::string_view::npos)
            break;
        dirs.remove_prefix(colon + 1);
    }
    return prefixes;
}

Candidate locateInPrefix(const WindowsPath &path, const std::string &prefix)
{
    const std::string letter(1, path.drive);
    std::string current = join(join(prefix, "dosdevices"), letter + ":");
    if (!isDirectory(current))
        current = join(prefix, "drive_" + letter);
    for (const std::string &component : path.components)
        current = join(current, matchName(current, component));
    Candidate candidate;
    candidate.state = examine(current);
    candidate.path = std::move(current);
    return candidate;
}

Resolution resolveDocument(std::string_view windowsPath, const Environment &env)
{
    Resolution resolution;
    const std::optional<WindowsPath> path = parseWindowsPath(windowsPath);
    if (!path)
        return resolution;
    resolution.valid = true;
    for (const std::string &prefix : documentPrefixes(env)) {
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

} // namespace vd::automation::linuxword
