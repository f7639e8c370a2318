#include "toolkit/window_plan.h"

namespace vd::tk {

namespace {

void plan(const std::vector<ControlLayout> &controls, int parent, std::vector<PlannedControl> &out)
{
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        out.push_back({&*it, parent});
        plan(it->children, static_cast<int>(out.size()) - 1, out);
    }
}

} // namespace

std::vector<PlannedControl> buildOrder(const WindowLayout &layout)
{
    std::vector<PlannedControl> out;
    plan(layout.controls, -1, out);
    return out;
}

std::vector<std::size_t> focusChain(const WindowLayout &layout, const std::vector<PlannedControl> &plan)
{
    std::vector<std::size_t> chain;
    for (const std::string &name : layout.focusOrder) {
        std::size_t i = 0;
        while (i < plan.size() && plan[i].layout->name != name)
            ++i;
        if (i == plan.size())
            controlNotFound(name);
        chain.push_back(i);
    }
    return chain;
}

bool hasCaption(Kind kind)
{
    return kind == Kind::PushButton || kind == Kind::Label;
}

std::string accessibleName(const ControlLayout &control)
{
    if (!control.accessibleName.empty())
        return control.accessibleName;
    if (control.kind == Kind::PushButton && control.caption.empty())
        return control.tooltip;
    return control.caption;
}

void controlNotFound(std::string_view name)
{
    throw Error(errors::ControlNotFound, "ไม่พบตัวควบคุม \"" + std::string(name) + "\"");
}

void noCaption(std::string_view name)
{
    throw Error(errors::ControlNotFound, "ตัวควบคุม \"" + std::string(name) + "\" ไม่มีคำบรรยาย");
}

} // namespace vd::tk
