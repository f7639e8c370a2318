// The environment variables the Linux "word.Application" component reads:
// where the Windows drives live and where the word processor is found.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vd::automation::linuxword {

// Looks up one environment variable; nothing when it is not set.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;

// The environment of this process, read at each lookup.
Environment processEnvironment();

} // namespace vd::automation::linuxword
