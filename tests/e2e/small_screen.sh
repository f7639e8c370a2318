#!/usr/bin/env bash
# Screens too small for the menu window: on each, the window lies whole in
# the screen; where the design fits at its own size it is not made smaller
# than that, and is centred; where it doesn't, it is cut to the screen from
# its top-left and the keyboard still reaches every control, the focused one
# scrolled into view: Tab to the exit button, and Space on it ends the
# program.
source "$(dirname "$0")/lib.sh"
shots=${VELODANE_SHOTS:-} # a folder to keep the screens in, if given

#      screen    Qt's scale  the window, in the screen's pixels
cases=("640x480  1          0,3 640x474"
       "800x600  2          0,0 800x600"
       "1024x768 1          162,147 700x474")
make_home
for case in "${cases[@]}"; do
    read -r screen scale want_at want_size <<<"$case"
    rm -f "$work/display" # the last server's number
    start_xvfb "$work" "$screen" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    pids+=("$xvfb_pid")
    tracer=(env QT_SCALE_FACTOR="$scale")
    start_program
    intro=$(wait_window Form1)
    xdotool key Tab space # the enter button
    menu=$(wait_window Form2)
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    [ "$X,$Y ${WIDTH}x$HEIGHT" = "$want_at $want_size" ] ||
        fail "on $screen at scale $scale the menu window is ${WIDTH}x$HEIGHT at $X,$Y, not $want_size at $want_at"
    [ -z "$shots" ] || import -window root "$shots/menu-$screen-x$scale.png"
    # Tab from group 1 through the 62 groups and the back button.
    for _ in $(seq 63); do xdotool key Tab; done
    sleep 0.5
    [ -z "$shots" ] || import -window root "$shots/menu-$screen-x$scale-exit-focused.png"
    # Where the window is cut, its contents moved left to show the exit button
    # whole: the tall button of group 61 (magenta) now where group 58 was.
    if [ "$WIDTH" -lt 700 ]; then
        colour=$(import -window root -crop "1x1+$((X + 600))+$((Y + 100))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}')
        [ "$colour" = "#FF00FF" ] || fail "on $screen the focused exit button was not scrolled into view ($colour at 600,100)"
    fi
    xdotool key space
    wait_until 10 program_ended || fail "on $screen at scale $scale Space on the last Tab stop did not end the program"
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null || true
done
echo "small screens: the menu window fits, centred or cut from its top-left, every control reached by Tab"
