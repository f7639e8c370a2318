// Small helpers shared by the benchmark's programs: the clock, medians, and
// what /proc tells about a process (resident memory, descriptors, children).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>

namespace vd::bench {

// CLOCK_MONOTONIC in nanoseconds: one clock for every process of the run.
std::int64_t nowNs() noexcept;

// The median of the samples (the mean of the middle two for an even count);
// 0 for none.
double median(std::vector<double> samples);

// A "kB" field of /proc/<pid>/status, e.g. "VmHWM" or "VmRSS"; -1 when absent.
long statusKb(pid_t pid, const char *field);
long selfStatusKb(const char *field);

// Open descriptors of this process.
int openDescriptors();

// Processes whose parent is this process, zombies included.
int childProcesses();

// Heap bytes in use, as malloc counts them (arenas and mapped blocks).
long long heapInUse();

} // namespace vd::bench
