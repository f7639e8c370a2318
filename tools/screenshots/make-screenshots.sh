#!/bin/sh
# Screenshots of the two windows for the README, taken from the real program
# on a virtual X server: docs/intro.png (the intro window as it opens),
# docs/menu.png (the menu window as it opens) and docs/menu-hover.png (the
# pointer on group 25, its name in the caption line).
#
# Needs Xvfb, xdotool and ImageMagick's import and convert.
#
#   tools/screenshots/make-screenshots.sh [program [output folder]]
#
# The program defaults to build/default/src/velodane, the folder to docs/,
# both from the top of the source tree.
set -eu

top=$(cd "$(dirname "$0")/../.." && pwd)
program=${1:-$top/build/default/src/velodane}
out=${2:-$top/docs}

for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "make-screenshots: $tool is missing" >&2; exit 1; }
done
[ -x "$program" ] || { echo "make-screenshots: no program at $program (build it first)" >&2; exit 1; }
mkdir -p "$out"

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 130" INT TERM

# The X server picks a free display number itself and writes it to fd 3; it
# must not reset when a client leaves (xdotool), or the next one cannot connect.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
tries=0
until [ -s "$work/display" ]; do
    tries=$((tries + 1))
    if [ "$tries" -ge 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "make-screenshots: Xvfb did not start" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY
tries=0
until xdotool getdisplaygeometry >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -ge 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "make-screenshots: no X server answers on $DISPLAY" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done

# Waits for the visible window of that title; prints its id.
window() {
    timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# Saves the window's pixels as they are on the screen.
shoot() { # window-id file
    eval "$(xdotool getwindowgeometry --shell "$1")"
    sleep 0.5  # let the program finish painting
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$work/shot.png"
    convert "$work/shot.png" -strip "$2"
    echo "wrote $2 (${WIDTH}x${HEIGHT} at $X,$Y)"
}

# Moves the pointer to a point of the window, in window pixels.
point() { # window-id x y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3))
}

QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
program_pid=$!

# The pointer stays off the windows while they are taken as they open.
xdotool mousemove 0 0
intro=$(window Form1)
[ -n "$intro" ] || { echo "make-screenshots: the intro window did not show" >&2; cat "$work/program.log" >&2; exit 1; }
shoot "$intro" "$out/intro.png"

# Enter the menu with the enter button (Command2, 378,310 166x43).
point "$intro" 461 331
xdotool click 1
menu=$(window Form2)
[ -n "$menu" ] || { echo "make-screenshots: the menu window did not show" >&2; cat "$work/program.log" >&2; exit 1; }
xdotool mousemove 0 0
shoot "$menu" "$out/menu.png"

# Group 25: column 2, row 5 (224,116 100x46).
point "$menu" 274 139
shoot "$menu" "$out/menu-hover.png"

# Leave with the exit button (Command64, 360,417 339x53).
point "$menu" 529 443
xdotool click 1
tries=0
while kill -0 "$program_pid" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || { echo "make-screenshots: the program did not end" >&2; exit 1; }
    sleep 0.1
done
wait "$program_pid" || { echo "make-screenshots: the program failed" >&2; cat "$work/program.log" >&2; exit 1; }
program_pid=
