// The driver: prepares a private place for the documents and a stand-in
// viewer, starts every measured process, collects the figures and prints one
// table of medians, each beside the same figure for a floor measured in the
// same run, and the goal.
//
//   start-up        the real program, started as a whole process with the
//                   probe preloaded, from just before posix_spawn to the end
//                   of the first paint of Form1; the floor: velodane-floor,
//                   the same way, to the end of its first paint
//   peak memory     VmHWM of the whole program after entering the menu, ten
//                   group clicks and going back; of the floor after its paint
//   enter, back, pointer movement, group click
//                   in-process, see inprocess.cpp; the floor: bare windows
//   growth          resident memory, descriptors and child processes before
//                   and after 10,000 enter/back cycles and 1,000 group clicks
//
// The driver is a child subreaper: the viewers that the program starts
// detached come to it, and it reaps them.
#include "bench.h"
#include "measure.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vd::bench {
namespace {

struct Options {
    int runs = 15;      // start-up runs of each program
    int memoryRuns = 5; // peak-memory runs of each program
    int switches = 200; // enter and back samples
    int moves = 2000;   // pointer movement samples
    int clicks = 200;   // group click samples
    int cycles = 10000; // enter/back cycles of the growth run
    int enduranceClicks = 1000;
    std::string velodane = VELODANE_PROGRAM;
    std::string floor = VELODANE_FLOOR_PROGRAM;
    std::string probe = VELODANE_PROBE_LIBRARY;
    std::string output;
    // "offscreen", or "display" for the whole-process runs' platform.
    std::string inProcessPlatform = "offscreen";
    // Which measurements to make: start-up, memory, timings, growth.
    std::vector<std::string> only = {"startup", "memory", "timings", "growth"};
    bool wants(const std::string &what) const { return std::find(only.begin(), only.end(), what) != only.end(); }
};

[[noreturn]] void usage(const char *self, int status = 2)
{
    std::fprintf(status == 0 ? stdout : stderr,
                 "usage: %s [--quick] [--runs N] [--memory-runs N] [--switches N] [--moves N] [--clicks N]\n"
                 "          [--cycles N] [--endurance-clicks N] [--velodane PATH] [--floor PATH] [--probe PATH]\n"
                 "          [--only startup,memory,timings,growth] [--inprocess-platform offscreen|display]\n"
                 "          [--output FILE]\n",
                 self);
    std::exit(status);
}

Options parse(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                usage(argv[0]);
            return argv[++i];
        };
        auto number = [&] { return std::stoi(value()); };
        if (arg == "--help") {
            usage(argv[0], 0);
        } else if (arg == "--quick") {
            o.runs = 3;
            o.memoryRuns = 1;
            o.switches = 20;
            o.moves = 200;
            o.clicks = 20;
            o.cycles = 200;
            o.enduranceClicks = 50;
        } else if (arg == "--runs")
            o.runs = number();
        else if (arg == "--memory-runs")
            o.memoryRuns = number();
        else if (arg == "--switches")
            o.switches = number();
        else if (arg == "--moves")
            o.moves = number();
        else if (arg == "--clicks")
            o.clicks = number();
        else if (arg == "--cycles")
            o.cycles = number();
        else if (arg == "--endurance-clicks")
            o.enduranceClicks = number();
        else if (arg == "--velodane")
            o.velodane = value();
        else if (arg == "--floor")
            o.floor = value();
        else if (arg == "--probe")
            o.probe = value();
        else if (arg == "--output")
            o.output = value();
        else if (arg == "--inprocess-platform")
            o.inProcessPlatform = value();
        else if (arg == "--only") {
            o.only.clear();
            std::istringstream list(value());
            for (std::string item; std::getline(list, item, ',');)
                o.only.push_back(item);
        } else
            usage(argv[0]);
    }
    return o;
}

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A private folder: the stand-in viewer, the 62 documents, a runtime folder
// and the log of the measured processes. Removed at the end unless kept.
class Workspace {
public:
    Workspace()
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "velodane-bench.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw Error("mkdtemp: " + std::string(std::strerror(errno)));
        root = pattern;
        fs::create_directories(root + "/bin");
        viewer = root + "/bin/soffice";
        std::ofstream(viewer) << "#!/bin/sh\nexit 0\n";
        fs::permissions(viewer, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
        data = root + "/data";
        const std::string documents = data + "/velodane/drive_c/Program Files/Velodane";
        fs::create_directories(documents);
        for (int n = 1; n <= 62; ++n)
            std::ofstream(documents + "/vd" + std::to_string(n) + ".doc") << "group " << n << "\n";
        runtime = root + "/runtime";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        log = root + "/log";
    }

