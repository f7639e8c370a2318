# The Windows program's tests under Wine: one prefix and one virtual display
# per test run, both removed at the end, and helpers to drive the program
# with real input and read what it shows.
#
#   source wine.sh <bits> <work folder>
#
# <bits> is 32 or 64: the program's build. A 32-bit build runs in a 32-bit
# prefix with Wine's 32-bit loader, a 64-bit build in a 64-bit prefix.
set -euo pipefail

bits=$1
work=$2
pids=()

if [ "$bits" = 32 ]; then
    wine_loader=wine
    wineserver_cmd=wineserver
    export WINEARCH=win32
else
    wine_loader=/usr/lib/wine/wine64
    wineserver_cmd=/usr/lib/wine/wineserver64
    export WINEARCH=win64
fi
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No Mono or Gecko installers, no desktop menu entries made by the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine_cleanup() {
    local p
    "$wineserver_cmd" -k 2>/dev/null || true
    "$wineserver_cmd" -w 2>/dev/null || true
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap wine_cleanup EXIT
# A command that fails where no check expected it says where.
trap 'echo "FAIL: $0 line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR

fail() {
    echo "FAIL: $*" >&2
    local shot
    shot="$PWD/$(basename "$0" .sh)-failure.png"
    if [ -n "${DISPLAY:-}" ] && import -window root "$shot" 2>/dev/null; then echo "the screen at the failure: $shot" >&2; fi
    exit 1
}

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

# A virtual display of the given size, with a number of its own.
start_display() {
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n1 "$work/display")"
}

# A fresh prefix: booted and settled (COM activation can hang when started
# right after the boot), windows placed by Wine itself rather than by a
# window manager that isn't there, and Thai text in the system's own boxes
# (message boxes, tooltips) through font linking, as Windows has it.
make_prefix() {
    mkdir -p "$work"
    "$wine_loader" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 5 "$work/wineboot.log")"
    "$wineserver_cmd" -w
    wine_run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    local font
    for font in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'Segoe UI'; do
        wine_run reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$font" \
            /t REG_MULTI_SZ /d 'Loma.ttf,Loma' /f
    done
    set_dpi 96
}

wine_run() { "$wine_loader" "$@" >>"$work/wine.log" 2>&1; }

# The prefix's dots per inch, for programs started after this.
set_dpi() {
    wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f
    "$wineserver_cmd" -w
}

# A Windows path for a file of ours.
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }

# Starts a Windows program in the background; its exit status goes to
# $work/status when it ends.
start_program() {
    ("$wine_loader" "$@" >>"$work/program.log" 2>&1; echo $? >"$work/status") &
    program=$!
    pids+=($program)
    rm -f "$work/status"
}

program_ended() { [ -s "$work/status" ]; }
exit_status() { cat "$work/status"; }

window_of() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
window_gone() { [ -z "$(window_of "$1")" ]; }

# Waits for the program's window of that title and prints its id.
window_shown() { [ -n "$(window_of "$1")" ]; }
wait_window() {
    wait_until 60 window_shown "$1" || fail "window $1 never appeared"
    window_of "$1"
}

# The window's place on the screen: sets X, Y, WIDTH, HEIGHT.
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }

# A real click at a point of a window, in its own pixels.
click_at() {
    geometry "$1"
    xdotool mousemove $((X + $2)) $((Y + $3))
    sleep 0.2
    xdotool click 1
}

point_at() {
    geometry "$1"
    xdotool mousemove $((X + $2)) $((Y + $3))
    sleep 0.1
    xdotool mousemove $((X + $2 + 1)) $((Y + $3 + 1))
    sleep 0.3
}

# The window's pixels, 8 bits a channel, as a binary PPM.
shoot() {
    geometry "$1"
    import -window root -depth 8 -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "ppm:$2"
}
