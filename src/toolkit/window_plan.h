// What every toolkit does the same way when it builds a window from its
// layout: the order of building, the focus chain, the controls by name and
// what a control's caption is.
#pragma once

#include "common/error.h"
#include "toolkit/layout.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vd::tk {

struct PlannedControl {
    const ControlLayout *layout = nullptr;
    int parent = -1; // the index of its frame in the plan; -1: the window itself
};

// Every control of the window in the order of building: each container's
// controls bottom of the stack first, so that each one made later lies above
// those before it, and a frame before its children.
std::vector<PlannedControl> buildOrder(const WindowLayout &layout);

// The plan's indices of the controls that take the focus, in the window's
// focus order; the first holds the focus when the window is shown. An Error
// (control not found) for a name that isn't in the plan.
std::vector<std::size_t> focusChain(const WindowLayout &layout, const std::vector<PlannedControl> &plan);

// Buttons and labels have a caption; frames and pictures have none (read, it
// is empty; set, an Error).
bool hasCaption(Kind kind);

// The name a screen reader gives a control: the layout's accessible name
// where it has one; else its caption, and for a button without one, its
// tooltip. The tooltip is the control's description.
std::string accessibleName(const ControlLayout &control);

[[noreturn]] void controlNotFound(std::string_view name);
[[noreturn]] void noCaption(std::string_view name);

// A window's controls by name, as a toolkit holds them.
template <class Handle> class ControlTable {
public:
    void add(const std::string &name, Kind kind, Handle handle) { controls_.emplace(name, Entry{kind, handle}); }

    struct Entry {
        Kind kind;
        Handle handle;
    };
    // An Error (control not found) for a name the window hasn't.
    const Entry &at(std::string_view name) const
    {
        auto it = controls_.find(name);
        if (it == controls_.end())
            controlNotFound(name);
        return it->second;
    }
    // The control whose caption is set; an Error for one without a caption.
    const Entry &withCaption(std::string_view name) const
    {
        const Entry &e = at(name);
        if (!hasCaption(e.kind))
            noCaption(name);
        return e;
    }

private:
    std::map<std::string, Entry, std::less<>> controls_;
};

} // namespace vd::tk
