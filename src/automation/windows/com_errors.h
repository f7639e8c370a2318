// Text between our UTF-8 and Windows' UTF-16, and COM failures turned into
// Errors numbered as the platform's Basic runtime numbers them.
#pragma once

#include "common/error.h"
#include "common/win32/com.h"

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <string_view>

namespace vd::automation::winword {

// The most of another's text that a report shows, in characters.
inline constexpr std::size_t TheirWordsLength = 400;

// Word's own number for "This file could not be found".
inline constexpr long FileNotFound = 5174;

// Text as the toolkit converts it (common/win32/com.h).
using win32::narrow;
inline std::wstring widen(std::string_view utf8)
{
    return win32::wide(utf8);
}

// "0x800401F3".
std::string hexCode(HRESULT hr);
// The system's message text for hr, without the trailing line break; empty
// when the system has none.
std::string systemMessage(HRESULT hr);

// The number Basic gives an exception raised by a server: wCode where set,
// else the low 16 bits of an scode of the Basic range (FACILITY_CONTROL),
// else the scode itself.
long exceptionNumber(const EXCEPINFO &info);

// The Error for a failed GetIDsOfNames or Invoke, in our Thai words, which
// name no member:
//   DISP_E_UNKNOWNNAME, DISP_E_MEMBERNOTFOUND             438
//   DISP_E_BADPARAMCOUNT, DISP_E_PARAMNOTOPTIONAL          450
//   DISP_E_TYPEMISMATCH, DISP_E_BADVARTYPE                 13
//   E_OUTOFMEMORY                                           7
//   DISP_E_EXCEPTION  exceptionNumber(*exception), followed by the server's
//                     own description marked as Word's (the system's text for
//                     its scode, marked as the system's, when it gave none;
//                     where neither has one, what Word was asked, `asked`,
//                     in our words)
//   anything else     hr itself, followed by the system's text
Error callError(HRESULT hr, const EXCEPINFO *exception, std::string_view asked = {});

// 429 for a class that couldn't be created, naming it and hr, followed by
// the system's text for hr.
Error creationError(HRESULT hr, std::string_view className);

// The class's program was started but its object didn't come within the
// bound: CO_E_SERVER_EXEC_FAILURE, as Windows numbers a server that never
// registers.
Error startedButSilent(long boundSeconds);

// A call went out but didn't come back within the bound: RPC_E_TIMEOUT.
Error callNotAnswered(long boundSeconds);

// The word processor rejected a call (a dialog of its own is open) for
// longer than the bound: numbered by the last rejection's HRESULT, told
// without naming the call, which the user can't act on.
Error busyError(HRESULT hr, long boundSeconds);

// Another's text under its label, to follow ours: " (ข้อความของ Word: ...)";
// empty when there is none. Its line breaks and runs of blanks are made one
// blank, and a text longer than TheirWordsLength characters is cut there,
// marked as cut, so that a report stays within the screen.
std::string theirWords(std::string_view label, std::string_view text);
// The same for the system's text.
std::string theSystemSays(std::string_view text);

} // namespace vd::automation::winword
