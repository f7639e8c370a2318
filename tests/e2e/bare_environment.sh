#!/usr/bin/env bash
# The real program with no home folder and no word processor at all: it
# starts, a group click tells the user in a message what is missing, and the
# program goes on; the message dismissed, the menu still works.
source "$(dirname "$0")/lib.sh"

start_display
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_DATA_HOME XDG_CONFIG_HOME WINEPREFIX XDG_DATA_DIRS
mkdir -p "$work/empty-bin"
# Neither LibreOffice nor xdg-open on the program's PATH, no HOME, and no
# font at all.
cat >"$work/fonts.conf" <<XML
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$work/no-fonts</dir><cachedir>$work/font-cache</cachedir></fontconfig>
XML
tracer=(env -u HOME PATH="$work/empty-bin" FONTCONFIG_FILE="$work/fonts.conf")
# Return on the message's focused OK button, typed for real.
dismiss() {
    xdotool windowfocus "$1"
    sleep 0.2
    xdotool key Return
}

start_program
intro=$(wait_window Form1)
click_at "$intro" 461 331    # Command2, enter
menu=$(wait_window Form2)
click_at "$menu" 74 219      # Command7

box=$(wait_window Velodane)
program_running || fail "the program ended on a missing word processor"
dismiss "$box"
wait_until 10 window_gone Velodane || fail "the message could not be dismissed"

# The menu still answers: another click reports again, then exit ends it.
xdotool mousemove --window "$menu" 300 100
click_at "$menu" 74 219
box=$(wait_window Velodane)
dismiss "$box"
wait_until 10 window_gone Velodane || fail "the second message could not be dismissed"
click_at "$menu" 530 443     # Command64, exit
wait_until 10 program_ended || fail "the exit button did not end the program"
wait "$program" || fail "the program ended with status $?"
grep -q 'fonts-thai-tlwg' "$work/velodane.log" || fail "the missing fonts went unmentioned: $(cat "$work/velodane.log")"
echo "1 passed, 0 failed"