    Workspace(const Workspace &) = delete;
    Workspace &operator=(const Workspace &) = delete;

    ~Workspace()
    {
        std::error_code ignored;
        if (!keep)
            std::filesystem::remove_all(root, ignored);
    }

    std::string root, viewer, data, runtime, log;
    bool keep = false;
};

using Environment = std::map<std::string, std::string>;

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

struct Finished {
    std::vector<std::string> lines;
    std::int64_t startNs = 0;
};

int highDescriptor(int fd)
{
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return moved;
}

// Starts the program with that environment, its report lines coming on its
// descriptor 3, its output appended to the log; waits for it to end.
Finished run(const std::vector<std::string> &command, const Environment &environment, const std::string &log,
             int timeoutSeconds)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw Error("pipe: " + std::string(std::strerror(errno)));
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
        throw Error("cannot start " + command[0] + ": " + std::strerror(error));
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
            throw Error(command[0] + ": " + line.substr(6) + " (log: " + log + ")");
        finished.lines.push_back(line);
    }
    if (timedOut)
        throw Error(command[0] + " did not finish within " + std::to_string(timeoutSeconds) + " s (log: " + log + ")");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Error(command[0] + " ended abnormally, status " + std::to_string(status) + " (log: " + log + ")");
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
    throw Error("no \"" + key + "\" in the report");
}

struct Figures {
    double startupMs[2] = {}; // [0] velodane, [1] floor
    double hwmMiB[2] = {};
    double hwmTextFloorMiB = 0; // the floor drawing one Thai caption
    double enterMs[2] = {}, backMs[2] = {}, moveUs[2] = {}, clickMs[2] = {};
    double growthMiB[2] = {}, heapGrowthKiB[2] = {};
    double descriptors[2] = {}, children[2] = {};
};

