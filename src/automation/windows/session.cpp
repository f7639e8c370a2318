#include "automation/windows/session.h"

#include "automation/windows/com_errors.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <exception>
#include <utility>

namespace vd::automation::winword {

namespace {

Error cantStart(HRESULT hr)
{
    return Error(static_cast<long>(hr), "เริ่มงานกับ Word ไม่ได้" + theSystemSays(systemMessage(hr)));
}

// One piece of work for the word processor's thread, and, when somebody
// waits for it, the event set once it is done.
struct Job {
    Job(std::function<void()> w, LateReport l) : work(std::move(w)), late(l)
    {
        if (late && !(done = CreateEventW(nullptr, TRUE, FALSE, nullptr)))
            throw cantStart(HRESULT_FROM_WIN32(GetLastError()));
    }
    Job(const Job &) = delete;
    Job &operator=(const Job &) = delete;
    ~Job()
    {
        if (done)
            CloseHandle(done);
    }

    std::function<void()> work;
    LateReport late; // null: nobody waits
    std::exception_ptr error;
    std::atomic<bool> started{false};
    std::atomic<bool> abandoned{false};
    HANDLE done = nullptr;
};

} // namespace

// The word processor's thread: in the multithreaded apartment, so that no
// call of its waits for the user-interface thread's messages, and COM hands
// a busy word processor's rejection straight back (Session::retrying tries
// again). Started at the first call; ends once told to stop and its queue
// is empty. It holds itself while it runs, so the session may go first.
class CallThread : public std::enable_shared_from_this<CallThread> {
public:
    CallThread() = default;
    CallThread(const CallThread &) = delete;
    CallThread &operator=(const CallThread &) = delete;
    ~CallThread()
    {
        if (thread_)
            CloseHandle(thread_);
    }

    void post(std::shared_ptr<Job> job)
    {
        AcquireSRWLockExclusive(&lock_);
        queue_.push_back(std::move(job));
        WakeConditionVariable(&wake_);
        const bool first = !thread_;
        ReleaseSRWLockExclusive(&lock_);
        if (first)
            startThread();
    }

    bool onIt() const noexcept { return GetCurrentThreadId() == id_; }

    // No more work: the thread ends when its queue is empty. Waits up to ms
    // for that, unless a call is under way (it may never return, and must
    // not keep the program from ending).
    void stop(DWORD ms) noexcept
    {
        AcquireSRWLockExclusive(&lock_);
        stopping_ = true;
        WakeConditionVariable(&wake_);
        const bool wait = !calling_ && thread_ && !onIt();
        ReleaseSRWLockExclusive(&lock_);
        if (wait)
            WaitForSingleObject(thread_, ms);
    }

    // The outcome of the latest try of the current call: a rejection when
    // the word processor turned it down as busy.
    std::atomic<HRESULT> lastTry{S_OK};
    // What the user is told of the call under way if it doesn't come back.
    std::atomic<LateReport> lateOfCurrent{nullptr};

private:
    void startThread()
    {
        auto self = std::make_unique<std::shared_ptr<CallThread>>(shared_from_this());
        HANDLE thread = CreateThread(nullptr, 0, &CallThread::main, self.get(), 0, nullptr);
        if (!thread) {
            const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
            AcquireSRWLockExclusive(&lock_);
            queue_.clear();
            ReleaseSRWLockExclusive(&lock_);
            throw cantStart(hr);
        }
        self.release(); // the thread's own now
        AcquireSRWLockExclusive(&lock_);
        thread_ = thread;
        ReleaseSRWLockExclusive(&lock_);
    }

    std::shared_ptr<Job> next()
    {
        AcquireSRWLockExclusive(&lock_);
        while (queue_.empty() && !stopping_)
            SleepConditionVariableSRW(&wake_, &lock_, INFINITE, 0);
        std::shared_ptr<Job> job;
        if (!queue_.empty()) {
            job = std::move(queue_.front());
            queue_.pop_front();
            calling_ = job->late != nullptr;
        }
        ReleaseSRWLockExclusive(&lock_);
        return job;
    }

    void finished(Job &job) noexcept
    {
        AcquireSRWLockExclusive(&lock_);
        calling_ = false;
        ReleaseSRWLockExclusive(&lock_);
        if (job.done)
            SetEvent(job.done);
    }

