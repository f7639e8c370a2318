// Stand-in documents for the 62 soil-series groups: RTF files named
// vd1.doc to vd62.doc (a word processor recognises RTF by its content, not
// by the name), each saying in Thai which group it stands for and where the
// real description belongs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vd::sampledocs {

inline constexpr int GroupCount = 62;

// "vdN.doc"
std::string fileName(int group);
// "c:\Program Files\Velodane\vdN.doc", where the program looks for it.
std::string windowsPath(int group);

// The lines of the document, in UTF-8.
std::vector<std::string> sampleLines(int group);

// UTF-8 text as RTF body text: \, { and } escaped, everything beyond ASCII
// as \uN? (N a signed 16-bit UTF-16 unit, "?" the fallback for readers
// without Unicode), newlines as \line.
std::string rtfText(std::string_view utf8);

// The whole RTF document of a group, with a Thai font table (\fcharset222).
std::string rtfDocument(int group);

struct Outcome {
    int written = 0;
    int kept = 0;
    std::vector<std::string> failures; // one message per file or folder that failed
};

// Writes every group's document that doesn't exist yet in `folder`, which is
// created when needed. An existing file of that name (or anything else of
// that name, a link included) is left as it is. Each file is written under a
// temporary name and then moved into place without replacing anything, so no
// reader ever sees half a document.
Outcome writeSampleDocuments(const std::string &folder);

} // namespace vd::sampledocs
