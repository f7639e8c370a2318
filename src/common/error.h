// Errors raised by window, control and automation operations: every layer
// raises them, the top level reports them.
#pragma once

#include <stdexcept>
#include <string>

namespace vd {

// A failure of a window, control or automation operation: a number and a
// description, as the user is shown them. Handlers never catch these; the
// toolkit's dispatcher is the top level that reports them.
class Error : public std::runtime_error {
public:
    Error(long number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description))
    {
    }

    long number() const noexcept { return number_; }
    const std::string &description() const noexcept { return description_; }

private:
    long number_;
    std::string description_;
};

// Error numbers raised by our own layers (the automation components add the
// numbers of the programs they drive).
namespace errors {
inline constexpr long OutOfMemory = 7;
inline constexpr long Internal = 51;
inline constexpr long ControlNotFound = 730;
inline constexpr long ImageNotFound = 481; // "Invalid picture"
inline constexpr long CantCreateObject = 429;
inline constexpr long MemberNotFound = 438; // "Object doesn't support this property or method"
inline constexpr long TypeMismatch = 13;
inline constexpr long ObjectRequired = 424;
inline constexpr long WrongArguments = 450;
} // namespace errors

} // namespace vd
