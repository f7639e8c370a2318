#include "automation/linux/viewer.h"

#include "common/error.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <string_view>

#include <fcntl.h>
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
    while (true) {
        const auto colon = path.find(':');
        const std::string_view dir = path.substr(0, colon);
        if (!dir.empty() && dir.front() == '/') {
            std::string candidate(dir);
            if (candidate.back() != '/')
                candidate += '/';
            candidate += name;
            if (isExecutableFile(candidate))
                return candidate;
        }
        if (colon == std::string_view::npos)
            return std::nullopt;
        path.remove_prefix(colon + 1);
    }
}

// What the launched side reports back through the pipe when it fails; the
// pipe closes on exec, so an empty read means the program is running.
enum class Stage : int { Fork = 1, Session, StandardStreams, Exec };

struct Report {
    Stage stage;
    int error;
};

[[noreturn]] void fail(int pipeFd, Stage stage, int error, int status) noexcept
{
    const Report report{stage, error};
    // One write below PIPE_BUF is atomic; nothing more can be done on error.
    [[maybe_unused]] const ssize_t n = ::write(pipeFd, &report, sizeof report);
    ::_exit(status);
}

// Everything the children need, prepared before forking so that they make
// only async-signal-safe calls.
struct Launch {
    const char *program;
    char *const *argv;
    char *const *envp;
    int devNull;
    int pipeWrite;
    long maxFd;
    std::array<int, NSIG> ignored;
    int ignoredCount;
};

[[noreturn]] void runViewer(const Launch &launch) noexcept
{
    // /dev/null on standard input, output and error (dup2 clears
    // close-on-exec on the copies; devNull itself is numbered 3 or above).
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::dup2(launch.devNull, fd) < 0)
            fail(launch.pipeWrite, Stage::StandardStreams, errno, 127);

    // Every descriptor above the standard three closes on exec, the report
    // pipe among them.
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (long fd = 3; fd < launch.maxFd; ++fd) {
            const int flags = ::fcntl(static_cast<int>(fd), F_GETFD);
            if (flags >= 0 && !(flags & FD_CLOEXEC))
                ::fcntl(static_cast<int>(fd), F_SETFD, flags | FD_CLOEXEC);
        }
    }

    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    ::sigemptyset(&byDefault.sa_mask);
    for (int i = 0; i < launch.ignoredCount; ++i)
        ::sigaction(launch.ignored[static_cast<std::size_t>(i)], &byDefault, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    ::execve(launch.program, launch.argv, launch.envp);
    fail(launch.pipeWrite, Stage::Exec, errno, 127);
}

[[noreturn]] void runIntermediate(const Launch &launch) noexcept
{
    if (::setsid() < 0)
        fail(launch.pipeWrite, Stage::Session, errno, 1);
    // _Fork, unlike fork, is async-signal-safe: no atfork handlers run.
    const pid_t viewer = ::_Fork();
    if (viewer < 0)
        fail(launch.pipeWrite, Stage::Fork, errno, 1);
    if (viewer == 0)
        runViewer(launch);
    ::_exit(0);
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

std::string_view stageText(Stage stage)
{
    switch (stage) {
    case Stage::Fork:
        return "สร้างโพรเซสใหม่ไม่ได้";
    case Stage::Session:
        return "แยกโพรเซสออกจากโปรแกรมนี้ไม่ได้";
    case Stage::StandardStreams:
        return "เตรียมอินพุตและเอาต์พุตมาตรฐานไม่ได้";
    case Stage::Exec:
        return "เรียกใช้โปรแกรมไม่ได้";
    }
    return "เรียกใช้โปรแกรมไม่ได้";
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

    Launch launch{};
    launch.program = program.c_str();
    launch.argv = argv.data();
    launch.envp = environ;
    launch.maxFd = ::sysconf(_SC_OPEN_MAX);
    if (launch.maxFd < 0)
        launch.maxFd = 1024;
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction current {};
        if (::sigaction(sig, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
            current.sa_handler == SIG_IGN)
            launch.ignored[static_cast<std::size_t>(launch.ignoredCount++)] = sig;
    }

    launch.devNull = aboveStandard(::open("/dev/null", O_RDWR | O_CLOEXEC | O_NOCTTY));
    if (launch.devNull < 0)
        raise(program, "เปิด /dev/null ไม่ได้", errno);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(launch.devNull);
        raise(program, "สร้างท่อส่งข้อมูลไม่ได้", error);
    }
    const int pipeRead = aboveStandard(fds[0]);
    launch.pipeWrite = aboveStandard(fds[1]);
    if (pipeRead < 0 || launch.pipeWrite < 0) {
        const int error = errno;
        for (int fd : {pipeRead, launch.pipeWrite, launch.devNull})
            if (fd >= 0)
                ::close(fd);
        raise(program, "สร้างท่อส่งข้อมูลไม่ได้", error);
    }

    const pid_t intermediate = ::fork();
    if (intermediate == 0)
        runIntermediate(launch);
    const int forkError = errno;
    ::close(launch.pipeWrite);
    ::close(launch.devNull);
    if (intermediate < 0) {
        ::close(pipeRead);
        raise(program, stageText(Stage::Fork), forkError);
    }

    // The intermediate child exits as soon as it has forked.
    int status = 0;
    pid_t waited;
    while ((waited = ::waitpid(intermediate, &status, 0)) < 0 && errno == EINTR) {
    }
    // (With SIGCHLD ignored the child reaps itself and waitpid fails; the
    // pipe still tells what happened.)
    const bool endedAbnormally = waited == intermediate && !(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // Returns at the exec, or with the report of what failed.
    Report report{};
    std::size_t got = 0;
    while (got < sizeof report) {
        const ssize_t n = ::read(pipeRead, reinterpret_cast<char *>(&report) + got, sizeof report - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(pipeRead);
    if (got == sizeof report)
        raise(program, stageText(report.stage), report.error);
    if (got != 0 || endedAbnormally)
        throw Error(errors::Internal, "เปิดโปรแกรมแสดงเอกสาร \"" + program + "\" ไม่ได้: โพรเซสที่เริ่มโปรแกรมจบลงอย่างผิดปกติ");
}

} // namespace vd::automation::linuxword
