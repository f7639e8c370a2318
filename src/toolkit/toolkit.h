// The window toolkit as the program uses it: windows built from layouts,
// their controls addressed by name, click and pointer-movement events,
// ending the program and the top-level report of a failure.
#pragma once

#include "common/error.h"
#include "toolkit/layout.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vd::tk {

enum class Event { Click, MouseMove };

// Receives the events of one on-screen window. `control` is the name of the
// topmost control under the event, or empty for the window's own surface.
class EventSink {
public:
    virtual void handle(std::string_view control, Event event) = 0;
    // The window was closed by the system (window manager, Alt+F4) rather
    // than by one of its buttons.
    virtual void closedBySystem() = 0;

protected:
    ~EventSink() = default;
};

// An on-screen window and its controls. Destroying it destroys them; it may
// be destroyed from inside one of its own event handlers.
class Window {
public:
    virtual ~Window() = default;
    virtual void show() = 0; // modeless, without owner, centred on the screen
    virtual bool isVisible() const = 0;
    virtual std::string caption(std::string_view control) const = 0;
    virtual void setCaption(std::string_view control, std::string_view text) = 0;
};

// Thrown by Toolkit::endProgram. Not an Error and not a std::exception, so
// that nothing but the dispatcher ever catches it.
struct ProgramEnd {};

class Toolkit {
public:
    using FailureReport = std::function<void(const Error &)>;

    virtual ~Toolkit() = default;
    // Builds the window and all its controls from the layout, not yet visible.
    virtual std::unique_ptr<Window> build(const WindowLayout &layout, EventSink &sink) = 0;
    // Stops the program at once, from inside the running handler.
    [[noreturn]] void endProgram();
    // Shows the user the report of a failure that reached the top level.
    virtual void showFailure(std::string_view title, std::string_view text) = 0;
    // Runs the event loop until the program ends; the program's exit status.
    virtual int exec() = 0;
    // Where the dispatcher sends the failures that reach it.
    void setFailureReport(FailureReport report) { report_ = std::move(report); }

    // Runs one of the program's handlers at a boundary where the toolkit
    // calls our code. This is the top level: a failure is reported here and
    // goes no further, and nothing unwinds through the toolkit's frames.
    // After the program has ended, nothing runs any more, and a failure
    // still unwinding a handler is not reported.
    template <class Handler> void dispatch(Handler &&handler) noexcept
    {
        guarded([](void *h) { (*static_cast<std::remove_reference_t<Handler> *>(h))(); }, &handler);
    }

    bool ended() const noexcept { return ended_; }
    // Whether one of our handlers is running (a window unloaded from inside
    // one must outlive the toolkit's event).
    bool dispatching() const noexcept { return depth_ > 0; }

protected:
    // The toolkit's own part of ending: hide every window, leave the loop.
    virtual void leaveEventLoop() = 0;

private:
    void guarded(void (*call)(void *), void *handler) noexcept;
    void report(const Error &error) noexcept;

    FailureReport report_;
    bool ended_ = false;
    int depth_ = 0;
};

} // namespace vd::tk
