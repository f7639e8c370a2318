// What the benchmark's driver measures and how often (its command line), and
// the figures it collects.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace vd::bench {

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
    std::string mapwatch = VELODANE_MAPWATCH_PROGRAM;
    std::string output;
    // "offscreen", or "display" for the whole-process runs' platform.
    std::string inProcessPlatform = "offscreen";
    // Which measurements to make: start-up, memory, timings, growth.
    std::vector<std::string> only = {"startup", "memory", "timings", "growth"};
    bool wants(const std::string &what) const { return std::find(only.begin(), only.end(), what) != only.end(); }
};

struct Figures {
    double startupMs[2] = {}; // [0] velodane, [1] floor: to the first paint
    double mappedMs[2] = {};  // to the MapNotify of the window, seen from outside
    double hwmMiB[2] = {};
    double hwmTextFloorMiB = 0; // the floor drawing one Thai caption
    double enterMs[2] = {}, backMs[2] = {}, moveUs[2] = {}, clickMs[2] = {};
    double clickSessionFloorMs = 0; // the floor starting its program in a session of its own
    double growthMiB[2] = {}, heapGrowthKiB[2] = {};
    double descriptors[2] = {}, children[2] = {};
};

} // namespace vd::bench
