// COM on the user-interface thread for the word processor's objects: the
// single-threaded apartment, and a message filter that keeps a call that a
// busy word processor rejects retrying for a bounded time.
#pragma once

#include "automation/windows/com_holders.h"

#include <chrono>
#include <functional>
#include <string_view>

namespace vd::automation::winword {

// How long a call that the word processor keeps rejecting is retried.
inline constexpr std::chrono::milliseconds DefaultBusyBound{10'000};
// The pause between two tries of a rejected call.
inline constexpr DWORD RetryIntervalMs = 250;

// What the message filter answers COM about a rejected call, elapsedMs after
// the call began: wait RetryIntervalMs and retry while within the bound,
// else cancel ((DWORD)-1), which fails the call with RPC_E_CALL_REJECTED.
DWORD retryDecision(ULONGLONG elapsedMs, DWORD rejectType, std::chrono::milliseconds bound);

// True for the HRESULTs of a call that the callee rejected as busy.
bool isRejectedAsBusy(HRESULT hr);

// Waits up to ms, dispatching paint messages so that the program's windows
// stay drawn, and dropping mouse clicks and keystrokes meant for them: a
// click made while the word processor is busy must not start another
// request later.
void waitPainting(DWORD ms);

class MessageFilter;

// Every object holding a COM reference of the word processor's holds the
// session too (shared), so the apartment is left only after the last
// reference is released. Created, used and dropped on the user-interface
// thread only.
class Session {
public:
    explicit Session(std::chrono::milliseconds busyBound = DefaultBusyBound);
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
    ~Session();

    // On first use: enters the single-threaded apartment (or joins the one the
    // thread is already in) and registers the message filter.
    void start();

    // Runs attempt (one COM call) until it is not rejected as busy, then
    // returns its HRESULT; throws busyError once the calls have been
    // rejected for longer than the bound.
    HRESULT retrying(const std::function<HRESULT()> &attempt);

    std::chrono::milliseconds busyBound() const noexcept { return bound_; }

private:
    std::chrono::milliseconds bound_;
    bool started_ = false;
    bool uninitialize_ = false;
    bool filterRegistered_ = false;
    ComPtr<MessageFilter> filter_;
    ComPtr<IMessageFilter> previous_;
};

} // namespace vd::automation::winword
