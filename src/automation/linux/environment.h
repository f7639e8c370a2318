// The environment variables the Linux "word.Application" component reads:
// where the Windows drives live and where the word processor is found.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vd::automation::linuxword {

// Looks up one environment variable; nothing when it is not set.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;

// The environment of this process, read at each lookup.
Environment processEnvironment();

// The absolute entries of a colon-separated list of folders such as PATH, in
// order; empty and relative ones are skipped.
std::vector<std::string_view> absoluteEntries(std::string_view list);

} // namespace vd::automation::linuxword
