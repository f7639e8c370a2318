// A window class of the program: one instance for the whole run, loaded
// (its on-screen window and controls exist) or not.
#pragma once

#include "toolkit/toolkit.h"

#include <memory>
#include <string>
#include <string_view>

namespace vd::app {

class Program;

class Form : private tk::EventSink {
public:
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;
    virtual ~Form();

    // Builds the window and all its controls from the layout, not yet visible.
    void load();
    // Loads the window if needed, then shows it.
    void show();
    // Destroys the window and its controls; the instance and its fields remain.
    void unload();
    bool isLoaded() const noexcept { return window_ != nullptr; }
    bool isVisible() const { return window_ && window_->isVisible(); }

    // Controls addressed by name; an Error when the window isn't loaded or
    // has no such control.
    std::string caption(std::string_view control) const;
    void setCaption(std::string_view control, std::string_view text);

    // The fixed description from which every load builds the window.
    virtual tk::WindowLayout layout() const = 0;

protected:
    explicit Form(Program &program) : program_(program) {}
    Program &program() const noexcept { return program_; }

    virtual void click(std::string_view control) = 0;
    virtual void mouseMove(std::string_view /*control*/) {}

private:
    void handle(std::string_view control, tk::Event event) override;
    void closedBySystem() override;
    tk::Window &window() const;

    Program &program_;
    std::unique_ptr<tk::Window> window_;
};

} // namespace vd::app
