// Velodane's own "word.Application" for machines without Microsoft Word: the
// part of Word's object model that the program drives, opening documents with
// whatever program Windows associates with them (LibreOffice, WPS, a viewer).
//
//   Application.Visible    property, get and put, a boolean; only remembered:
//                          the associated program shows its own window.
//   Application.Documents  property or method without arguments: the
//                          collection of documents, always the same object.
//   Documents.Open(FileName, ...)
//                          method: checks that FileName is an existing file,
//                          then has Windows open it with the "open" verb of
//                          its type (ShellExecuteExW). Word's other optional
//                          arguments, up to 15 more, are accepted and
//                          ignored. Returns nothing.
//
// Member names are matched without regard to letter case. Failures:
//   438  no such member, or a member requested in a way it doesn't support
//   450  wrong number of arguments
//   13   an argument of the wrong type
//   5174 FileName is not an existing file (Word's "This file could not be
//        found"); the description names the path; nothing is started
//   429  no program is associated with the document's type, or the
//        associated program couldn't be started
#pragma once

#include "automation/automation.h"

#include <memory>

namespace vd::automation::winword {

// apartment keeps COM entered on this thread for as long as the object lives
// (the shell may use COM to start the program).
ObjectRef createShellApplication(std::shared_ptr<const void> apartment);

} // namespace vd::automation::winword
