// The measurements made inside one process, on the real program or on the
// floor: window switches, pointer movement and group clicks, timed from the
// input event to the end of the paint it causes; and the long run that looks
// for growth in memory, descriptors and child processes.
//
// Each writes "key value" lines for the driver on descriptor 3.
#include "bench.h"
#include "harness.h"
#include "measure.h"
#include "pointer.h"

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <malloc.h>

namespace vd::bench {
namespace {

constexpr int ReportFd = 3;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Runner {
public:
    Runner(BenchApp &app, Subject &subject) : app_(app), s_(subject) {}

    void start()
    {
        const QString intro = s_.intro();
        check(app_.timeUntilPainted([&] { s_.start(); }, inWindow(intro)), "the intro window never painted");
        app_.settle(20);
    }

    // Intro to menu: a click on the enter button, timed from the release to
    // the menu window's first paint. `settleMs` lets the display server's
    // late events in before and after.
    std::int64_t enter(int settleMs)
    {
        return switchWindow(s_.intro(), QStringLiteral("Command2"), s_.menu(), settleMs);
    }
    std::int64_t back(int settleMs)
    {
        return switchWindow(s_.menu(), QStringLiteral("Command63"), s_.intro(), settleMs);
    }

    // One pointer movement onto a group button, timed until the caption
    // line has repainted.
    std::int64_t move(int group)
    {
        QWidget *c = need(s_.menu(), button(group));
        const std::int64_t t = app_.timeUntilPainted(
            [&] { pointer_.move(c); }, [](QWidget *w) { return w->objectName() == QLatin1String("Label1"); });
        check(t, "the caption line never repainted");
        app_.processEvents();
        return t;
    }

    // One click on a group button: the time the release takes to be handled,
    // which is the time the window is blocked.
    std::int64_t click(int group, int settleMs)
    {
        QWidget *c = need(s_.menu(), button(group));
        pointer_.move(c);
        pointer_.press(c);
        app_.settle(settleMs);
        const std::int64_t t0 = nowNs();
        pointer_.release(c);
        const std::int64_t t = nowNs() - t0;
        app_.settle(settleMs);
        s_.reap();
        failures();
        return t;
    }

    int groups() const { return s_.groups(); }

private:
    static std::function<bool(QWidget *)> inWindow(QString name)
    {
        return [name](QWidget *w) { return w->window()->objectName() == name; };
    }

    static QString button(int group) { return QStringLiteral("Command%1").arg(group); }

    QWidget *need(const QString &window, const QString &name)
    {
        QWidget *c = control(window, name);
        if (!c)
            throw Failure("no " + name.toStdString() + " in a visible " + window.toStdString());
        return c;
    }

    void check(std::int64_t t, const char *what)
    {
        failures();
        if (t < 0)
            throw Failure(what);
    }

    void failures()
    {
        const auto reported = s_.takeFailures();
        if (!reported.empty())
            throw Failure("failure reported: " + reported.front());
    }

    std::int64_t switchWindow(const QString &from, const QString &buttonName, const QString &to, int settleMs)
    {
        QWidget *c = need(from, buttonName);
        pointer_.move(c);
        pointer_.press(c);
        app_.settle(settleMs);
        const std::int64_t t = app_.timeUntilPainted([&] { pointer_.release(c); }, inWindow(to));
        check(t, "the window entered never painted");
        app_.settle(settleMs);
        return t;
    }

    BenchApp &app_;
    Subject &s_;
    Pointer pointer_;
};

std::map<std::string, long> parameters(int argc, char **argv, int first)
{
    std::map<std::string, long> p;
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto eq = arg.find('=');
        if (eq != std::string::npos)
            p[arg.substr(0, eq)] = std::stol(arg.substr(eq + 1));
    }
    return p;
}

// Descriptor 3, from the driver; programs started from here don't inherit it.
FILE *reportStream()
{
    static FILE *stream = [] {
        ::fcntl(ReportFd, F_SETFD, FD_CLOEXEC);
        FILE *f = ::fdopen(ReportFd, "w");
        return f ? f : stdout;
    }();
    return stream;
}

void report(const char *key, double value)
{
    std::fprintf(reportStream(), "%s %.17g\n", key, value);
}

void timings(Runner &r, std::map<std::string, long> &p)
{
    const long switches = p["switches"], moves = p["moves"], clicks = p["clicks"];
    for (int i = 0; i < 20; ++i) { // warm: caches filled, code paged in
        r.enter(0);
        r.back(0);
    }
    std::vector<double> enter, back, move, click;
    for (long i = 0; i < switches; ++i) {
        enter.push_back(static_cast<double>(r.enter(1)));
        back.push_back(static_cast<double>(r.back(1)));
    }
    r.enter(1);
    for (long i = 0; i < 50 + moves; ++i) {
        const double t = static_cast<double>(r.move(static_cast<int>(i % 2) + 1));
        if (i >= 50)
            move.push_back(t);
    }
    for (long i = 0; i < 5 + clicks; ++i) {
        const double t = static_cast<double>(r.click(static_cast<int>(i % r.groups()) + 1, 1));
        if (i >= 5)
            click.push_back(t);
    }
    r.back(1);
    report("enter_ns", median(enter));
    report("back_ns", median(back));
    report("move_ns", median(move));
    report("click_ns", median(click));
    report("switches", static_cast<double>(switches));
    report("moves", static_cast<double>(moves));
    report("clicks", static_cast<double>(clicks));
}

struct Usage {
    long rssKb;
    long long heap;
    int descriptors;
    int children;
};

// What the process holds. The allocator first gives back the free memory at
// the top of its heap, so that memory freed and kept for reuse does not count
// as growth (otherwise it shows up as the size of one window's backing
// store, kept or given back by chance).
Usage usage()
{
    ::malloc_trim(0);
    return {selfStatusKb("VmRSS"), heapInUse(), openDescriptors(), childProcesses()};
}

void endurance(BenchApp &app, Runner &r, std::map<std::string, long> &p)
{
    const long cycles = p["cycles"], clicks = p["clicks"];
    // Warm: every cache that the program fills once is full before the
    // first figure is taken.
    for (int i = 0; i < 100; ++i) {
        r.enter(0);
        r.back(0);
    }
    r.enter(0);
    for (int g = 1; g <= r.groups(); ++g)
        r.click(g, 0);
    r.back(0);
    app.settle(50);
    const Usage before = usage();
    const std::int64_t t0 = nowNs();
    for (long i = 0; i < cycles; ++i) {
        r.enter(0);
        r.back(0);
    }
    r.enter(0);
    for (long i = 0; i < clicks; ++i)
        r.click(static_cast<int>(i % r.groups()) + 1, 0);
    r.back(0);
    app.settle(50);
    const std::int64_t t1 = nowNs();
    const Usage after = usage();
    report("rss_growth_kb", static_cast<double>(after.rssKb - before.rssKb));
    report("heap_growth_bytes", static_cast<double>(after.heap - before.heap));
    report("descriptor_growth", after.descriptors - before.descriptors);
    report("children_growth", after.children - before.children);
    report("rss_after_kb", static_cast<double>(after.rssKb));
    report("seconds", static_cast<double>(t1 - t0) / 1e9);
    report("cycles", static_cast<double>(cycles));
    report("clicks", static_cast<double>(clicks));
}

} // namespace

int runChild(int argc, char **argv)
{
    // velodane-bench --child <velodane|floor> <timings|endurance> key=value...
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s --child velodane|floor timings|endurance [key=value...]\n", argv[0]);
        return 2;
    }
    const std::string subjectName = argv[2], mode = argv[3];
    auto p = parameters(argc, argv, 4);
    BenchApp app(argc, argv);
    try {
        std::unique_ptr<Subject> subject = subjectName == "floor" ? makeFloor() : makeVelodane();
        Runner runner(app, *subject);
        runner.start();
        if (mode == "timings")
            timings(runner, p);
        else
            endurance(app, runner, p);
        std::fflush(reportStream());
    } catch (const std::exception &e) {
        std::fprintf(reportStream(), "error %s\n", e.what());
        std::fflush(reportStream());
        return 1;
    }
    return 0;
}

} // namespace vd::bench
