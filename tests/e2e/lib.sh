# Shared by the end-to-end tests: a private virtual display, a private home,
# and the real program driven with real input.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../display_lib.sh"

velodane=$1
sampledocs=$2
work=$(mktemp -d)
pids=()
tracer=()

cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    show_failure_screen
    [ -f "$work/velodane.log" ] && sed 's/^/velodane: /' "$work/velodane.log" >&2
    exit 1
}

start_display() {
    start_xvfb "$work" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    pids+=("$xvfb_pid")
}

# A home of our own, with the documents folder in place.
make_home() {
    export HOME="$work/home"
    export XDG_DATA_HOME="$HOME/.local/share"
    export XDG_CONFIG_HOME="$HOME/.config"
    export XDG_RUNTIME_DIR="$work/runtime"
    unset WINEPREFIX XDG_DATA_DIRS
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    documents="$XDG_DATA_HOME/velodane/drive_c/Program Files/Velodane"
    "$sampledocs" "$documents" >/dev/null
}

# Waits for the program's window of that title and prints its id.
wait_window() {
    local id="" i
    for ((i = 0; i < 300; i++)); do
        id=$(window_of "$1")
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || fail "window $1 never appeared"
    echo "$id"
}

window_gone() { [ -z "$(window_of "$1")" ]; }

# A real click at a point of a window, in its own pixels.
click_at() {
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.2
    xdotool click 1
}

# A stand-in for the word processor, on PATH: it keeps its arguments in
# $work/viewer-args.
viewer_stand_in() {
    mkdir -p "$work/bin"
    cat >"$work/bin/soffice" <<SH
#!/bin/sh
printf '%s\n' "\$@" > "$work/viewer-args.tmp" && mv "$work/viewer-args.tmp" "$work/viewer-args"
SH
    chmod +x "$work/bin/soffice"
    export PATH="$work/bin:/usr/bin:/bin"
}

start_program() {
    "${tracer[@]}" "$velodane" >"$work/velodane.log" 2>&1 &
    program=$!
    pids+=($program)
}

program_running() { kill -0 "$program" 2>/dev/null; }
program_ended() { ! program_running; }

# Ends the processes started with our private home (the word processor the
# program launched, which outlives it by design).
kill_our_processes() {
    local env pid
    for env in /proc/[0-9]*/environ; do
        pid=${env#/proc/}
        pid=${pid%/environ}
        case "$(cat "/proc/$pid/comm" 2>/dev/null)" in
        soffice* | oosplash) ;;
        *) continue ;;
        esac
        if tr '\0' '\n' <"$env" 2>/dev/null | grep -qxF "HOME=$HOME"; then
            kill "$pid" 2>/dev/null || true
        fi
    done
}
