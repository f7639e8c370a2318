#include "automation/linux/environment.h"

#include <cstdlib>

namespace vd::automation::linuxword {

Environment processEnvironment()
{
    return [](std::string_view name) -> std::optional<std::string> {
        const std::string key(name);
        if (const char *value = std::getenv(key.c_str()))
            return std::string(value);
        return std::nullopt;
    };
}

std::vector<std::string_view> absoluteEntries(std::string_view list)
{
    std::vector<std::string_view> entries;
    while (true) {
        const std::size_t end = list.find(':');
        if (const std::string_view entry = list.substr(0, end); !entry.empty() && entry.front() == '/')
            entries.push_back(entry);
        if (end == std::string_view::npos)
            return entries;
        list.remove_prefix(end + 1);
    }
}

} // namespace vd::automation::linuxword
