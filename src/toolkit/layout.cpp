#include "toolkit/layout.h"

namespace vd::tk {

namespace {
const ControlLayout *findIn(const std::vector<ControlLayout> &controls, const std::string &name)
{
    for (const ControlLayout &c : controls) {
        if (c.name == name)
            return &c;
        if (const ControlLayout *inner = findIn(c.children, name))
            return inner;
    }
    return nullptr;
}
} // namespace

const ControlLayout *findControl(const WindowLayout &layout, const std::string &name)
{
    return findIn(layout.controls, name);
}

} // namespace vd::tk
