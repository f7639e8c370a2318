// The intro window: the large picture, the exit and the enter button.
#pragma once

#include "app/form.h"

namespace vd::forms {

class Form1 final : public app::Form {
public:
    explicit Form1(app::Program &program) : Form(program) {}

    tk::WindowLayout layout() const override;

private:
    void click(std::string_view control) override;
};

} // namespace vd::forms
