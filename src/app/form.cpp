#include "app/form.h"

#include "app/program.h"

namespace vd::app {

Form::~Form() = default;

void Form::load()
{
    if (!window_)
        window_ = program_.toolkit().build(layout(), *this);
}

void Form::show()
{
    load();
    window_->show();
}

void Form::unload()
{
    // Release the window before destroying it, so that nothing reaches it
    // through this instance while it goes.
    std::unique_ptr<tk::Window> gone = std::move(window_);
}

std::string Form::caption(std::string_view control) const
{
    return window().caption(control);
}

void Form::setCaption(std::string_view control, std::string_view text)
{
    window().setCaption(control, text);
}

tk::Window &Form::window() const
{
    if (!window_)
        throw Error(errors::ObjectRequired, "หน้าต่าง " + layout().className + " ไม่ได้เปิดอยู่");
    return *window_;
}

void Form::handle(std::string_view control, tk::Event event)
{
    switch (event) {
    case tk::Event::Click:
        click(control);
        break;
    case tk::Event::MouseMove:
        mouseMove(control);
        break;
    }
}

void Form::closedBySystem()
{
    // No handler of the program runs: the window goes, and the program ends
    // when no window remains.
    unload();
    program_.endIfNoWindowLoaded();
}

} // namespace vd::app
