# What the tests of real windows share, on Linux and under Wine: polling, a
# private virtual display, finding a window, the screen at a failure.

# Polls a condition about every 0.1 s, up to the given number of seconds.
wait_until() {
    local seconds=$1 i
    shift
    for ((i = 0; i < seconds * 10; i++)); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}

# A virtual display of its own on a free number, 1024 x 768 in 24-bit colour
# unless a size (and a depth) is given, its number and log in the folder;
# DISPLAY set, its pid in xvfb_pid.
# Kept up between programs (-noreset): a server that resets as its last
# client leaves refuses a program connecting meanwhile (Qt then aborts), and
# forgets the pointer's place.
start_xvfb() {
    local folder=$1 size=${2:-1024x768} depth=${3:-24}
    Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp -noreset 3>"$folder/display" 2>"$folder/xvfb.log" &
    xvfb_pid=$!
    wait_until 10 test -s "$folder/display" || return 1
    export DISPLAY=":$(head -n1 "$folder/display")"
}

# The id of the visible window of that title; nothing (and success) when none is shown.
window_of() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }

# The screen, saved beside the test as <test>-failure.png, and said so.
show_failure_screen() {
    local shot
    shot="$PWD/$(basename "$0" .sh)-failure.png"
    if [ -n "${DISPLAY:-}" ] && import -window root "$shot" 2>/dev/null; then echo "the screen at the failure: $shot" >&2; fi
}
