// "word.Application" on Windows: Microsoft Word's own automation object,
// created and driven late bound as the platform's Basic does it, or, where
// Word isn't installed, Velodane's own stand-in (shell_word.h) that opens the
// document with the program Windows associates with it.
//
// Creating: CLSIDFromProgID("word.Application"), then CoCreateInstance with
// CLSCTX_SERVER on the local machine, asking for IDispatch. When the name or
// its class isn't registered (CO_E_CLASSSTRING, REGDB_E_CLASSNOTREG) the
// stand-in is created instead; the class that Word registers always wins when
// it is there. Any other failure to create is 429. Where the name is
// registered but its program can't be started, the stand-in is created all
// the same, and its reports say that Word is there but didn't start.
//
// Calls (dispatch_object.h): members looked up by name at each call; failures
// numbered as com_errors.h tells. Creating and every call run on a thread of
// their own, and the user-interface thread waits for each for at most the
// bound (session.h: 10 s), its windows painting and its clicks and keys
// dropped; a call that Word rejects as busy (one of its dialogs is open) is
// retried meanwhile. After the bound the click fails with a Thai report:
// Word busy, Word started but silent (its object never came), or a call
// that never came back. Dropping an object releases its reference and
// nothing else: Word is never asked to close a document or to quit.
//
// The user-interface thread's single-threaded apartment is entered at the
// first creation; the shell's opener, too, runs on the calls' thread.
#pragma once

#include "automation/automation.h"

#include <chrono>

namespace vd::win32 {
class ComApartment;
}

namespace vd::automation::winword {

struct Options {
    // How long the user-interface thread waits for one call, busy or silent.
    std::chrono::milliseconds busyBound{10'000};
    // The user-interface thread's apartment, the toolkit's; without one, the
    // classes enter it themselves.
    win32::ComApartment *apartment = nullptr;
};

// Registers "word.Application" with the default options.
void registerClasses(Registry &registry);
void registerClasses(Registry &registry, Options options);

} // namespace vd::automation::winword
