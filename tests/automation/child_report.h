// What a child process reports: the child, forked, runs `work` and writes
// what it returns to a pipe, then ends; the parent reads the pipe to its end
// and waits for the child. For what a test must do in a process of its own
// (close the standard descriptors, become another user).
#pragma once

#include <QByteArray>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vd::test {

template <typename Work> QByteArray reportFromChild(Work work)
{
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        const QByteArray text = work();
        [[maybe_unused]] const ssize_t written = ::write(report[1], text.constData(), static_cast<size_t>(text.size()));
        ::_exit(0);
    }
    ::close(report[1]);
    QByteArray text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(report[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<int>(n));
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return text;
}

} // namespace vd::test
