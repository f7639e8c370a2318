// Names compared as Windows compares class, member and file names: without
// regard to the letter case of ASCII letters.
#pragma once

#include <string_view>

namespace vd {

// 'A' to 'Z' as 'a' to 'z'; every other byte as it is.
constexpr char asciiLower(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal byte for byte once ASCII letters are folded to lower case.
bool sameName(std::string_view a, std::string_view b) noexcept;

} // namespace vd
