#include "table.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vd::bench {

namespace {

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

} // namespace

namespace {

struct Row {
    std::string measure, velodane, floor, goal, verdict;
};

// The table's rows, each with its verdict, or "not measured" where its
// phase was not asked for.
class Rows {
public:
    explicit Rows(const Options &o) : o_(o) {}

    void add(const char *phase, std::string measure, std::string velodane, std::string floor, std::string goal, bool ok,
             const std::string &how = {})
    {
        if (!o_.wants(phase))
            rows_.push_back({std::move(measure), "—", "—", std::move(goal), "not measured"});
        else
            rows_.push_back({std::move(measure), std::move(velodane), std::move(floor), std::move(goal),
                             std::string(ok ? "met" : "MISSED") + (how.empty() ? "" : ", " + how)});
    }
    // A row that is shown for comparison only, without a goal.
    void addUnjudged(const char *phase, Row row)
    {
        if (o_.wants(phase))
            rows_.push_back(std::move(row));
    }
    const std::vector<Row> &rows() const { return rows_; }

private:
    const Options &o_;
    std::vector<Row> rows_;
};

std::string medianOf(int n)
{
    return "median of " + std::to_string(n);
}

void addStartup(Rows &rows, const Figures &f, const Options &o)
{
    const double ratio = f.startupMs[0] / f.startupMs[1];
    rows.add("startup", "Start to first painted intro window, whole process, probe inside (" + medianOf(o.runs) + ")",
             fixed(f.startupMs[0], 1) + " ms", fixed(f.startupMs[1], 1) + " ms", "≤ 1.10 × floor", ratio <= 1.10,
             fixed(ratio, 2) + " × floor");
    if (f.mappedMs[1] > 0) {
        const double mapRatio = f.mappedMs[0] / f.mappedMs[1];
        rows.add("startup",
                 "Start to intro window mapped (MapNotify), seen by an X client outside (" + medianOf(o.runs) + ")",
                 fixed(f.mappedMs[0], 1) + " ms", fixed(f.mappedMs[1], 1) + " ms", "≤ 1.10 × floor", mapRatio <= 1.10,
                 fixed(mapRatio, 2) + " × floor");
    }
}

void addTimings(Rows &rows, const Figures &f, const Options &o)
{
    rows.add("timings", "Enter: intro to menu painted, warm (" + medianOf(o.switches) + ")",
             fixed(f.enterMs[0], 2) + " ms", fixed(f.enterMs[1], 2) + " ms", "≤ 3 ms", f.enterMs[0] <= 3);
    rows.add("timings", "Back: menu to intro painted, warm (" + medianOf(o.switches) + ")",
             fixed(f.backMs[0], 2) + " ms", fixed(f.backMs[1], 2) + " ms", "≤ 2 ms", f.backMs[0] <= 2);
    rows.add("timings", "Pointer movement onto a group button, caption line repainted (" + medianOf(o.moves) + ")",
             fixed(f.moveUs[0], 1) + " µs", fixed(f.moveUs[1], 1) + " µs", "≤ 20 µs", f.moveUs[0] <= 20);
    const std::string click = "Group click, viewer started: window blocked (" + medianOf(o.clicks) + ")";
    const double sessionRatio = f.clickMs[0] / f.clickSessionFloorMs;
    rows.add("timings", click + ", against the floor starting its program in a session of its own",
             fixed(f.clickMs[0], 2) + " ms", fixed(f.clickSessionFloorMs, 2) + " ms", "≤ 3 × floor", sessionRatio <= 3,
             fixed(sessionRatio, 2) + " × floor");
    rows.add("timings", click + ", against the bare floor", fixed(f.clickMs[0], 2) + " ms",
             fixed(f.clickMs[1], 2) + " ms", "≤ 2 ms", f.clickMs[0] <= 2,
             fixed(f.clickMs[0] / f.clickMs[1], 2) + " × floor");
}

void addMemory(Rows &rows, const Figures &f, const Options &o)
{
    const std::string memory = "Peak resident memory (VmHWM), whole process, after enter, ten group clicks and back (" +
                               medianOf(o.memoryRuns) + ")";
    const double aboveText = f.hwmMiB[0] - f.hwmTextFloorMiB;
    rows.add("memory", memory + ", against the floor drawing one Thai caption", fixed(f.hwmMiB[0], 1) + " MiB",
             fixed(f.hwmTextFloorMiB, 1) + " MiB", "≤ floor + 3 MiB", aboveText <= 3,
             signedFixed(aboveText, 1) + " MiB");
    rows.addUnjudged("memory",
                     {memory + ", against the bare floor", fixed(f.hwmMiB[0], 1) + " MiB",
                      fixed(f.hwmMiB[1], 1) + " MiB", "—", signedFixed(f.hwmMiB[0] - f.hwmMiB[1], 1) + " MiB"});
}

void addGrowth(Rows &rows, const Figures &f, const Options &o)
{
    const std::string after = " after " + std::to_string(o.cycles) + " enter/back cycles and " +
                              std::to_string(o.enduranceClicks) + " group clicks";
    rows.add("growth", "Resident memory growth" + after,
             signedFixed(f.growthMiB[0], 2) + " MiB (heap " + signedFixed(f.heapGrowthKiB[0], 0) + " KiB)",
             signedFixed(f.growthMiB[1], 2) + " MiB (heap " + signedFixed(f.heapGrowthKiB[1], 0) + " KiB)", "≤ 1 MiB",
             f.growthMiB[0] <= 1);
    rows.add("growth", "Open descriptors, growth" + after, signedFixed(f.descriptors[0], 0),
             signedFixed(f.descriptors[1], 0), "0", f.descriptors[0] <= 0);
    rows.add("growth", "Child processes, growth" + after, signedFixed(f.children[0], 0), signedFixed(f.children[1], 0),
             "0", f.children[0] <= 0);
}

// Width in characters, not bytes (µ, ≤, × and — are multibyte).
std::size_t width(const std::string &s)
{
    std::size_t count = 0;
    for (unsigned char c : s)
        count += (c & 0xC0) != 0x80;
    return count;
}

std::array<const std::string *, 5> cells(const Row &r)
{
    return {&r.measure, &r.velodane, &r.floor, &r.goal, &r.verdict};
}

// The rows under a head as a Markdown table, the figures right-aligned.
std::string render(const std::vector<Row> &rows)
{
    const Row head{"Measure", "Velodane", "Floor", "Goal", "Result"};
    std::size_t w[5] = {};
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

} // namespace

std::string table(const Figures &f, const Options &o)
{
    Rows rows(o);
    addStartup(rows, f, o);
    addTimings(rows, f, o);
    addMemory(rows, f, o);
    addGrowth(rows, f, o);
    return render(rows.rows());
}

bool mapsWindows(const Environment &env)
{
    auto get = [&](const char *k) {
        auto it = env.find(k);
        return it == env.end() ? std::string() : it->second;
    };
    const std::string qpa = get("QT_QPA_PLATFORM");
    return !get("DISPLAY").empty() && (qpa == "xcb" || (qpa.empty() && get("WAYLAND_DISPLAY").empty()));
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

} // namespace vd::bench
