// What the toolkit needs of the system only now and then, entered when first
// needed rather than at start: COM (for the picture loader at other dpis and
// the screen readers' annotation service) and the common controls 6 with the
// system's visual styles (for tooltips and the failure report). The DLLs
// behind them (ole32, oleaut32, comctl32 and what they load) are linked to
// load on first call, so a start that needs none of them loads none of them.
#pragma once

#include "common/win32/com.h" // ComApartment

#include <windows.h>

namespace vd::win32 {

// The program's second manifest (resource 2): common controls 6, whose
// tooltips and message boxes wear the system's visual styles. The program's
// own manifest leaves it out, so that the system's plain buttons (which we
// draw ourselves) don't load the common controls at start; what should wear
// the styles is made inside this context.
class VisualStyles {
public:
    explicit VisualStyles(HINSTANCE instance);
    VisualStyles(const VisualStyles &) = delete;
    VisualStyles &operator=(const VisualStyles &) = delete;
    ~VisualStyles();

    // Active on this thread for the scope's life (nothing where the context
    // couldn't be made: the controls are then the plain ones).
    class Scope {
    public:
        explicit Scope(VisualStyles &styles);
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        ~Scope();

    private:
        ULONG_PTR cookie_ = 0;
        bool active_ = false;
    };

private:
    HINSTANCE instance_;
    HANDLE context_ = INVALID_HANDLE_VALUE; // made on first use
    bool tried_ = false;
};

} // namespace vd::win32
