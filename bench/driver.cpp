// The driver: prepares a private place for the documents and a stand-in
// viewer, starts every measured process, collects the figures and prints one
// table of medians, each beside the same figure for a floor measured in the
// same run, and the goal.
//
//   start-up        the real program, started as a whole process with the
//                   probe preloaded, from just before posix_spawn to the end
//                   of the first paint of Form1; the floor: velodane-floor,
//                   the same way, to the end of its first paint. And, without
//                   the probe, from just before fork to the MapNotify of each
//                   program's window of the intro window's size, stamped by
//                   velodane-mapwatch, an X client outside the program (not
//                   on offscreen)
//   peak memory     VmHWM of the whole program after entering the menu, ten
//                   group clicks and going back; of the floor after its paint
//   enter, back, pointer movement, group click
//                   in-process, see inprocess.cpp; the floor: bare windows
//   growth          resident memory, descriptors and child processes before
//                   and after 10,000 enter/back cycles and 1,000 group clicks
//
// The driver is a child subreaper: the viewers that the program starts
// detached come to it, and it reaps them.
#include "driver.h"
#include "bench.h"
#include "measure.h"
#include "process.h"
#include "table.h"

#include "forms/window_measures.h"

#include <QtGlobal>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/prctl.h>
#include <unistd.h>

namespace vd::bench {
namespace {

// The intro window's size at 96 dpi, "WxH", as velodane-mapwatch is told it.
std::string introWindowSize()
{
    namespace measures = forms::measures;
    return std::to_string(measures::intro::Width / measures::TwipsPerPixel) + "x" +
           std::to_string(measures::intro::Height / measures::TwipsPerPixel);
}

[[noreturn]] void usage(const char *self, int status = 2)
{
    std::fprintf(status == 0 ? stdout : stderr,
                 "usage: %s [--quick] [--runs N] [--memory-runs N] [--switches N] [--moves N] [--clicks N]\n"
                 "          [--cycles N] [--endurance-clicks N] [--velodane PATH] [--floor PATH] [--probe PATH]\n"
                 "          [--mapwatch PATH]\n"
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
        else if (arg == "--mapwatch")
            o.mapwatch = value();
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

// A private folder: the stand-in viewer, the 62 documents, a runtime folder
// and the log of the measured processes. Removed at the end unless kept.
class Workspace {
public:
    Workspace()
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "velodane-bench.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw Failure("mkdtemp: " + std::string(std::strerror(errno)));
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

    // The same start, seen by an X client outside the program: nothing
    // preloaded, the end is the window's MapNotify. Needs an X display.
    if (!mapsWindows(c.display))
        return;
    std::fprintf(stderr, "velodane-bench: start-up to MapNotify, %d runs each\n", o.runs);
    std::vector<double> mapped[2];
    alternate(3, o.runs, mapped, [&](int which) {
        const Finished r =
            run({o.mapwatch, "--size", introWindowSize(), "--", programs[which]}, c.display, c.workspace.log, 120);
        return field(r, "mapped") / 1e6;
    });
    for (int k = 0; k < 2; ++k)
        f.mappedMs[k] = median(mapped[k]);
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
    // The floor once more, starting its program in a session of its own, as
    // the program starts the viewer: the kernel gives a new session a
    // scheduling group of its own (autogroup), which a busy machine makes
    // the new process wait for.
    Context session = c;
    session.inProcess["VELODANE_BENCH_FLOOR_SESSION"] = "1";
    f.clickSessionFloorMs =
        field(child(session, Subjects[1], "timings", {"switches=1", "moves=1", "clicks=" + std::to_string(o.clicks)}),
              "click_ns") /
        1e6;
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

// The environment of every measured process: the work folder's programs
// and data, no session bus, no Wine prefix and nothing preloaded.
Environment measuredEnvironment(const Workspace &ws)
{
    Environment env = currentEnvironment();
    env["PATH"] = ws.root + "/bin:/usr/bin:/bin";
    env["XDG_DATA_HOME"] = ws.data;
    env["XDG_RUNTIME_DIR"] = ws.runtime;
    // No session bus in the private runtime folder: the program then
    // tells libdbus so itself; the floor, left alone, would load the
    // session-bus libraries and look for one at every start.
    env["DBUS_SESSION_BUS_ADDRESS"] = "disabled:";
    env["VELODANE_BENCH_VIEWER"] = ws.viewer;
    env.erase("WINEPREFIX");
    env.erase("LD_PRELOAD");
    if (env.count("QT_QPA_PLATFORM") == 0 && env.count("DISPLAY") == 0 && env.count("WAYLAND_DISPLAY") == 0)
        env["QT_QPA_PLATFORM"] = "offscreen";
    return env;
}

// Every figure asked for.
Figures measureAll(const Context &c)
{
    const Options &o = c.options;
    Figures f;
    if (o.wants("startup"))
        startup(c, f);
    if (o.wants("memory"))
        memory(c, f);
    if (o.wants("timings"))
        timings(c, f);
    if (o.wants("growth"))
        growth(c, f);
    return f;
}

// The line above the table: the versions, the platforms and the load.
std::string conditions(const Context &c, const std::string &loadBefore)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "Qt %s, %ld CPUs; whole processes on %s, in-process figures on %s; load average %s before, "
                  "%s after\n\n",
                  qVersion(), ::sysconf(_SC_NPROCESSORS_ONLN), platformDescription(c.display).c_str(),
                  platformDescription(c.inProcess).c_str(), loadBefore.c_str(), loadAverage().c_str());
    return text;
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
        const Environment env = measuredEnvironment(ws);

        char self[4096] = {};
        if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
            throw Failure("readlink /proc/self/exe: " + std::string(std::strerror(errno)));
        Context c{o, ws, env, env, self};
        if (o.inProcessPlatform != "display")
            c.inProcess["QT_QPA_PLATFORM"] = o.inProcessPlatform;

        const std::string loadBefore = loadAverage();
        std::fprintf(stderr, "velodane-bench: work folder %s\n", ws.root.c_str());
        const Figures f = measureAll(c);
        const std::string out = conditions(c, loadBefore) + table(f, o);
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
