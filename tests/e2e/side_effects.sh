#!/usr/bin/env bash
# The real program in a session without a runtime folder and without a
# session bus (XDG_RUNTIME_DIR and DBUS_SESSION_BUS_ADDRESS unset), traced
# with strace over a start, an enter, a group click and a back: it makes no
# folder and starts nothing but the viewer the click asks for (no
# dbus-launch, which a stand-in on PATH would notice); the viewer gets the
# user's own TMPDIR and /dev/null as standard output and error. Then the
# program started with standard descriptors closed shows its window and
# ends by its exit button.
source "$(dirname "$0")/lib.sh"

start_display
make_home
unset XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR" "$work/bin"
cat >"$work/bin/dbus-launch" <<SH
#!/bin/sh
touch "$work/dbus-launch-ran"
exec sleep 1000
SH
cat >"$work/bin/soffice" <<SH
#!/bin/sh
out=\$(readlink /proc/\$\$/fd/1)
err=\$(readlink /proc/\$\$/fd/2)
{
    printf 'stdout=%s\nstderr=%s\n' "\$out" "\$err"
    printf 'TMPDIR=%s\n' "\${TMPDIR-unset}"
    printf 'XDG_RUNTIME_DIR=%s\n' "\${XDG_RUNTIME_DIR-unset}"
} > "$work/viewer.tmp" && mv "$work/viewer.tmp" "$work/viewer"
SH
chmod +x "$work/bin/dbus-launch" "$work/bin/soffice"
export PATH="$work/bin:/usr/bin:/bin"

tracer=(env "ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0" strace -f -qq -e trace=execve,mkdir,mkdirat -o "$work/trace")
start_program
intro=$(wait_window Form1)
click_at "$intro" 461 331    # Command2, enter
menu=$(wait_window Form2)
click_at "$menu" 74 219      # Command7
wait_until 20 test -s "$work/viewer" || fail "the viewer was never started"
click_at "$menu" 170 443     # Command63, back
intro=$(wait_window Form1)
wait_until 10 window_gone Form2 || fail "the menu window stayed after going back"
click_at "$intro" 84 331     # Command1, exit
wait_until 10 program_ended || fail "the exit button did not end the program"
wait "$program" || fail "the program ended with status $?"

if grep -E 'mkdir(at)?\(.*\) = 0' "$work/trace"; then fail "a folder was made"; fi
[ -z "$(ls -A "$TMPDIR")" ] || fail "something was made in TMPDIR: $(ls -A "$TMPDIR")"
[ ! -e "$work/dbus-launch-ran" ] || fail "dbus-launch was started"
if grep -E 'execve\("[^"]*(dbus-launch|dbus-daemon)"' "$work/trace"; then fail "a session bus was launched"; fi
started=$(grep -oE 'execve\("[^"]*"' "$work/trace" | sed 's/execve("//; s/"$//' | sort -u)
unexpected=$(grep -vxE "$velodane|$work/bin/soffice|/usr/bin/(readlink|mv)" <<<"$started" || true)
[ -z "$unexpected" ] || fail "programs started besides the viewer: $unexpected"
grep -qx "TMPDIR=$TMPDIR" "$work/viewer" || fail "the viewer's environment: $(cat "$work/viewer")"
grep -qx 'XDG_RUNTIME_DIR=unset' "$work/viewer" || fail "the viewer's environment: $(cat "$work/viewer")"
grep -qx 'stdout=/dev/null' "$work/viewer" && grep -qx 'stderr=/dev/null' "$work/viewer" ||
    fail "the viewer's standard streams: $(cat "$work/viewer")"

# Started with standard error closed, as some launchers start programs, and
# with all three closed: the window comes up (Qt's warnings about the
# missing runtime folder go to /dev/null, not into the display connection)
# and the exit button answers.
for closed in '2>&-' '<&- >&- 2>&-'; do
    eval "\"\$velodane\" $closed &"
    program=$!
    pids+=($program)
    intro=$(wait_window Form1)
    click_at "$intro" 84 331 # Command1, exit
    wait_until 10 program_ended || fail "started with $closed, the program did not end by its exit button"
    wait "$program" || fail "started with $closed, the program ended with status $?"
done
echo "1 passed, 0 failed"
