// The running program: its two window classes' single instances, ending the
// program and the top-level report of a failure. The framework knows the
// windows as Forms only; which forms they are is told by src/forms
// (forms/program_windows.cpp), which builds on this.
#pragma once

#include "app/form.h"
#include "automation/automation.h"
#include "toolkit/toolkit.h"

#include <memory>
#include <string>

namespace vd::forms {
class Form1;
class Form2;
} // namespace vd::forms

namespace vd::app {

class Program {
public:
    Program(tk::Toolkit &toolkit, automation::Registry &classes);
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    ~Program();

    // The single instance of each window class, created on first use: the
    // intro window (the start-up window) and the menu window.
    forms::Form1 &form1();
    forms::Form2 &form2();
    bool hasForm2() const noexcept { return form2_ != nullptr; }

    // Program start: the start-up window is created, loaded and shown.
    void start();
    // Stops the program at once, from inside the running handler.
    [[noreturn]] void end();
    // Ends the program when neither window is loaded.
    void endIfNoWindowLoaded();

    // Whether the start-up window is loaded.
    bool startWindowLoaded() const noexcept { return form1_ && form1_->isLoaded(); }

    tk::Toolkit &toolkit() const noexcept { return toolkit_; }
    const automation::Registry &classes() const noexcept { return classes_; }

private:
    // The instance of F held in slot, made on first use.
    template <class F> F &instance(std::unique_ptr<Form> &slot)
    {
        if (!slot)
            slot = std::make_unique<F>(*this);
        return static_cast<F &>(*slot);
    }

    tk::Toolkit &toolkit_;
    automation::Registry &classes_;
    std::unique_ptr<Form> form1_;
    std::unique_ptr<Form> form2_;
    bool started_ = false; // the start-up window has been shown
};

// The text the user is shown for a failure that reached the top level.
std::string failureTitle();
// An error's number as the user would look it up.
std::string errorNumberText(long number);
std::string failureText(const Error &error);
// The same for a failure before the start-up window could be shown: the
// program cannot start and ends.
std::string startFailureText(const Error &error);

} // namespace vd::app
