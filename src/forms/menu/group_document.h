// The soil-series groups and the fixed paths of their documents.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vd::forms {

// A soil-series group, 1 to 62; the menu's group button CommandN belongs to group N.
using GroupNumber = int;
inline constexpr GroupNumber FirstGroup = 1;
inline constexpr GroupNumber LastGroup = 62;

// "c:\Program Files\Velodane\vd" N ".doc", N without leading zeros.
std::string GroupDocument(GroupNumber group);

// The group whose button has this name ("Command1" to "Command62"), if any.
std::optional<GroupNumber> groupOfButton(std::string_view control);

// "กลุ่มชุดดินที่ " followed by the group's number.
std::string groupName(GroupNumber group);

} // namespace vd::forms
