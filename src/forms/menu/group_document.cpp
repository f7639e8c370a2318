#include "forms/menu/group_document.h"

#include <charconv>

namespace vd::forms {

std::string GroupDocument(GroupNumber group)
{
    return "c:\\Program Files\\Velodane\\vd" + std::to_string(group) + ".doc";
}

std::optional<GroupNumber> groupOfButton(std::string_view control)
{
    constexpr std::string_view prefix = "Command";
    if (!control.starts_with(prefix))
        return std::nullopt;
    const std::string_view digits = control.substr(prefix.size());
    if (digits.empty() || digits.front() == '0')
        return std::nullopt;
    GroupNumber n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size() || n < FirstGroup || n > LastGroup)
        return std::nullopt;
    return n;
}

std::string groupName(GroupNumber group)
{
    return "กลุ่มชุดดินที่ " + std::to_string(group);
}

} // namespace vd::forms
