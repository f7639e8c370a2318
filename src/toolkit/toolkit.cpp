#include "toolkit/toolkit.h"

#include <new>

namespace vd::tk {

void Toolkit::endProgram()
{
    ended_ = true;
    leaveEventLoop();
    throw ProgramEnd{};
}

void Toolkit::guarded(void (*call)(void *), void *handler) noexcept
{
    if (ended_)
        return;
    ++depth_;
    try {
        call(handler);
    } catch (const ProgramEnd &) {
    } catch (const Error &error) {
        report(error);
    } catch (const std::bad_alloc &) {
        report(Error(errors::OutOfMemory, "หน่วยความจำไม่พอ"));
    } catch (const std::exception &e) {
        report(Error(errors::Internal, std::string("ข้อผิดพลาดภายในโปรแกรม: ") + e.what()));
    } catch (...) {
        report(Error(errors::Internal, "ข้อผิดพลาดภายในโปรแกรม"));
    }
    --depth_;
}

void Toolkit::report(const Error &error) noexcept
{
    // A failure that unwinds a handler after the program has ended (a wait
    // for the word processor cut short by the window's closing) is told to
    // no one: the program is gone for the user.
    if (ended_)
        return;
    try {
        if (report_)
            report_(error);
    } catch (...) {
        // The report itself failed; there is nothing further up to tell.
    }
}

} // namespace vd::tk
