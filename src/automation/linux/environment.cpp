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

} // namespace vd::automation::linuxword
