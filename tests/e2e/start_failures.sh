#!/usr/bin/env bash
# The real program where the system refuses it what it needs: no display, a
# display of 8-bit colour, no thread to spare. It tells why in two lines on
# standard error, Thai then English, and ends with status 1 (never an abort,
# never a hang, never black windows). With threads enough to start but none
# to spare, it works: the menu is drawn, a group click reports the refused
# viewer, and the next click answers.
source "$(dirname "$0")/lib.sh"

start_display
make_home
viewer_stand_in
shown=$DISPLAY
mkdir "$work/8-bit"
start_xvfb "$work/8-bit" 1024x768 8 || fail "the 8-bit Xvfb did not start: $(cat "$work/8-bit/xvfb.log")"
pids+=("$xvfb_pid")
eight_bit=$DISPLAY
export DISPLAY=$shown
# A display number that nothing serves.
absent=$((${DISPLAY#:} + 1000))
while [ -e "/tmp/.X11-unix/X$absent" ] || [ -e "/tmp/.X$absent-lock" ]; do absent=$((absent + 1)); done

# The per-user limit on processes and threads needs a user other than root:
# the user nobody runs a copy of the program, with a runtime folder of its own.
install -m 755 "$velodane" "$work/velodane"
velodane=$work/velodane
chmod 755 "$work"
install -d -m 700 -o nobody "$work/nobody-runtime"
# Threads that the user nobody has already, besides the program's own.
nobody_threads() { ps -L -u nobody --no-headers 2>/dev/null | wc -l; }
as_nobody_with_threads() {
    local threads=$1
    shift
    setpriv --reuid=nobody --regid=nogroup --clear-groups prlimit --nproc=$(($(nobody_threads) + threads)) \
        env XDG_RUNTIME_DIR="$work/nobody-runtime" "$@"
}

# The cases, each a way to start the program:
no_display() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
absent_display() { env DISPLAY=":$absent" "$@"; }
eight_bit_display() { env DISPLAY="$eight_bit" "$@"; }
no_thread() { as_nobody_with_threads 1 "$@"; }
# case | what the Thai line says | what the English line says
while IFS='|' read -r start thai english; do
    "$start" "$velodane" >/dev/null 2>"$work/err" &
    program=$!
    pids+=("$program")
    wait_until 60 program_ended || fail "$start: the program did not end"
    status=0
    wait "$program" || status=$?
    [ "$status" = 1 ] || fail "$start: status $status, not 1: $(cat "$work/err")"
    [ "$(wc -l <"$work/err")" = 2 ] || fail "$start: not two lines on standard error: $(cat "$work/err")"
    sed -n 1p "$work/err" | grep -q "^velodane: .*$thai" || fail "$start: the Thai line: $(cat "$work/err")"
    sed -n 2p "$work/err" | grep -q "^velodane: .*$english" || fail "$start: the English line: $(cat "$work/err")"
done <<CASES
no_display|ไม่ได้ตั้งค่า DISPLAY.*xvfb-run -a|DISPLAY is not set.*virtual display: xvfb-run -a
absent_display|เชื่อมต่อจอภาพ X11 ":$absent" ไม่ได้|cannot connect to the X11 display ":$absent"
eight_bit_display|จอภาพนี้ใช้สี 8 บิต|8-bit colour, which the program can't draw
no_thread|ระบบไม่ยอมให้โปรแกรมสร้างเธรด|refused the program a thread
CASES

# Three threads: the program's, the display connection's reader and the
# session bus's; none for a painting worker nor for the viewer's process.
tracer=(as_nobody_with_threads 3)
start_program
intro=$(wait_window Form1)
click_at "$intro" 461 331 # Command2, enter
menu=$(wait_window Form2)
sleep 1
import -window "$menu" "$work/menu.png"
[ "$(convert "$work/menu.png" -format '%[fx:mean>0.3]' info:)" = 1 ] || fail "the menu window is not drawn"
for group in "74 219" "630 181"; do # Command7, Command51
    click_at "$menu" $group
    box=$(wait_window Velodane)
    xdotool windowfocus "$box"
    sleep 0.2
    xdotool key Return
    wait_until 10 window_gone Velodane || fail "the report of a refused viewer could not be dismissed"
done
click_at "$menu" 530 443 # Command64, exit
wait_until 10 program_ended || fail "the exit button did not end the program"
wait "$program" || fail "the program ended with status $?"
echo "1 passed, 0 failed"
