#!/usr/bin/env bash
# The real program as a screen reader finds it: on a private session bus
# with the accessibility bus, accessibility.py reads its tree, presses the
# enter button and group 37 through the bus, and follows the caption line.
if [ -z "${VELODANE_A11Y_SESSION:-}" ]; then
    # Again, inside a session bus of its own that ends with the test.
    exec env VELODANE_A11Y_SESSION=1 dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

start_display
make_home
viewer_stand_in

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)
# Qt speaks to the accessibility bus without asking the desktop's settings.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_program
intro=$(wait_window Form1)
# Debian's own Python, which has the accessibility bindings.
/usr/bin/python3 "$(dirname "$0")/accessibility.py" "$work/viewer-args" || fail "see above"
