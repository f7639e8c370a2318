# Driving Velodane.exe's windows under Wine with real input, on top of the
# Windows tests' harness (../windows/wine_lib.sh).
source "$(dirname "${BASH_SOURCE[0]}")/../windows/wine_lib.sh"

# A command that fails where no check expected it says where.
trap 'echo "FAIL: $0 line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR

# Thai in the system's own boxes (message boxes, tooltips) through font
# linking, as Windows has it, and the prefix's dots per inch.
link_thai_font() {
    local font
    for font in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'Segoe UI'; do
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$font" \
            /t REG_MULTI_SZ /d 'Loma.ttf,Loma' /f >/dev/null 2>&1
    done
    wineserver -w
}
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
}

# Starts the program in the background; its exit status goes to
# $wine_work/status when it ends.
start_program() {
    rm -f "$wine_work/status"
    ("$WINE_LOADER" "$@" >>"$wine_work/program.log" 2>&1; echo $? >"$wine_work/status") &
    wine_pids+=($!)
}
program_ended() { [ -s "$wine_work/status" ]; }
exit_status() { cat "$wine_work/status"; }

window_shown() { [ -n "$(window_of "$1")" ]; }
window_gone() { ! window_shown "$1"; }
wait_window() { wait_window_title "$1" 60; }

# The window's place on the screen: sets X, Y, WIDTH, HEIGHT.
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }

# A real click at a point of a window, in its own pixels.
click_at() {
    geometry "$1"
    xdotool mousemove $((X + $2)) $((Y + $3))
    sleep 0.2
    xdotool click 1
}

# The pointer moved onto a point of a window, and a pixel further.
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