std::string fixed(double v, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

std::string signedFixed(double v, int decimals)
{
    return (v >= 0 ? "+" : "") + fixed(v, decimals);
}

std::string table(const Figures &f, const Options &o)
{
    struct Row {
        std::string measure, velodane, floor, goal, verdict;
    };
    std::vector<Row> rows;
    auto row = [&](const char *phase, std::string measure, std::string velodane, std::string floor, std::string goal,
                   bool ok, const std::string &how = {}) {
        if (!o.wants(phase))
            rows.push_back({std::move(measure), "—", "—", std::move(goal), "not measured"});
        else
            rows.push_back({std::move(measure), std::move(velodane), std::move(floor), std::move(goal),
                            std::string(ok ? "met" : "MISSED") + (how.empty() ? "" : ", " + how)});
    };
    const std::string n = "median of ";

    const double ratio = f.startupMs[0] / f.startupMs[1];
    row("startup", "Start to first painted intro window, whole process (" + n + std::to_string(o.runs) + ")",
        fixed(f.startupMs[0], 1) + " ms", fixed(f.startupMs[1], 1) + " ms", "≤ 1.10 × floor", ratio <= 1.10,
        fixed(ratio, 2) + " × floor");
    row("timings", "Enter: intro to menu painted, warm (" + n + std::to_string(o.switches) + ")",
        fixed(f.enterMs[0], 2) + " ms", fixed(f.enterMs[1], 2) + " ms", "≤ 3 ms", f.enterMs[0] <= 3);
    row("timings", "Back: menu to intro painted, warm (" + n + std::to_string(o.switches) + ")",
        fixed(f.backMs[0], 2) + " ms", fixed(f.backMs[1], 2) + " ms", "≤ 2 ms", f.backMs[0] <= 2);
    row("timings", "Pointer movement onto a group button, caption line repainted (" + n + std::to_string(o.moves) + ")",
        fixed(f.moveUs[0], 1) + " µs", fixed(f.moveUs[1], 1) + " µs", "≤ 20 µs", f.moveUs[0] <= 20);
    row("timings", "Group click, viewer started: window blocked (" + n + std::to_string(o.clicks) + ")",
        fixed(f.clickMs[0], 2) + " ms", fixed(f.clickMs[1], 2) + " ms", "≤ 2 ms", f.clickMs[0] <= 2);
    const double above = f.hwmMiB[0] - f.hwmMiB[1];
    row("memory",
        "Peak resident memory (VmHWM), whole process, after enter, ten group clicks and back (" + n +
            std::to_string(o.memoryRuns) + ")",
        fixed(f.hwmMiB[0], 1) + " MiB", fixed(f.hwmMiB[1], 1) + " MiB", "≤ floor + 5 MiB", above <= 5,
        signedFixed(above, 1) + " MiB; " + signedFixed(f.hwmMiB[0] - f.hwmTextFloorMiB, 1) +
            " MiB over the floor drawing one Thai caption, " + fixed(f.hwmTextFloorMiB, 1) + " MiB");
    const std::string after = " after " + std::to_string(o.cycles) + " enter/back cycles and " +
                              std::to_string(o.enduranceClicks) + " group clicks";
    row("growth", "Resident memory growth" + after,
        signedFixed(f.growthMiB[0], 2) + " MiB (heap " + signedFixed(f.heapGrowthKiB[0], 0) + " KiB)",
        signedFixed(f.growthMiB[1], 2) + " MiB (heap " + signedFixed(f.heapGrowthKiB[1], 0) + " KiB)", "≤ 1 MiB",
        f.growthMiB[0] <= 1);
    row("growth", "Open descriptors, growth" + after, signedFixed(f.descriptors[0], 0),
        signedFixed(f.descriptors[1], 0), "0", f.descriptors[0] <= 0);
    row("growth", "Child processes, growth" + after, signedFixed(f.children[0], 0), signedFixed(f.children[1], 0), "0",
        f.children[0] <= 0);

    // Column widths in characters, not bytes (µ, ≤, × and — are multibyte).
    auto width = [](const std::string &s) {
        std::size_t count = 0;
        for (unsigned char c : s)
            count += (c & 0xC0) != 0x80;
        return count;
    };
    const Row head{"Measure", "Velodane", "Floor", "Goal", "Result"};
    std::size_t w[5] = {};
    auto cells = [](const Row &r) {
        return std::array<const std::string *, 5>{&r.measure, &r.velodane, &r.floor, &r.goal, &r.verdict};
    };
    auto widen = [&](const Row &r) {
        for (int i = 0; i < 5; ++i)
            w[i] = std::max(w[i], width(*cells(r)[i]));
    };
    widen(head);
    for (const Row &r : rows)
        widen(r);
    auto line = [&](const Row &r) {
        std::string text = "|";
        for (int i = 0; i < 5; ++i) {
            const std::string &cell = *cells(r)[i];
            const std::string pad(w[i] - width(cell), ' ');
            text += " " + ((i == 1 || i == 2) ? pad + cell : cell + pad) + " |";
        }
        return text + "\n";
    };
    std::string out = line(head);
    out += "|" + std::string(w[0] + 2, '-') + "|" + std::string(w[1] + 1, '-') + ":|" + std::string(w[2] + 1, '-') +
           ":|" + std::string(w[3] + 2, '-') + "|" + std::string(w[4] + 2, '-') + "|\n";
    for (const Row &r : rows)
        out += line(r);
    return out;
}

std::string platformDescription(const Environment &env)
{
    auto get = [&](const char *k) {
        auto it = env.find(k);
        return it == env.end() ? std::string() : it->second;
    };
    const std::string qpa = get("QT_QPA_PLATFORM");
    if (!qpa.empty())
        return qpa;
    if (!get("WAYLAND_DISPLAY").empty())
        return "wayland (" + get("WAYLAND_DISPLAY") + ")";
    // scripts/bench names the display server it started.
    const std::string server = get("VELODANE_BENCH_SERVER");
    return "xcb on " + (server.empty() ? std::string("display") : server) + " " + get("DISPLAY");
}

// Everything a measured process needs from the driver.
struct Context {
    const Options &options;
    const Workspace &workspace;
    Environment display;   // for the whole-process runs
    Environment inProcess; // for the in-process runs
    std::string self;      // this program
};

Finished probed(const Context &c, const std::vector<std::string> &command, const std::string &steps)
{
    Environment e = c.display;
    e["LD_PRELOAD"] = c.options.probe;
    e["VELODANE_PROBE_FD"] = "3";
    e["VELODANE_PROBE_STEPS"] = steps;
    return run(command, e, c.workspace.log, 120);
}

Finished child(const Context &c, const char *subject, const char *mode, const std::vector<std::string> &params)
{
    std::vector<std::string> command{c.self, "--child", subject, mode};
    command.insert(command.end(), params.begin(), params.end());
    return run(command, c.inProcess, c.workspace.log, 900);
}

// Index 0 is the program, 1 its floor; they take turns, the first of each
// round alternating.
template <class Measure> void alternate(int warmUps, int runs, std::vector<double> (&samples)[2], Measure measure)
{
    for (int i = -warmUps; i < runs; ++i) {
        for (int k = 0; k < 2; ++k) {
            const int which = (i & 1) ? 1 - k : k;
            const double value = measure(which);
            if (i >= 0)
                samples[which].push_back(value);
        }
    }
}

void startup(const Context &c, Figures &f)
{
    const Options &o = c.options;
    std::fprintf(stderr, "velodane-bench: start-up, %d runs each\n", o.runs);
    const std::string programs[2] = {o.velodane, o.floor};
    const std::string steps[2] = {"wait:Form1", "wait:Floor"};
    std::vector<double> samples[2];
    alternate(3, o.runs, samples, [&](int which) {
        const Finished r = probed(c, {programs[which]}, steps[which]);
        return (field(r, "painted") - static_cast<double>(r.startNs)) / 1e6;
    });
    for (int k = 0; k < 2; ++k)
        f.startupMs[k] = median(samples[k]);
}

void memory(const Context &c, Figures &f)
{
    const Options &o = c.options;
    std::fprintf(stderr, "velodane-bench: peak memory, %d runs each\n", o.memoryRuns);
    std::string session = "wait:Form1;click:Form1/Command2;wait:Form2";
    for (int g = 1; g <= 10; ++g)
        session += ";click:Form2/Command" + std::to_string(g);
    session += ";click:Form2/Command63;wait:Form1;hwm";
    const std::string programs[2] = {o.velodane, o.floor};
    const std::string steps[2] = {session, "wait:Floor;hwm"};
    std::vector<double> samples[2];
    alternate(0, o.memoryRuns, samples,
              [&](int which) { return field(probed(c, {programs[which]}, steps[which]), "hwm") / 1024; });
    for (int k = 0; k < 2; ++k)
        f.hwmMiB[k] = median(samples[k]);
    // The floor again, drawing one Thai caption: how much of the difference
    // is Qt's text machinery.
    std::vector<double> text;
    for (int i = 0; i < o.memoryRuns; ++i)
        text.push_back(field(probed(c, {o.floor, "--thai-caption"}, steps[1]), "hwm") / 1024);
    f.hwmTextFloorMiB = median(text);
}

const char *const Subjects[2] = {"velodane", "floor"};

void timings(const Context &c, Figures &f)
{
    const Options &o = c.options;
    std::fprintf(stderr, "velodane-bench: in-process timings, %d switches, %d movements, %d clicks\n", o.switches,
                 o.moves, o.clicks);
    for (int k = 0; k < 2; ++k) {
        const Finished r = child(c, Subjects[k], "timings",
                                 {"switches=" + std::to_string(o.switches), "moves=" + std::to_string(o.moves),
                                  "clicks=" + std::to_string(o.clicks)});
        f.enterMs[k] = field(r, "enter_ns") / 1e6;
        f.backMs[k] = field(r, "back_ns") / 1e6;
        f.moveUs[k] = field(r, "move_ns") / 1e3;
        f.clickMs[k] = field(r, "click_ns") / 1e6;
    }
}

void growth(const Context &c, Figures &f)
{
    const Options &o = c.options;
    std::fprintf(stderr, "velodane-bench: growth, %d cycles and %d clicks\n", o.cycles, o.enduranceClicks);
    for (int k = 0; k < 2; ++k) {
        const Finished r = child(c, Subjects[k], "endurance",
                                 {"cycles=" + std::to_string(o.cycles), "clicks=" + std::to_string(o.enduranceClicks)});
        f.growthMiB[k] = field(r, "rss_growth_kb") / 1024;
        f.heapGrowthKiB[k] = field(r, "heap_growth_bytes") / 1024;
        f.descriptors[k] = field(r, "descriptor_growth");
        f.children[k] = field(r, "children_growth");
    }
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one;
    in >> one;
    return one.empty() ? "?" : one;
}

} // namespace

