// The benchmark's two roles in one program: the driver, which starts every
// measured process and prints the table, and the in-process measurements,
// which it starts as child processes of its own.
#pragma once

namespace vd::bench {

int runDriver(int argc, char **argv);
int runChild(int argc, char **argv);

} // namespace vd::bench
