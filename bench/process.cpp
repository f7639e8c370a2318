#include "process.h"

#include "measure.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

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
    std::vector<char *> envp, argv;
    for (std::string &s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = command;
    for (std::string &s : args)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_adddup2(&actions, writeEnd, 3);

    Finished finished;
    pid_t pid = 0;
    finished.startNs = nowNs();
    const int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(writeEnd);
    if (error != 0) {
        ::close(readEnd);
        throw Failure("cannot start " + command[0] + ": " + std::strerror(error));
    }

    std::string text;
    const std::int64_t deadline = finished.startNs + static_cast<std::int64_t>(timeoutSeconds) * 1'000'000'000;
    bool timedOut = false;
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
    ::close(readEnd);
    if (timedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // The viewers that came to us as orphans.
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }

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