    static DWORD WINAPI main(void *parameter)
    {
        const std::unique_ptr<std::shared_ptr<CallThread>> owner(static_cast<std::shared_ptr<CallThread> *>(parameter));
        CallThread &self = **owner;
        self.id_ = GetCurrentThreadId();
        const bool entered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        while (std::shared_ptr<Job> job = self.next()) {
            self.lastTry = S_OK;
            if (job->late)
                self.lateOfCurrent = job->late;
            job->started = true;
            if (!job->abandoned) {
                try {
                    job->work();
                } catch (...) {
                    job->error = std::current_exception();
                }
            }
            // What the work holds (references of the word processor's among
            // it) is released here, on this thread.
            job->work = nullptr;
            self.finished(*job);
        }
        if (entered)
            CoUninitialize();
        return 0;
    }

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE wake_ = CONDITION_VARIABLE_INIT;
    std::deque<std::shared_ptr<Job>> queue_;
    bool stopping_ = false;
    bool calling_ = false;
    HANDLE thread_ = nullptr;
    std::atomic<DWORD> id_{0};
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

Waited waitPainting(HANDLE done, DWORD ms)
{
    const ULONGLONG until = GetTickCount64() + ms;
    MSG msg;
    // Takes the next message in [first, last]. WM_QUIT may come whatever the
    // range (Wine gives it to any filter once no posted message is left):
    // the program has ended, and the quit goes back for the event loop.
    bool ended = false;
    const auto next = [&](UINT first, UINT last) {
        if (ended || !PeekMessageW(&msg, nullptr, first, last, PM_REMOVE))
            return false;
        if (msg.message != WM_QUIT)
            return true;
        PostQuitMessage(static_cast<int>(msg.wParam));
        ended = true;
        return false;
    };
    for (;;) {
        while (next(WM_KEYFIRST, WM_KEYLAST)) {
        }
        while (next(WM_LBUTTONDOWN, WM_MOUSELAST)) {
        }
        // A close asked for meanwhile is carried out now: the taskbar's and
        // the task manager's come as a posted WM_CLOSE or SC_CLOSE (a sent
        // one is delivered by PeekMessage itself). Other commands of the
        // taskbar are dropped, as clicks are.
        while (next(WM_CLOSE, WM_CLOSE))
            DispatchMessageW(&msg);
        while (next(WM_SYSCOMMAND, WM_SYSCOMMAND))
            if ((msg.wParam & 0xFFF0) == SC_CLOSE)
                DispatchMessageW(&msg);
        // A window whose painting never validates it would keep WM_PAINT
        // coming: a bounded number per round.
        for (int i = 0; i < 64 && next(WM_PAINT, WM_PAINT); ++i)
            DispatchMessageW(&msg);
        static_cast<void>(next(WM_QUIT, WM_QUIT));
        if (ended)
            return Waited::ProgramEnded;
        if (WaitForSingleObject(done, 0) == WAIT_OBJECT_0)
            return Waited::Done;
        const ULONGLONG now = GetTickCount64();
        if (now >= until)
            return Waited::TimedOut;
        // Wakes for the end of the work, paint requests, new clicks and
        // keys (to drop them), posted messages (a close) and messages sent
        // by other threads (PeekMessage delivers those). A message posted
        // while this round looked at others may not wake it: a round at
        // least every 100 ms.
        MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(std::min<ULONGLONG>(until - now, 100)),
                                    QS_PAINT | QS_MOUSEBUTTON | QS_KEY | QS_POSTMESSAGE | QS_SENDMESSAGE, 0);
    }
}

Error programEnding()
{
    return Error(errors::Internal, "โปรแกรมปิดลงระหว่างรอ Word");
}

Session::Session(std::chrono::milliseconds busyBound, win32::ComApartment *apartment)
    : bound_(busyBound), apartment_(apartment)
{
}

Session::~Session()
{
    // Releases still queued are let through; a call that never returned is
    // left behind.
    if (calls_)
        calls_->stop(static_cast<DWORD>(bound_.count()));
    // An apartment of our own is left on its thread only (the last object
    // may go on the call thread).
    if (own_ && GetCurrentThreadId() != startThread_)
        static_cast<void>(own_.release());
}

void Session::start()
{
    if (startThread_)
        return;
    startThread_ = GetCurrentThreadId();
    if (!apartment_) {
        own_ = std::make_unique<win32::ComApartment>();
        apartment_ = own_.get();
    }
    apartment_->enter();
}

void Session::runBounded(std::function<void()> work, LateReport late)
{
    if (!calls_)
        calls_ = std::make_shared<CallThread>();
    auto job = std::make_shared<Job>(std::move(work), late);
    calls_->post(job);
    const Waited waited = waitPainting(job->done, static_cast<DWORD>(bound_.count()));
    if (waited == Waited::ProgramEnded) {
        job->abandoned = true;
        throw programEnding();
    }
    if (waited == Waited::TimedOut) {
        job->abandoned = true;
        // Still waiting behind an earlier call that never came back: the
        // user is told of that one.
        if (!job->started)
            if (const LateReport earlier = calls_->lateOfCurrent)
                late = earlier;
        const long seconds = static_cast<long>((bound_.count() + 999) / 1000);
        const HRESULT last = calls_->lastTry;
        if (isRejectedAsBusy(last))
            throw busyError(last, seconds);
        throw late(seconds);
    }
    if (job->error)
        std::rethrow_exception(job->error);
}

HRESULT Session::retrying(const std::function<HRESULT()> &attempt)
{
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const HRESULT hr = attempt();
        if (calls_ && calls_->onIt())
            calls_->lastTry = hr;
        if (!isRejectedAsBusy(hr))
            return hr;
        const DWORD rejectType = hr == RPC_E_CALL_REJECTED ? SERVERCALL_REJECTED : SERVERCALL_RETRYLATER;
        const DWORD wait = retryDecision(GetTickCount64() - start, rejectType, bound_);
        if (wait == static_cast<DWORD>(-1))
            throw busyError(hr, static_cast<long>((bound_.count() + 999) / 1000));
        Sleep(wait);
    }
}

void Session::release(ComPtr<IDispatch> object) noexcept
{
    if (!object)
        return;
    if (!calls_ || calls_->onIt()) {
        object.reset();
        return;
    }
    IDispatch *reference = object.release();
    try {
        calls_->post(std::make_shared<Job>([reference] { ComPtr<IDispatch>::adopt(reference).reset(); }, nullptr));
    } catch (...) {
        // No memory for the job, or no thread: released here instead.
        ComPtr<IDispatch>::adopt(reference).reset();
    }
}

} // namespace vd::automation::winword
