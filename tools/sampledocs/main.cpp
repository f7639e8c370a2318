// velodane-sampledocs <folder>
// Writes the stand-in documents vd1.doc to vd62.doc into <folder> (created
// when needed), never replacing a file that is already there, and prints how
// many were written and how many kept. Exit status: 0 on success, 1 when a
// file or the folder couldn't be written, 2 on wrong usage.
#include "sample_documents.h"

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    static const char usage[] =
        "usage: velodane-sampledocs <folder>\n"
        "Writes the sample documents vd1.doc to vd62.doc into <folder>; existing files are kept.\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0') {
        std::fputs(usage, stderr);
        return 2;
    }
    const vd::sampledocs::Outcome outcome = vd::sampledocs::writeSampleDocuments(argv[1]);
    for (const std::string &failure : outcome.failures)
        std::fprintf(stderr, "velodane-sampledocs: %s\n", failure.c_str());
    std::printf("velodane-sampledocs: written %d, kept %d, failed %zu in %s\n", outcome.written, outcome.kept,
                outcome.failures.size(), argv[1]);
    return outcome.failures.empty() ? 0 : 1;
}
