// The part of Microsoft Word's object model that the program drives, for the
// components that stand in for Word: on Linux always, on Windows where Word
// isn't installed. Only what opens a document differs between them.
//
//   Application.Visible    property, get and put, a boolean (false at first).
//                          Only remembered: what opens the document shows a
//                          window of its own.
//   Application.Documents  property or method without arguments: the
//                          collection of documents, always the same object.
//   Documents.Open(FileName, ...)
//                          method: hands FileName to the component's opener.
//                          Word's other optional arguments, up to 15 more,
//                          are accepted and ignored. Returns nothing.
//
// Member names are matched without regard to letter case. Failures: 438 (no
// such member, or one asked for in a way it doesn't support), 450 (wrong
// number of arguments) and 13 (an argument of the wrong type), told as
// automation.h tells them; and the opener's own.
#pragma once

#include "automation/automation.h"

#include <cstddef>
#include <functional>
#include <string>

namespace vd::automation {

// Word's Documents.Open takes 16 arguments.
inline constexpr std::size_t OpenMaxArguments = 16;

// Opens one document, given as the program gave its name; every failure an
// Error.
using OpenDocument = std::function<void(const std::string &fileName)>;

ObjectRef makeStandInApplication(OpenDocument open);

} // namespace vd::automation