int runDriver(int argc, char **argv)
{
    const Options o = parse(argc, argv);
    std::optional<Workspace> workspace;
    try {
        // Orphans of our children (the detached viewers) come to us.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        const Workspace &ws = workspace.emplace();
        Environment env = currentEnvironment();
        env["PATH"] = ws.root + "/bin:/usr/bin:/bin";
        env["XDG_DATA_HOME"] = ws.data;
        env["XDG_RUNTIME_DIR"] = ws.runtime;
        env["VELODANE_BENCH_VIEWER"] = ws.viewer;
        env.erase("WINEPREFIX");
        env.erase("LD_PRELOAD");
        if (env.count("QT_QPA_PLATFORM") == 0 && env.count("DISPLAY") == 0 && env.count("WAYLAND_DISPLAY") == 0)
            env["QT_QPA_PLATFORM"] = "offscreen";

        char self[4096] = {};
        if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
            throw Error("readlink /proc/self/exe: " + std::string(std::strerror(errno)));
        Context c{o, ws, env, env, self};
        if (o.inProcessPlatform != "display")
            c.inProcess["QT_QPA_PLATFORM"] = o.inProcessPlatform;

        const std::string loadBefore = loadAverage();
        std::fprintf(stderr, "velodane-bench: work folder %s\n", ws.root.c_str());
        Figures f;
        if (o.wants("startup"))
            startup(c, f);
        if (o.wants("memory"))
            memory(c, f);
        if (o.wants("timings"))
            timings(c, f);
        if (o.wants("growth"))
            growth(c, f);

        char conditions[512];
        std::snprintf(conditions, sizeof conditions,
                      "Qt %s, %ld CPUs; whole processes on %s, in-process figures on %s; load average %s before, "
                      "%s after\n\n",
                      qVersion(), ::sysconf(_SC_NPROCESSORS_ONLN), platformDescription(c.display).c_str(),
                      platformDescription(c.inProcess).c_str(), loadBefore.c_str(), loadAverage().c_str());
        const std::string out = conditions + table(f, o);
        std::fputs(out.c_str(), stdout);
        std::fflush(stdout);
        if (!o.output.empty())
            std::ofstream(o.output) << out;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "velodane-bench: %s\n", e.what());
        if (workspace) {
            workspace->keep = true;
            std::fprintf(stderr, "velodane-bench: the work folder %s is kept\n", workspace->root.c_str());
        }
        return 1;
    }
    return 0;
}

} // namespace vd::bench
