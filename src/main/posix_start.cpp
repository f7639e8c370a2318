#include "main/posix_start.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vd::posix {

namespace {

constexpr const char *RuntimeFolderVariable = "XDG_RUNTIME_DIR";
constexpr const char *TemporaryFolderVariable = "TMPDIR";
constexpr const char *SessionBusVariable = "DBUS_SESSION_BUS_ADDRESS";
// Under a device no folder can be made.
constexpr const char *Nowhere = "/dev/null";
// An address of no transport libdbus knows: connecting fails at once.
constexpr const char *NoBus = "disabled:";

std::optional<std::string> variable(const char *name)
{
    if (const char *value = std::getenv(name))
        return std::string(value);
    return std::nullopt;
}

void setVariable(const char *name, const std::optional<std::string> &value)
{
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

// A runtime folder as the XDG base directory rules want it: an absolute path
// to a folder owned by this user, that only this user may use (mode 0700).
bool isUsableRuntimeFolder(const std::optional<std::string> &path)
{
    struct stat st {};
    return path && !path->empty() && path->front() == '/' && ::stat(path->c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

// The socket that libdbus takes for the session bus when
// DBUS_SESSION_BUS_ADDRESS is unset.
bool hasBusSocket(const std::optional<std::string> &runtimeFolder)
{
    if (!isUsableRuntimeFolder(runtimeFolder))
        return false;
    struct stat st {};
    const std::string socket = *runtimeFolder + "/bus";
    return ::stat(socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid();
}

} // namespace

bool reopenStandardDescriptors() noexcept
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lower descriptors are open by now, so this is `fd` itself. Not
        // close-on-exec: standard streams are handed on as usual.
        const int opened = ::open(Nowhere, O_RDWR | O_NOCTTY);
        if (opened < 0)
            return false;
        if (opened != fd) {
            const bool moved = ::dup2(opened, fd) == fd;
            ::close(opened);
            if (!moved)
                return false;
        }
    }
    return true;
}

ToolkitStart preventUnaskedSideEffects(const std::string &sessionRuntimeRoot)
{
    ToolkitStart start;
    const std::optional<std::string> runtimeFolder = variable(RuntimeFolderVariable);
    if (!isUsableRuntimeFolder(runtimeFolder)) {
        const std::string session = sessionRuntimeRoot + "/" + std::to_string(::geteuid());
        if (isUsableRuntimeFolder(session)) {
            ::setenv(RuntimeFolderVariable, session.c_str(), 1);
        } else {
            start.restore = true;
            start.runtimeFolder = runtimeFolder;
            start.temporaryFolder = variable(TemporaryFolderVariable);
            ::unsetenv(RuntimeFolderVariable);
            ::setenv(TemporaryFolderVariable, Nowhere, 1);
        }
    }

    const std::optional<std::string> bus = variable(SessionBusVariable);
    if ((!bus || bus->empty()) && !hasBusSocket(variable(RuntimeFolderVariable)))
        ::setenv(SessionBusVariable, NoBus, 1);
    return start;
}

void toolkitStarted(const ToolkitStart &start)
{
    if (!start.restore)
        return;
    setVariable(RuntimeFolderVariable, start.runtimeFolder);
    setVariable(TemporaryFolderVariable, start.temporaryFolder);
}

} // namespace vd::posix
