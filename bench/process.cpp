#include "process.h"

#include "measure.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vd::bench {

Environment currentEnvironment()
{
    Environment env;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        const auto eq = entry.find('=');
        if (eq != std::string::npos)
            env[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    return env;
}

namespace {

int highDescriptor(int fd)
{
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return moved;
}

// Pointers to the strings, then a null pointer, as exec takes its lists.
std::vector<char *> nullTerminated(std::vector<std::string> &strings)
{
    std::vector<char *> pointers;
    for (std::string &s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the program: standard input from /dev/null, its output appended to
// the log, `reportEnd` as its descriptor 3. Returns its id, or the error
// number of posix_spawn as a negative number.
pid_t spawn(std::vector<std::string> args, std::vector<std::string> envStrings, const std::string &log, int reportEnd,
            std::int64_t &startNs)
{
    const std::vector<char *> argv = nullTerminated(args);
    const std::vector<char *> envp = nullTerminated(envStrings);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_adddup2(&actions, reportEnd, 3);
    pid_t pid = 0;
    startNs = nowNs();
    const int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return error != 0 ? -error : pid;
}

// What the program reports on its descriptor 3 until it closes it, or until
// the deadline (then `timedOut`).
std::string readReport(int readEnd, std::int64_t deadline, bool &timedOut)
{
    std::string text;
    timedOut = false;
    for (;;) {
        const std::int64_t left = (deadline - nowNs()) / 1'000'000;
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{readEnd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::min<std::int64_t>(left, 1000)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(readEnd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// Waits for the program (ended first where it has timed out) and returns
// its status; reaps the viewers that came to us as orphans.
int reap(pid_t pid, bool timedOut)
{
    if (timedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    return status;
}

} // namespace

// Starts the program with that environment, its report lines coming on its
// descriptor 3, its output appended to the log; waits for it to end.
Finished run(const std::vector<std::string> &command, const Environment &environment, const std::string &log,
             int timeoutSeconds)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw Failure("pipe: " + std::string(std::strerror(errno)));
    const int readEnd = highDescriptor(fds[0]), writeEnd = highDescriptor(fds[1]);

    std::vector<std::string> envStrings;
    for (const auto &[k, v] : environment)
        envStrings.push_back(k + "=" + v);
    Finished finished;
    const pid_t pid = spawn(command, std::move(envStrings), log, writeEnd, finished.startNs);
    ::close(writeEnd);
    if (pid < 0) {
        ::close(readEnd);
        throw Failure("cannot start " + command[0] + ": " + std::strerror(-pid));
    }

    bool timedOut = false;
    const std::string text =
        readReport(readEnd, finished.startNs + static_cast<std::int64_t>(timeoutSeconds) * 1'000'000'000, timedOut);
    ::close(readEnd);
    const int status = reap(pid, timedOut);

    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("error ", 0) == 0)
            throw Failure(command[0] + ": " + line.substr(6) + " (log: " + log + ")");
        finished.lines.push_back(line);
    }
    if (timedOut)
        throw Failure(command[0] + " did not finish within " + std::to_string(timeoutSeconds) + " s (log: " + log +
                      ")");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Failure(command[0] + " ended abnormally, status " + std::to_string(status) + " (log: " + log + ")");
    return finished;
}

// The value of the first line "<key> <value>" or "<key> <word> <value>".
double field(const Finished &f, const std::string &key)
{
    for (const std::string &line : f.lines) {
        std::istringstream in(line);
        std::string k;
        in >> k;
        if (k != key)
            continue;
        std::vector<std::string> words;
        for (std::string w; in >> w;)
            words.push_back(w);
        if (!words.empty())
            return std::stod(words.back());
    }
    throw Failure("no \"" + key + "\" in the report");
}

} // namespace vd::bench
