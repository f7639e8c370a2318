# Shared by the tests of the Windows build: a private virtual display and one
# private Wine prefix per test run, torn down at the end whatever happens.
#
#   source wine_lib.sh
#   wine_for_exe "$exe"          # picks the Wine loader and prefix kind for that program
#                                # (Wine from the tests' Wine root, scripts/wine)
#   start_display                # Xvfb on a free display, DISPLAY set
#   make_prefix                  # a settled prefix in the run's folder, WINEPREFIX set
#   wine_run 20 "$exe" args...   # runs a program, at most 20 s, its output on stdout
#   run_exe_bg "$exe" args...    # starts a program in the background (pid in $last_pid,
#                                # output in $wine_work/program.log)
#   wait_window_title TITLE [s]  # waits for a visible window of that title, prints its id
#   fail "what went wrong"       # reports (with a screenshot) and ends the test
#   expect_32bit "$exe"          # fails unless that program runs as 32-bit, natively or emulated
# The run's own folder is $wine_work; everything in it is removed at the end.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../display_lib.sh"

wine_work=$(mktemp -d "${TMPDIR:-/tmp}/velodane-wine.XXXXXX")
wine_root_run=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine
wine_pids=()
WINE_LOADER=""

wine_cleanup() {
    local p
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        # Wine doesn't notice a dead COM client: end every process of the prefix.
        timeout 20 wineserver -k 2>/dev/null || true
        timeout 20 wineserver -w 2>/dev/null || true
    fi
    for p in "${wine_pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$wine_work"
}
trap wine_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    show_failure_screen
    exit 1
}

# The machine type of a Windows program: 14c (32-bit x86) or 8664 (x86-64).
pe_machine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ' | sed 's/^0*//'
}

# Chooses the Wine loader and prefix kind for programs like exe. The prefix
# is a 32-bit Windows (win32) or a 64-bit one (win64), as VELODANE_WINE_PREFIX
# says (win32 unless set); in a 64-bit one a 32-bit program runs under WoW64,
# as on most users' machines. Wine is the tests' Wine root's (scripts/wine),
# reached through commands named wine, wine64 and wineserver put first on
# PATH. A test that can't run here fails and says why.
wine_for_exe() {
    local kind=${VELODANE_WINE_PREFIX:-win32} machine loader why
    machine=$(pe_machine "$1")
    case "$machine:$kind" in
    14c:win32) loader=wine ;;
    14c:win64 | 8664:win64) loader=wine64 ;; # hands 32-bit programs to the 32-bit loader
    8664:win32) fail "$1 is a 64-bit program: it can't run on 32-bit Windows" ;;
    *:win32 | *:win64) fail "$1 is not a Windows program for x86" ;;
    *) fail "VELODANE_WINE_PREFIX is $kind, not win32 or win64" ;;
    esac
    export WINEARCH=$kind
    "$wine_root_run" --commands "$wine_work/bin"
    export PATH="$wine_work/bin:$PATH"
    WINE_LOADER=$wine_work/bin/$loader
    why=$("$WINE_LOADER" --version 2>&1) || fail "the Wine root's $loader doesn't run ($why): scripts/test makes the root"
    [ "$machine" != 14c ] || why=$("$wine_work/bin/wine" --version 2>&1) ||
        fail "the Wine root's 32-bit Wine doesn't run ($why), so the 32-bit $1 can't be tested here"
    export WINELOADER=/usr/lib/wine/$loader
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# A virtual display of its own, 1024 x 768 unless a size is given.
start_display() {
    start_xvfb "$wine_work" "${1:-1024x768}" || fail "Xvfb did not start: $(cat "$wine_work/xvfb.log")"
    wine_pids+=("$xvfb_pid")
}

# A new prefix, settled before anything else runs in it (COM activation can
# hang right after wineboot otherwise), whose windows need no window manager.
make_prefix() {
    [ -n "$WINE_LOADER" ] || fail "make_prefix before wine_for_exe"
    export WINEPREFIX="$wine_work/prefix"
    export HOME="$wine_work/home"
    mkdir -p "$HOME"
    { wine wineboot -i && wineserver -w; } >"$wine_work/wineboot.log" 2>&1 ||
        fail "wineboot failed: $(tail -5 "$wine_work/wineboot.log")"
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
        fail "could not set the X11 driver's Managed=N"
    wineserver -w
}

# A Linux path as Wine's drive Z: sees it.
windows_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# Runs a program under Wine for at most the given seconds; its output on stdout.
wine_run() {
    local seconds=$1
    shift
    timeout "$seconds" "$WINE_LOADER" "$@"
}

# Its output goes to $wine_work/program.log; it is ended after
# $wine_bg_timeout seconds (240 unless set) if it hasn't ended by then.
run_exe_bg() {
    timeout "${wine_bg_timeout:-240}" "$WINE_LOADER" "$@" >>"$wine_work/program.log" 2>&1 &
    last_pid=$!
    wine_pids+=("$last_pid")
}

wait_window_title() {
    local title=$1 seconds=${2:-30} id="" i
    for ((i = 0; i < seconds * 10; i++)); do
        id=$(window_of "$title")
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || fail "window $title never appeared"
    echo "$id"
}

# How the Wine root's running processes whose command line names $1 run x86
# code: "32-bit native" (a 32-bit program run by the kernel itself), "32-bit
# emulated" (the emulator that the root registers for 32-bit programs), or
# anything else as what it is. One line for each such process.
process_bits() {
    local pid exe emulator root command
    root=$("$wine_root_run" --root)
    emulator=$(sed -n 's/^interpreter //p' /proc/sys/fs/binfmt_misc/velodane-i386 2>/dev/null || true)
    for pid in /proc/[0-9]*; do
        pid=${pid#/proc/}
        exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
        # Seen from outside the command's mount namespace, a path may come
        # with the folders above this machine's root (a fresh machine tried in
        # a chroot): the root's own part ends it.
        case "$exe" in *"$root"/*) ;; *) continue ;; esac
        command=$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) || continue
        [[ "$command" == *"$1"* ]] || continue
        if [ -n "$emulator" ] && [[ "$exe" == *"$emulator" ]]; then
            echo "32-bit emulated"
        elif [ "$(od -An -tu1 -j4 -N1 "/proc/$pid/exe" 2>/dev/null | tr -d ' ')" = 1 ]; then
            echo "32-bit native"
        else
            echo "not 32-bit ($exe)"
        fi
    done
}

# Fails unless every running process of program $1 runs as a 32-bit one,
# natively or emulated, and says which.
expect_32bit() {
    local bits
    bits=$(process_bits "$(basename "$1")" | sort -u)
    [ -n "$bits" ] || fail "no running process of $1 was found"
    [ "$bits" = "32-bit native" ] || [ "$bits" = "32-bit emulated" ] ||
        fail "$1 did not run as a 32-bit process: $bits"
    echo "$(basename "$1") runs as a $bits process"
}
