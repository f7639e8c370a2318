// Velodane's own "word.Application" for machines without Microsoft Word: the
// stand-in object model (stand_in.h), whose Documents.Open checks that
// FileName is an existing file, then has Windows open it with the "open"
// verb of its type (ShellExecuteExW), in whatever program Windows associates
// with it (LibreOffice, WPS, a viewer).
//
// Failures of Open, beside the object model's own (438, 450, 13):
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
