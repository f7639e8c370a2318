#include "automation/windows/session.h"

#include "automation/windows/com_errors.h"

#include <objidl.h>

#include <algorithm>
#include <atomic>

namespace vd::automation::winword {

// How a rejected call keeps the window painted.
//
// On Windows, COM asks this filter what to do with a call that the word
// processor rejects (SERVERCALL_RETRYLATER / SERVERCALL_REJECTED, answered
// while one of its dialogs is open). RetryRejectedCall answers "wait
// RetryIntervalMs, then retry" until the bound has passed since the call
// began, then cancels. While COM waits, for the answer or before a retry, it
// runs its own modal message loop on this thread and asks MessagePending
// about each message that arrives; PENDINGMSG_WAITDEFPROCESS lets COM dispatch
// WM_PAINT (and the system's activation messages) while it holds keyboard
// and mouse input back, so the windows repaint but no handler of ours runs
// again in the middle of the call.
//
// Where COM hands the rejection straight back to the caller instead (after
// the filter cancelled, or on a COM without client-side retries, such as
// Wine's), Session::retrying retries the call itself with the same bound,
// waiting in waitPainting, which dispatches WM_PAINT in the same way.
class MessageFilter final : public IMessageFilter {
public:
    explicit MessageFilter(std::chrono::milliseconds bound) : bound_(bound) {}
    virtual ~MessageFilter() = default;

    void beginCall() noexcept { callStart_ = GetTickCount64(); }
    void endCall() noexcept { callStart_ = 0; }
    ULONGLONG elapsed(DWORD comTicks) const noexcept { return callStart_ ? GetTickCount64() - callStart_ : comTicks; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
            *object = static_cast<IMessageFilter *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // We serve no calls of our own.
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override
    {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType) override
    {
        return retryDecision(elapsed(tickCount), rejectType, bound_);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

private:
    std::chrono::milliseconds bound_;
    ULONGLONG callStart_ = 0;
    std::atomic<ULONG> references_{1};
};

DWORD retryDecision(ULONGLONG elapsedMs, DWORD rejectType, std::chrono::milliseconds bound)
{
    if (rejectType != SERVERCALL_RETRYLATER && rejectType != SERVERCALL_REJECTED)
        return static_cast<DWORD>(-1);
    if (elapsedMs >= static_cast<ULONGLONG>(bound.count()))
        return static_cast<DWORD>(-1);
    return RetryIntervalMs;
}

bool isRejectedAsBusy(HRESULT hr)
{
    return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER;
}

void waitPainting(DWORD ms)
{
    const ULONGLONG until = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
        while (PeekMessageW(&msg, nullptr, WM_LBUTTONDOWN, WM_MOUSELAST, PM_REMOVE)) {
        }
        // A window whose painting never validates it would keep WM_PAINT
        // coming: a bounded number per round.
        for (int i = 0; i < 64 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
            DispatchMessageW(&msg);
        const ULONGLONG now = GetTickCount64();
        if (now >= until)
            return;
        // Wakes for paint requests, new clicks and keys (to drop them), and
        // messages sent by other threads (PeekMessage delivers those).
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now),
                                    QS_PAINT | QS_MOUSEBUTTON | QS_KEY | QS_SENDMESSAGE, 0);
    }
}

Session::Session(std::chrono::milliseconds busyBound) : bound_(busyBound) {}

Session::~Session()
{
    if (filterRegistered_) {
        ComPtr<IMessageFilter> ours;
        CoRegisterMessageFilter(previous_.get(), ours.put());
    }
    previous_.reset();
    filter_.reset();
    if (uninitialize_)
        CoUninitialize();
}

void Session::start()
{
    if (started_)
        return;
    started_ = true;
    // S_FALSE: the thread was in the apartment already; it is counted all the
    // same. RPC_E_CHANGED_MODE (a multithreaded apartment): used as it is,
    // without a filter; Session::retrying still bounds a busy callee.
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    uninitialize_ = SUCCEEDED(hr);
    filter_ = ComPtr<MessageFilter>::adopt(new MessageFilter(bound_));
    filterRegistered_ = SUCCEEDED(CoRegisterMessageFilter(filter_.get(), previous_.put()));
}

HRESULT Session::retrying(const std::function<HRESULT()> &attempt)
{
    struct CallTime {
        MessageFilter *filter;
        explicit CallTime(MessageFilter *f) : filter(f)
        {
            if (filter)
                filter->beginCall();
        }
        ~CallTime()
        {
            if (filter)
                filter->endCall();
        }
    } callTime(filter_.get());

    const ULONGLONG start = GetTickCount64();
    const auto bound = static_cast<ULONGLONG>(bound_.count());
    for (;;) {
        const HRESULT hr = attempt();
        if (!isRejectedAsBusy(hr))
            return hr;
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= bound)
            throw busyError(hr, static_cast<long>((bound + 999) / 1000));
        waitPainting(static_cast<DWORD>(std::min<ULONGLONG>(RetryIntervalMs, bound - elapsed)));
    }
}

} // namespace vd::automation::winword
