// The word processor's COM calls, made on a thread of their own and waited
// for on the user-interface thread for a bounded time.
//
// Every call to the word processor (creating its object, each member,
// releasing a reference) runs on one thread of the multithreaded apartment,
// the word processor's thread, one call after another. The user-interface
// thread waits for each call for at most the bound (10 s), and meanwhile
// paints the program's windows and drops the clicks and keys meant for them,
// so that a click made while the word processor is slow starts nothing later.
// A call that the word processor rejects as busy (one of its dialogs is open)
// is retried every RetryIntervalMs within the bound. When the bound has
// passed, the wait ends with a report: busy when the last try was rejected,
// else "did not answer". A call given up that way is left to end on its own
// (COM can't take it back); a call that had not started yet never starts.
// The program's windows closed meanwhile (by the system, a sent or posted
// WM_CLOSE, a close from the taskbar or the task manager) end the wait at
// once, the program having ended: the call is left as after the bound.
#pragma once

#include "automation/windows/com_holders.h"
#include "common/error.h"
#include "common/win32/com.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

namespace vd::automation::winword {

// How long the user-interface thread waits for one call.
inline constexpr std::chrono::milliseconds DefaultBusyBound{10'000};
// The pause between two tries of a rejected call.
inline constexpr DWORD RetryIntervalMs = 250;

// After a rejection of type rejectType (SERVERCALL_RETRYLATER or
// SERVERCALL_REJECTED), elapsedMs after the call began: wait RetryIntervalMs
// and retry while within the bound, else give up ((DWORD)-1).
DWORD retryDecision(ULONGLONG elapsedMs, DWORD rejectType, std::chrono::milliseconds bound);

// True for the HRESULTs of a call that the callee rejected as busy.
bool isRejectedAsBusy(HRESULT hr);

enum class Waited { Done, TimedOut, ProgramEnded };

// Waits until done is set or ms have passed, dispatching paint messages so
// that the program's windows stay drawn and dropping mouse clicks and
// keystrokes meant for them. Requests to close a window (WM_CLOSE, the
// taskbar's close) are let through; once they have ended the program
// (WM_QUIT posted), the wait ends, WM_QUIT posted again for the event loop.
Waited waitPainting(HANDLE done, DWORD ms);

// Thrown when the wait ended with the program: reported to no one.
Error programEnding();

// What the user is told when a call did not come back within the bound.
using LateReport = Error (*)(long boundSeconds);

class CallThread;

// Shared by the registry and every object of the word processor's, so that
// the calls' thread ends only after the last reference is released.
class Session {
public:
    // apartment: the user-interface thread's, whose owner outlives the
    // session; without one the session owns it.
    explicit Session(std::chrono::milliseconds busyBound = DefaultBusyBound, win32::ComApartment *apartment = nullptr);
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
    ~Session();

    // On first use, on the user-interface thread: enters its single-threaded
    // apartment, kept for the run.
    void start();

    // Runs work on the word processor's thread and returns its result or
    // throws its Error, waiting as this file's top says; throws late's
    // report (or the busy one) once the bound has passed. work owns all it
    // uses: it may outlive the wait.
    template <class Work> auto run(Work work, LateReport late) -> std::invoke_result_t<Work &>
    {
        using Result = std::invoke_result_t<Work &>;
        if constexpr (std::is_void_v<Result>) {
            runBounded(std::move(work), late);
        } else {
            auto result = std::make_shared<std::optional<Result>>();
            runBounded([result, work = std::move(work)]() mutable { result->emplace(work()); }, late);
            return std::move(**result);
        }
    }

    // On the calling thread: attempt (one COM call) until it is not
    // rejected as busy, then its HRESULT; busyError once it has been
    // rejected for longer than the bound.
    HRESULT retrying(const std::function<HRESULT()> &attempt);

    // Drops a reference on the word processor's thread, without waiting.
    void release(ComPtr<IDispatch> object) noexcept;

    std::chrono::milliseconds busyBound() const noexcept { return bound_; }

private:
    void runBounded(std::function<void()> work, LateReport late);

    std::chrono::milliseconds bound_;
    std::shared_ptr<CallThread> calls_;
    win32::ComApartment *apartment_;
    std::unique_ptr<win32::ComApartment> own_;
    DWORD startThread_ = 0;
};

} // namespace vd::automation::winword
