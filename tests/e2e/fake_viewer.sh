#!/usr/bin/env bash
# The real program under a virtual display: enter the menu, click a group,
# and the word processor (a stand-in on PATH) is handed that group's document;
# then the exit button ends the program.
source "$(dirname "$0")/lib.sh"

start_display
make_home
viewer_stand_in

# Every file the program and what it starts open, to check that no document
# is ever opened for writing. (LeakSanitizer can't work under a tracer; the
# other tests check for leaks.)
tracer=(env "ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0" strace -f -qq -e trace=open,openat,openat2,creat,truncate,rename,renameat,renameat2,unlink,unlinkat -o "$work/trace")
start_program
intro=$(wait_window Form1)
# The intro window carries the program's icon, both sizes; the menu window none.
icon=$(xprop -id "$intro" _NET_WM_ICON)
grep -q 'Icon (32 x 32)' <<<"$icon" && grep -q 'Icon (16 x 16)' <<<"$icon" || fail "intro window icon: $icon"
click_at "$intro" 461 331    # Command2, enter
menu=$(wait_window Form2)
xprop -id "$menu" _NET_WM_ICON | grep -q 'not found' || fail "the menu window has an icon: $(xprop -id "$menu" _NET_WM_ICON | head -n1)"
wait_until 10 window_gone Form1 || fail "the intro window stayed after entering the menu"

click_at "$menu" 74 219      # Command7: column 1, row 7
wait_until 20 test -s "$work/viewer-args" || fail "the viewer was never started"
expected="$documents/vd7.doc"
grep -qxF -- "$expected" "$work/viewer-args" || fail "the viewer got $(tr '\n' ' ' <"$work/viewer-args"), not $expected"
grep -qx -- '--view' "$work/viewer-args" || fail "the document was not opened read-only"
program_running || fail "the program ended after a group click: $(cat "$work/velodane.log")"

click_at "$menu" 530 443     # Command64, exit
wait_until 10 program_ended || fail "the exit button did not end the program"
wait "$program" || fail "the program ended with status $?"
grep -F "$XDG_DATA_HOME" "$work/trace" >"$work/document-calls" || true
grep -q 'vd7.doc' "$work/document-calls" || fail "the trace shows no look at the document at all"
if grep -E 'O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|creat\(|truncate\(|rename|unlink' "$work/document-calls"; then
    fail "a document was opened for writing or changed"
fi
echo "1 passed, 0 failed"
