// Text between our UTF-8 and Windows' UTF-16, and COM failures turned into
// Errors numbered as the platform's Basic runtime numbers them.
#pragma once

#include "common/error.h"

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <string_view>

namespace vd::automation::winword {

// Word's own number for "This file could not be found".
inline constexpr long FileNotFound = 5174;

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// "0x800401F3".
std::string hexCode(HRESULT hr);
// The system's message text for hr, without the trailing line break; empty
// when the system has none.
std::string systemMessage(HRESULT hr);

// The number Basic gives an exception raised by a server: wCode where set,
// else the low 16 bits of an scode of the Basic range (FACILITY_CONTROL),
// else the scode itself.
long exceptionNumber(const EXCEPINFO &info);

// The Error for a failed GetIDsOfNames or Invoke of member:
//   DISP_E_UNKNOWNNAME, DISP_E_MEMBERNOTFOUND             438
//   DISP_E_BADPARAMCOUNT, DISP_E_PARAMNOTOPTIONAL          450
//   DISP_E_TYPEMISMATCH, DISP_E_BADVARTYPE                 13
//   E_OUTOFMEMORY                                           7
//   DISP_E_EXCEPTION  exceptionNumber(*exception), with the server's own
//                     description (the system's text for its scode when the
//                     server gave none)
//   anything else     hr itself, with the system's message text
Error callError(HRESULT hr, std::string_view member, const EXCEPINFO *exception);

// 429 for a class that couldn't be created, naming it, with the system's text
// for hr.
Error creationError(HRESULT hr, std::string_view className);

// The word processor rejected a call (a dialog of its own is open) for
// longer than the bound: numbered by the last rejection's HRESULT, told
// without naming the call, which the user can't act on.
Error busyError(HRESULT hr, long boundSeconds);

// The system's text, marked as the system's, to follow ours: empty when
// there is none.
std::string theSystemSays(std::string_view text);

} // namespace vd::automation::winword
