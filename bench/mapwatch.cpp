// Start-up as the user sees it, measured from outside the program: an X
// client that starts a program and stamps the MapNotify of its first window
// of a given size. Nothing is preloaded into the program and it is not
// polled: the X server tells us, on the root window's SubstructureNotify,
// of every top-level window created, resized and mapped.
//
//   velodane-mapwatch [--size WxH] [--timeout S] [--hwm-after MS] -- PROGRAM [ARGS...]
//
// Reports on descriptor 3 (the benchmark driver's report channel), or on
// standard output where 3 is not open:
//   mapped <ns from just before fork to the MapNotify>
//   hwm <VmHWM kB of the program>      with --hwm-after: read that many ms
//                                      after the map
//   done
// then ends the program (SIGKILL: its figures are taken) and waits for it.
// A program that ends before mapping such a window, or the timeout, is
// reported as "error <text>" with status 3.
#include "forms/window_measures.h"

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int reportFd = STDOUT_FILENO;

std::int64_t nowNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void report(const std::string &line)
{
    const std::string text = line + "\n";
    [[maybe_unused]] const ssize_t n = ::write(reportFd, text.data(), text.size());
}

pid_t child = -1;

[[noreturn]] void fail(const std::string &why)
{
    report("error " + why);
    if (child > 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    std::exit(3);
}

long statusKb(pid_t pid, const char *key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    const std::string prefix = std::string(key) + ":";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
    return -1;
}

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: velodane-mapwatch [--size WxH] [--timeout S] [--hwm-after MS] -- PROGRAM [ARGS...]\n");
    std::exit(2);
}

// What the command line asks for.
struct Options {
    // The intro window's size at 96 dpi.
    int width = vd::forms::measures::intro::Width / vd::forms::measures::TwipsPerPixel;
    int height = vd::forms::measures::intro::Height / vd::forms::measures::TwipsPerPixel;
    int timeoutS = 60;
    int hwmAfterMs = -1;
    char **program = nullptr; // the program and its arguments, to the end of argv
};

Options parseArguments(int argc, char **argv)
{
    Options o;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            usage();
        if (arg == "--size") {
            if (std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2)
                usage();
        } else if (arg == "--timeout")
            o.timeoutS = std::atoi(argv[++i]);
        else if (arg == "--hwm-after")
            o.hwmAfterMs = std::atoi(argv[++i]);
        else
            usage();
    }
    if (i >= argc)
        usage();
    o.program = argv + i;
    return o;
}

// The connection, with SubstructureNotify selected on the root window.
// Connected before the program starts, so a retry costs the figure nothing
// (a busy server has refused a connection now and then).
xcb_connection_t *watchRoot()
{
    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    for (int attempt = 1; attempt < 5 && xcb_connection_has_error(c); ++attempt) {
        xcb_disconnect(c);
        ::usleep(200'000);
        c = xcb_connect(nullptr, &screenNumber);
    }
    if (const int error = xcb_connection_has_error(c))
        fail("cannot connect to the X display " + std::string(std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") +
             " (xcb error " + std::to_string(error) + ")");
    const xcb_setup_t *setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    for (int s = 0; s < screenNumber; ++s)
        xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_generic_error_t *error =
        xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask));
    if (error) {
        std::free(error);
        fail("cannot select SubstructureNotify on the root window");
    }
    // The selection is in place (the check was a round trip): no event of
    // the program can be missed.
    return c;
}

// Starts the program in `child`, its end of the connection closed.
void startProgram(xcb_connection_t *c, char **program)
{
    child = ::fork();
    if (child < 0)
        fail(std::string("fork: ") + std::strerror(errno));
    if (child == 0) {
        ::close(xcb_get_file_descriptor(c));
        ::execvp(program[0], program);
        std::_Exit(127);
    }
}

// Waits up to 200 ms for the next event, failing where the connection broke,
// the program has ended or the deadline has passed.
void awaitEvent(xcb_connection_t *c, const Options &o, std::int64_t deadline)
{
    const auto window = [&] { return std::to_string(o.width) + "x" + std::to_string(o.height) + " window"; };
    if (xcb_connection_has_error(c))
        fail("the X connection broke");
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) {
        child = -1;
        fail(std::string(o.program[0]) + " ended before it mapped a " + window());
    }
    const std::int64_t left = (deadline - nowNs()) / 1'000'000;
    if (left <= 0)
        fail(std::string(o.program[0]) + " mapped no " + window() + " within " + std::to_string(o.timeoutS) + " s");
    // Wakes for the next event, or now and then to see whether the
    // program is still there.
    pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
    ::poll(&p, 1, static_cast<int>(left < 200 ? left : 200));
}

// The time of the MapNotify of the first top-level window of the size asked
// for, following the sizes of every top-level window as they are created and
// resized.
std::int64_t awaitMap(xcb_connection_t *c, const Options &o, std::int64_t deadline)
{
    std::map<xcb_window_t, std::pair<int, int>> sizes; // top-level windows by id
    for (;;) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(c), &std::free);
        if (!event) {
            awaitEvent(c, o, deadline);
            continue;
        }
        const std::int64_t at = nowNs();
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            const auto *e = reinterpret_cast<xcb_create_notify_event_t *>(event.get());
            sizes[e->window] = {e->width, e->height};
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            const auto *e = reinterpret_cast<xcb_configure_notify_event_t *>(event.get());
            sizes[e->window] = {e->width, e->height};
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto *e = reinterpret_cast<xcb_map_notify_event_t *>(event.get());
            if (auto s = sizes.find(e->window); s != sizes.end() && s->second == std::make_pair(o.width, o.height))
                return at;
            break;
        }
        default:
            break;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (::fcntl(3, F_GETFD) != -1) {
        reportFd = 3;
        ::fcntl(3, F_SETFD, FD_CLOEXEC); // not the program's
    }
    const Options o = parseArguments(argc, argv);
    xcb_connection_t *c = watchRoot();

    const std::int64_t start = nowNs();
    startProgram(c, o.program);
    const std::int64_t mapped = awaitMap(c, o, start + static_cast<std::int64_t>(o.timeoutS) * 1'000'000'000);
    report("mapped " + std::to_string(mapped - start));
    if (o.hwmAfterMs >= 0) {
        ::usleep(static_cast<useconds_t>(o.hwmAfterMs) * 1000);
        report("hwm " + std::to_string(statusKb(child, "VmHWM")));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    xcb_disconnect(c);
    report("done");
    return 0;
}
