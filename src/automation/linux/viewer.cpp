#include "automation/linux/viewer.h"

#include "common/error.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vd::automation::linuxword {

namespace {

constexpr std::string_view DefaultPath = "/usr/local/bin:/usr/bin:/bin";

bool isExecutableFile(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> searchPath(std::string_view path, std::string_view name)
{
    for (std::string_view dir : absoluteEntries(path)) {
        std::string candidate(dir);
        if (candidate.back() != '/')
            candidate += '/';
        candidate += name;
        if (isExecutableFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

// A close-on-exec descriptor numbered 3 or above, so that it never stands in
// for a standard stream that our process has closed.
int aboveStandard(int fd)
{
    if (fd < 0 || fd > STDERR_FILENO)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return moved;
}

std::string errnoReason(int error)
{
    static constexpr std::pair<int, std::string_view> Reasons[] = {
        {ENOENT, "ไม่พบไฟล์โปรแกรม หรือไม่พบตัวแปลคำสั่งที่สคริปต์ระบุไว้"},
        {EACCES, "ไม่มีสิทธิ์เรียกใช้โปรแกรมนี้"},
        {EPERM, "ไม่มีสิทธิ์เรียกใช้โปรแกรมนี้"},
        {ENOEXEC, "ไฟล์นี้ไม่ใช่โปรแกรมที่เรียกใช้ได้"},
        {ENOTDIR, "ส่วนหนึ่งของเส้นทางไม่ใช่โฟลเดอร์"},
        {EAGAIN, "ทรัพยากรของระบบไม่พอ"},
        {ENOMEM, "ทรัพยากรของระบบไม่พอ"},
        {ETXTBSY, "ไฟล์โปรแกรมกำลังถูกเขียนอยู่"},
    };
    for (const auto &[number, reason] : Reasons)
        if (number == error)
            return std::string(reason);
    return "เกิดข้อผิดพลาดของระบบ";
}

[[noreturn]] void raise(const std::string &program, std::string_view step, int error)
{
    throw Error(errors::CantCreateObject, "เปิดโปรแกรมแสดงเอกสาร \"" + program + "\" ไม่ได้: " + std::string(step) + " " +
                                              errnoReason(error) + " (รหัสข้อผิดพลาดของระบบ " + std::to_string(error) +
                                              ")");
}

// How the viewer is started, prepared before the intermediate child exists:
// posix_spawn starts it as vfork and exec would, in a session of its own,
// with /dev/null as its standard streams, no other descriptor of ours, every
// signal at its default and none blocked. The intermediate child writes its
// outcome here, in our memory, which it shares until it ends.
struct Spawn {
    explicit Spawn(int devNull)
    {
        ::posix_spawn_file_actions_init(&actions);
        for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
            ::posix_spawn_file_actions_adddup2(&actions, devNull, fd);
        ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
        ::posix_spawnattr_init(&attributes);
        ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        sigset_t signals;
        ::sigemptyset(&signals);
        ::posix_spawnattr_setsigmask(&attributes, &signals);
        // Every signal, the C library's own two among them: sigfillset leaves
        // those out, and posix_spawn would then leave them ignored.
        std::memset(&signals, 0xff, sizeof signals);
        ::posix_spawnattr_setsigdefault(&attributes, &signals);
    }
    ~Spawn()
    {
        ::posix_spawnattr_destroy(&attributes);
        ::posix_spawn_file_actions_destroy(&actions);
    }
    Spawn(const Spawn &) = delete;
    Spawn &operator=(const Spawn &) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    const char *program = nullptr;
    char *const *argv = nullptr;
    char *const *envp = nullptr;
    volatile int error = 0;
    volatile bool spawned = false;
};

// The intermediate child: it starts the viewer and ends at once, so that the
// viewer is left to init (or the nearest subreaper), never to us.
[[noreturn]] __attribute__((noinline)) void spawnFromIntermediate(Spawn &spawn) noexcept
{
    pid_t viewer = 0;
    spawn.error = ::posix_spawn(&viewer, spawn.program, &spawn.actions, &spawn.attributes, spawn.argv, spawn.envp);
    spawn.spawned = true;
    ::_exit(0);
}

} // namespace

std::optional<Viewer> findViewer(const Environment &env)
{
    std::optional<std::string> path = env("PATH");
    if (!path)
        path = std::string(DefaultPath);
    static constexpr std::pair<std::string_view, Viewer::Kind> Programs[] = {
        {"soffice", Viewer::Kind::LibreOffice},
        {"libreoffice", Viewer::Kind::LibreOffice},
        {"xdg-open", Viewer::Kind::XdgOpen},
    };
    for (const auto &[name, kind] : Programs) {
        if (auto program = searchPath(*path, name))
            return Viewer{kind, std::move(*program)};
    }
    return std::nullopt;
}

std::vector<std::string> viewerCommand(const Viewer &viewer, const std::string &document)
{
    switch (viewer.kind) {
    case Viewer::Kind::LibreOffice:
        return {viewer.program, "--nologo", "--norestore", "--view", document};
    case Viewer::Kind::XdgOpen:
        break;
    }
    return {viewer.program, document};
}

void launchDetached(const std::vector<std::string> &command)
{
    if (command.empty() || command.front().empty())
        throw Error(errors::Internal, "ไม่ได้ระบุโปรแกรมที่จะเรียกใช้");
    const std::string &program = command.front();

    std::vector<char *> argv;
    argv.reserve(command.size() + 1);
    for (const std::string &arg : command)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);

    const int devNull = aboveStandard(::open("/dev/null", O_RDWR | O_CLOEXEC | O_NOCTTY));
    if (devNull < 0)
        raise(program, "เปิด /dev/null ไม่ได้", errno);
    Spawn spawn(devNull);
    spawn.program = program.c_str();
    spawn.argv = argv.data();
    spawn.envp = environ;

    // No signal handler of ours may run in the child, which shares our memory
    // until it has ended.
    sigset_t all, saved;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &saved);
    const pid_t intermediate = ::vfork();
    if (intermediate == 0)
        spawnFromIntermediate(spawn);
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    ::close(devNull);
    if (intermediate < 0)
        raise(program, "สร้างโพรเซสใหม่ไม่ได้", forkError);

    // The intermediate child has ended by now; reaped here. (With SIGCHLD
    // ignored it reaps itself and waitpid fails; its report is in `spawn`.)
    int status = 0;
    pid_t waited;
    while ((waited = ::waitpid(intermediate, &status, 0)) < 0 && errno == EINTR) {
    }
    if (spawn.error != 0)
        raise(program, "เรียกใช้โปรแกรมไม่ได้", spawn.error);
    if (!spawn.spawned || (waited == intermediate && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)))
        throw Error(errors::Internal, "เปิดโปรแกรมแสดงเอกสาร \"" + program + "\" ไม่ได้: โพรเซสที่เริ่มโปรแกรมจบลงอย่างผิดปกติ");
}

} // namespace vd::automation::linuxword
