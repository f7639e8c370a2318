// Running the measured processes: each started with an environment of its
// own, its report lines read from its descriptor 3, its output appended to a
// log, and the figures read from its report.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace vd::bench {

// A failure of the benchmark itself: the run stops and says why.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Environment = std::map<std::string, std::string>;

// The environment this process was started with.
Environment currentEnvironment();

struct Finished {
    std::vector<std::string> lines;
    std::int64_t startNs = 0;
};

// Starts the program with that environment, its report lines coming on its
// descriptor 3, its output appended to the log; waits for it to end.
Finished run(const std::vector<std::string> &command, const Environment &environment, const std::string &log,
             int timeoutSeconds);

// The value of the first line "<key> <value>" or "<key> <word> <value>".
double field(const Finished &f, const std::string &key);

} // namespace vd::bench
