// "word.Application" on Windows: Microsoft Word's own automation object,
// created and driven late bound as the platform's Basic does it, or, where
// Word isn't installed, Velodane's own stand-in (shell_word.h) that opens the
// document with the program Windows associates with it.
//
// Creating: CLSIDFromProgID("word.Application"), then CoCreateInstance with
// CLSCTX_SERVER on the local machine, asking for IDispatch. When the name or
// its class isn't registered (CO_E_CLASSSTRING, REGDB_E_CLASSNOTREG) the
// stand-in is created instead; the class that Word registers always wins when
// it is there. Any other failure to create is 429.
//
// Calls (dispatch_object.h): members looked up by name at each call; failures
// numbered as com_errors.h tells. A call that Word rejects while one of its
// dialogs is open is retried for the busy bound (session.h), the windows
// still painting, then fails with a Thai description saying that Word is
// busy. Dropping an object releases its reference and nothing else: Word is
// never asked to close a document or to quit.
//
// COM is entered on the thread of the first creation, which must be the
// user-interface thread; it is left once the registry and every object
// created from it are gone, on that same thread.
#pragma once

#include "automation/automation.h"

#include <chrono>

namespace vd::automation::winword {

struct Options {
    // How long a call that Word keeps rejecting as busy is retried.
    std::chrono::milliseconds busyBound{10'000};
};

// Registers "word.Application" with the default options.
void registerClasses(Registry &registry);
void registerClasses(Registry &registry, Options options);

} // namespace vd::automation::winword
