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
//        associated program couldn't be started; where "word.Application"
//        is registered but its program couldn't be started, the report
//        says so rather than that there is no Word
//   0x800705B4 (ERROR_TIMEOUT) the associated program didn't answer within
//        the session's bound (a program asked through DDE that is slow or
//        never answers); the document still opens if it answers later
//
// The check and the shell's call run on the session's call thread, waited
// for as every call to Word is (session.h); without a session, on the
// calling thread.
#pragma once

#include "automation/automation.h"

#include <windows.h>

#include <memory>

namespace vd::automation::winword {

class Session;

// wordFailure: why Word, registered as "word.Application", couldn't be
// created; S_OK where it isn't registered at all.
ObjectRef createShellApplication(std::shared_ptr<Session> session, HRESULT wordFailure = S_OK);

// The associated program didn't answer within the bound.
Error associatedNotAnswered(long boundSeconds);

} // namespace vd::automation::winword
