#include "automation/linux/viewer.h"

#include "common/error.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <string_view>

#include <fcntl.h>
#include <linux/futex.h>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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
    switch (error) {
    case ENOENT:
        return "ไม่พบไฟล์โปรแกรม หรือไม่พบตัวแปลคำสั่งที่สคริปต์ระบุไว้";
    case EACCES:
    case EPERM:
        return "ไม่มีสิทธิ์เรียกใช้โปรแกรมนี้";
    case ENOEXEC:
        return "ไฟล์นี้ไม่ใช่โปรแกรมที่เรียกใช้ได้";
    case ENOTDIR:
        return "ส่วนหนึ่งของเส้นทางไม่ใช่โฟลเดอร์";
    case EAGAIN:
    case ENOMEM:
        return "ทรัพยากรของระบบไม่พอ";
    case ETXTBSY:
        return "ไฟล์โปรแกรมกำลังถูกเขียนอยู่";
    default:
        return "เกิดข้อผิดพลาดของระบบ";
    }
}

[[noreturn]] void raise(const std::string &program, std::string_view step, int error)
{
    throw Error(errors::CantCreateObject, "เปิดโปรแกรมแสดงเอกสาร \"" + program + "\" ไม่ได้: " + std::string(step) + " " +
                                              errnoReason(error) + " (รหัสข้อผิดพลาดของระบบ " + std::to_string(error) +
                                              ")");
}

// What a start shares with the two short-lived processes that make it, which
// run on our memory: the intermediate child (made with vfork, so that we are
// stopped while it runs) and the viewer before its exec (made by the
// intermediate with clone, so that nothing of ours is copied, and left to
// init, or the nearest subreaper, when the intermediate ends at once). The
// kernel clears `running` and wakes us when the viewer has been exec'd or
// has ended (CLONE_CHILD_CLEARTID); until then we wait without running any
// code that could touch what the two use, errno among it.
struct Start {
    const char *program = nullptr;
    char *const *argv = nullptr;
    char *const *envp = nullptr;
    int devNull = -1;
    int running = 1;               // the futex word the kernel clears
    int cloneError = 0;            // errno of the intermediate's clone
    int startError = 0;            // errno of the viewer's preparation or exec
    alignas(16) char stack[16384]; // the viewer's until its exec
};

// Raw system calls only, with the signals of this copy of our signal table
// at their defaults and none blocked: glibc's functions, and anything a
// sanitizer puts around them, may use state that this process shares with us.
#define VD_RAW_CHILD __attribute__((noinline, no_sanitize("address", "undefined")))

VD_RAW_CHILD int viewerBeforeExec(void *arg) noexcept
{
    auto &start = *static_cast<Start *>(arg);
    const unsigned long none[4] = {}; // SIG_DFL, no flags, an empty mask
    const std::uint64_t empty = 0;
    long failed = ::syscall(SYS_setsid) < 0;
    for (int sig = 1; sig < 65; ++sig)
        ::syscall(SYS_rt_sigaction, sig, none, nullptr, sizeof empty); // SIGKILL, SIGSTOP refuse
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO && !failed; ++fd)
        failed = ::syscall(SYS_dup3, start.devNull, fd, 0) < 0;
    if (!failed && ::syscall(SYS_close_range, STDERR_FILENO + 1, ~0U, 0) < 0)
        for (long fd = STDERR_FILENO + 1; fd < 65536; ++fd)
            ::syscall(SYS_close, fd);
    if (!failed) {
        ::syscall(SYS_rt_sigprocmask, SIG_SETMASK, &empty, nullptr, sizeof empty);
        ::syscall(SYS_execve, start.program, start.argv, start.envp);
    }
    start.startError = errno;
    ::syscall(SYS_exit_group, 127);
    return 127;
}

// The intermediate child, on our stack below the caller's frame: it makes the
// viewer's process and ends at once.
[[noreturn]] VD_RAW_CHILD void startFromIntermediate(Start &start) noexcept
{
    if (::clone(viewerBeforeExec, start.stack + sizeof start.stack, CLONE_VM | CLONE_CHILD_CLEARTID | SIGCHLD, &start,
                nullptr, nullptr, &start.running) < 0) {
        start.cloneError = errno;
        __atomic_store_n(&start.running, 0, __ATOMIC_RELEASE);
    }
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
    Start start;
    start.program = program.c_str();
    start.argv = argv.data();
    start.envp = environ;
    start.devNull = devNull;

    // No signal handler of ours may run in the children, which share our
    // memory, nor in this thread while it waits for them.
    sigset_t all, saved;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &saved);
    const pid_t intermediate = ::vfork();
    if (intermediate == 0)
        startFromIntermediate(start);
    const int forkError = errno;
    if (intermediate > 0)
        while (__atomic_load_n(&start.running, __ATOMIC_ACQUIRE) != 0)
            ::syscall(SYS_futex, &start.running, FUTEX_WAIT, 1, nullptr, nullptr, 0);
    ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    ::close(devNull);
    if (intermediate < 0)
        raise(program, "สร้างโพรเซสใหม่ไม่ได้", forkError);

    // The intermediate child has ended by now; reaped here. (With SIGCHLD
    // ignored it reaps itself and waitpid fails.)
    int status = 0;
    pid_t waited;
    while ((waited = ::waitpid(intermediate, &status, 0)) < 0 && errno == EINTR) {
    }
    if (start.cloneError != 0)
        raise(program, "สร้างโพรเซสใหม่ไม่ได้", start.cloneError);
    if (start.startError != 0)
        raise(program, "เรียกใช้โปรแกรมไม่ได้", start.startError);
    if (waited == intermediate && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        throw Error(errors::Internal, "เปิดโปรแกรมแสดงเอกสาร \"" + program + "\" ไม่ได้: โพรเซสที่เริ่มโปรแกรมจบลงอย่างผิดปกติ");
}

} // namespace vd::automation::linuxword
