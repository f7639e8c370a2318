// The soil-series group menu: 62 group buttons, the caption line, the banner,
// and the back and exit buttons.
#pragma once

#include "app/form.h"
#include "automation/automation.h"
#include "forms/menu/group_document.h"

namespace vd::forms {

class Form2 final : public app::Form {
public:
    explicit Form2(app::Program &program) : Form(program) {}

    tk::WindowLayout layout() const override;

    // The word processor's application object, kept while the window is
    // unloaded; written only by StartWord, never cleared or told to quit.
    automation::ObjectRef WordApp;

    // A click on the group button of `group`.
    void openGroup(GroupNumber group);

private:
    void click(std::string_view control) override;
    void mouseMove(std::string_view control) override;
    // Creates a new application object and stores it in WordApp, dropping the
    // one held before. When creation fails, WordApp keeps what it held.
    void StartWord();
};

} // namespace vd::forms
