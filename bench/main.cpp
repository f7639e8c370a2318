// velodane-bench: measures the program against bare Qt floors and prints one
// table of medians. See driver.cpp for what is measured and how.
#include "bench.h"

#include <cstring>

int main(int argc, char **argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--child") == 0)
        return vd::bench::runChild(argc, argv);
    return vd::bench::runDriver(argc, argv);
}
