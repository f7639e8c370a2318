#!/usr/bin/env bash
# Velodane.exe under Wine, driven with real input: navigation and ending in
# every way the program can end, the look of both windows measured on their
# pixels at 96 and 144 dpi, the caption line following the pointer, the
# keyboard's focus order, and a group click with no word processor.
#
#   forms.sh <Velodane.exe> <probe.exe> <look_check.exe> [screenshot folder]
source "$(dirname "$0")/ui.sh"
exe=$1 probe_exe=$2 look_exe=$3 shots=${4:-}
work=$wine_work
wine_for_exe "$exe"
bits=$([ "$(pe_machine "$exe")" = 14c ] && echo 32 || echo 64)

probe() { wine_run 30 "$probe_exe" "$@" 2>>"$work/wine.log"; }
look_check() {
    wine_run 30 "$look_exe" "$1" "$(windows_path "$2")" "$3" 2>>"$work/wine.log" ||
        fail "the $1 window at $3 dpi does not look as designed (screenshot $2)"
}
focused() { probe focus | cut -f2,3; }
# The focus reaches the control named so, within a few seconds of the key:
# a loaded machine can be slower than any one sleep.
focus_is() { [ "$(focused | cut -f1)" = "$1" ]; }
focus_reaches() { wait_until 5 focus_is "$1"; }
press() {
    xdotool key "$@"
    sleep 0.3
}
keep_shot() { [ -z "$shots" ] || convert "ppm:$1" "$shots/$2"; }

start_display 1280x1024
make_prefix
link_thai_font
set_dpi 96
xdotool mousemove 0 0  # away from where the windows appear

# --- Start, the intro window, the keyboard -------------------------------
WINEDEBUG=-all,+loaddll start_program "$exe"
intro=$(wait_window Form1)
expect_32bit "$exe"
# What the program's thread loaded.
program_says() {
    local tid
    tid=$(grep -m1 -o '^[0-9a-f]*:trace:loaddll:.*Velodane\.exe' "$wine_work/program.log" | cut -d: -f1)
    grep "^$tid:" "$wine_work/program.log" | grep -E "$1"
}
# Shown with the system's libraries only: the picture loader, the shell, the
# common controls and the accessibility library come when first needed. (Not
# ole32: Wine's input-method library enters COM as any window is activated.)
! program_says 'Loaded .*(oleaut32|shell32|comctl32|oleacc|windowscodecs)' ||
    fail "loaded before the intro window was shown: $(program_says 'Loaded ')"
# A screen reader's first request is answered with the window's own object
# (what it tells is read back by the toolkit's own checks, tst_win32_toolkit,
# in the process of the windows they build).
probe ask Form1 || fail "the intro window did not answer a request for its accessible object with its own"
program_says 'Loaded .*oleacc' >/dev/null || fail "the accessibility library was not loaded to answer"
geometry "$intro"
[ "$WIDTH x $HEIGHT" = "547 x 355" ] || fail "the intro window is $WIDTH x $HEIGHT"
[ "$X,$Y" = "366,334" ] || fail "the intro window is at $X,$Y, not centred"
sleep 0.5
shoot "$intro" "$work/intro.ppm"
look_check intro "$work/intro.ppm" 96
keep_shot "$work/intro.ppm" windows-intro.png
# The exit button holds the focus; Tab, Shift+Tab walk the two buttons.
[ "$(focused)" = $'\t1 310 166 43' ] || fail "first focus: $(focused)"
press Tab
[ "$(focused)" = $'\t378 310 166 43' ] || fail "after Tab: $(focused)"
press shift+Tab
press Tab
# Space presses the focused enter button.
press space
menu=$(wait_window Form2)
wait_until 10 window_gone Form1 || fail "the intro window stayed after entering the menu"
geometry "$menu"
[ "$WIDTH x $HEIGHT" = "700 x 474" ] || fail "the menu window is $WIDTH x $HEIGHT"
[ "$(probe label)" = "" ] || fail "the caption line starts with: $(probe label)"

# --- The menu window: look, focus order -----------------------------------
xdotool mousemove 0 0
sleep 0.5
shoot "$menu" "$work/menu.ppm"
look_check menu "$work/menu.ppm" 96
keep_shot "$work/menu.ppm" windows-menu.png
[ "$(focused | cut -f1)" = "กลุ่มชุดดินที่ 1" ] || fail "first focus in the menu: $(focused)"
for step in 2 3 10 11 12 20 21 59 60 61 62 63 64 1; do
    press Tab
    case $step in
    61 | 62) want=" กลุ่ม   ชุด    ดิน   ที่   $step" ;;
    63) want="กลับหน้าหลัก" ;;
    64) want="ออกจากโปรแกรม" ;;
    *) want="กลุ่มชุดดินที่ $step" ;;
    esac
    focus_reaches "$want" || fail "Tab to $step reached: $(focused)"
    # Walk the rest of the way between the steps checked.
    case $step in 3) press Tab Tab Tab Tab Tab Tab ;; 12) press Tab Tab Tab Tab Tab Tab Tab ;; 21) for _ in $(seq 37); do xdotool key Tab; done; sleep 0.3 ;; esac
done
press shift+Tab
focus_reaches "ออกจากโปรแกรม" || fail "Shift+Tab from group 1 reached: $(focused)"
press shift+Tab
press shift+Tab
focus_reaches " กลุ่ม   ชุด    ดิน   ที่   62" || fail "Shift+Tab reached: $(focused)"

# --- The caption line follows the pointer ---------------------------------
# Points in the menu window's own pixels: groups by column and row, 61/62,
# the frame around the block, the banner, the caption line, back and exit.
caption_after() {
    point_at "$menu" "$1" "$2"
    local got
    got=$(probe label)
    [ "$got" = "$3" ] || fail "pointer at ($1, $2): the caption line reads '$got', not '$3'"
}
caption_after 274 81 "กลุ่มชุดดินที่ 23"
caption_after 10 10 ""
caption_after 74 219 "กลุ่มชุดดินที่ 7"
caption_after 640 100 "กลุ่มชุดดินที่ 61"
caption_after 400 350 ""
caption_after 640 250 "กลุ่มชุดดินที่ 62"
caption_after 100 390 ""
caption_after 574 290 "กลุ่มชุดดินที่ 60"
caption_after 200 440 "กลุ่มชุดดินที่ 60"
caption_after 530 440 "กลุ่มชุดดินที่ 60"
caption_after 349 440 "กลุ่มชุดดินที่ 60"
caption_after 690 310 ""
point_at "$menu" 274 81
shoot "$menu" "$work/hover.ppm"
keep_shot "$work/hover.ppm" windows-menu-hover.png
wine_run 30 "$look_exe" menu "$(windows_path "$work/hover.ppm")" 96 >/dev/null 2>&1 &&
    fail "the caption line looks empty while it names group 23"

# --- A group click with no Word and no document: the report, then go on ---
click_at "$menu" 74 219
wait_until 20 window_shown Velodane || fail "no failure report after a group click"
report_says() { probe box | grep -qF "$1"; }
wait_until 10 report_says 'หมายเลข 5174' || fail "the report does not give 5174: $(probe box)"
report=$(probe box) || fail "the report went away before it was read"
grep -qF 'c:\Program Files\Velodane\vd7.doc' <<<"$report" || fail "the report does not name the document: $report"
grep -qx 'ตกลง' <<<"$report" || fail "the report's button is not Thai: $report"
press Return
wait_until 10 window_gone Velodane || fail "Enter did not dismiss the report"
caption_after 374 81 "กลุ่มชุดดินที่ 33"

# --- Back, enter again, exit ----------------------------------------------
click_at "$menu" 170 440
intro=$(wait_window Form1)
wait_until 10 window_gone Form2 || fail "the menu window stayed after going back"
click_at "$intro" 461 331
menu=$(wait_window Form2)
[ "$(probe label)" = "" ] || fail "the caption line kept its text: $(probe label)"
# The pointer over the intro window made its tooltips: the common controls,
# loaded by the program at their first call, answered it.
program_says 'Loaded .*comctl32' >/dev/null || fail "no tooltips made: the common controls were never loaded"
click_at "$menu" 530 443
wait_until 15 program_ended || fail "the menu's exit button did not end the program"
[ "$(exit_status)" = 0 ] || fail "exit status $(exit_status) after the exit button"

# --- Other ways to end ----------------------------------------------------
# The pointer over the photograph alone wants no tooltip, nor the common
# controls; over a button it does.
: >"$wine_work/program.log"
WINEDEBUG=-all,+loaddll start_program "$exe"
intro=$(wait_window Form1)
xdotool mousemove --window "$intro" 270 150 sleep 0.2 mousemove --window "$intro" 280 160
sleep 0.5
! program_says 'Loaded .*comctl32' >/dev/null || fail "the common controls loaded with the pointer over the photograph"
click_at "$intro" 83 331
wait_until 15 program_ended || fail "the intro's exit button did not end the program"
[ "$(exit_status)" = 0 ] || fail "exit status $(exit_status) after the intro's exit button"
program_says 'Loaded .*comctl32' >/dev/null || fail "no tooltips made with the pointer over the exit button"

start_program "$exe"
intro=$(wait_window Form1)
press Return
wait_until 15 program_ended || fail "Enter right after start did not end the program"

for window in Form1 Form2; do
    start_program "$exe"
    intro=$(wait_window Form1)
    [ "$window" = Form2 ] && { click_at "$intro" 461 331; wait_window Form2 >/dev/null; }
    press alt+F4
    wait_until 15 program_ended || fail "Alt+F4 in $window did not end the program"
    [ "$(exit_status)" = 0 ] || fail "exit status $(exit_status) after Alt+F4 in $window"
done

# --- 144 dpi: twips are physical, the windows grow by half ---------------
set_dpi 144
: >"$wine_work/program.log"
WINEDEBUG=-all,+loaddll start_program "$exe"
intro=$(wait_window Form1)
geometry "$intro"
[ "$WIDTH x $HEIGHT" = "821 x 533" ] || fail "at 144 dpi the intro window is $WIDTH x $HEIGHT"
sleep 0.5
shoot "$intro" "$work/intro144.ppm"
look_check intro "$work/intro144.ppm" 144
keep_shot "$work/intro144.ppm" windows-intro-144dpi.png
click_at "$intro" 690 497
menu=$(wait_window Form2)
geometry "$menu"
[ "$WIDTH x $HEIGHT" = "1050 x 711" ] || fail "at 144 dpi the menu window is $WIDTH x $HEIGHT"
xdotool mousemove 0 0
sleep 0.5
shoot "$menu" "$work/menu144.ppm"
look_check menu "$work/menu144.ppm" 144
keep_shot "$work/menu144.ppm" windows-menu-144dpi.png
press alt+F4
wait_until 15 program_ended || fail "Alt+F4 at 144 dpi did not end the program"
[ "$(exit_status)" = 0 ] || fail "exit status $(exit_status) after Alt+F4 at 144 dpi"
# The photograph at other dpis is decoded by the system's picture loader,
# which the program loads at its first call.
program_says 'Loaded .*oleaut32' >/dev/null || fail "at 144 dpi the picture loader was never loaded"

# --- 120 and 192 dpi: both windows with their pictures, and a clean end -----
for dpi in 120 192; do
    set_dpi $dpi
    start_program "$exe"
    intro=$(wait_window Form1)
    geometry "$intro"
    [ "$WIDTH" -gt 547 ] || fail "at $dpi dpi the intro window is $WIDTH x $HEIGHT"
    click_at "$intro" $((461 * dpi / 96)) $((331 * dpi / 96))
    menu=$(wait_window Form2)
    # At 192 dpi the menu (1,400 x 948 as designed) is built smaller, to fit
    # the 1,280 x 1,024 screen.
    geometry "$menu"
    ((X >= 0 && Y >= 0 && X + WIDTH <= 1280 && Y + HEIGHT <= 1024)) ||
        fail "at $dpi dpi the menu window is $WIDTH x $HEIGHT at $X,$Y: not on the 1280 x 1024 screen"
    point_at "$menu" $((274 * WIDTH / 700)) $((81 * HEIGHT / 474))
    [ "$(probe label)" = "กลุ่มชุดดินที่ 23" ] || fail "at $dpi dpi the caption line reads '$(probe label)'"
    press alt+F4
    wait_until 15 program_ended || fail "Alt+F4 at $dpi dpi did not end the program"
    [ "$(exit_status)" = 0 ] || fail "exit status $(exit_status) after Alt+F4 at $dpi dpi"
done
# --- No Thai font at all: the captions still show, in a plain face ---------
# A prefix that sees only this machine's fonts without Thai letters.
wineserver -k 2>/dev/null || true
wineserver -w
rm -rf "$WINEPREFIX"
mkdir -p "$work/latin/fonts"
comm -23 <(fc-list --format '%{file}\n' | sort -u) <(fc-list :lang=th --format '%{file}\n' | sort -u) |
    while read -r font; do ln -sf "$font" "$work/latin/fonts/"; done
printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' \
    "$work/latin/fonts" "$work/latin/cache" >"$work/latin/fonts.conf"
export FONTCONFIG_FILE=$work/latin/fonts.conf
make_prefix
start_program "$exe"
intro=$(wait_window Form1)
click_at "$intro" 461 331
menu=$(wait_window Form2)
xdotool mousemove 0 0
sleep 0.5
shoot "$menu" "$work/menu-latin.ppm"
keep_shot "$work/menu-latin.ppm" windows-menu-no-thai-font.png
# The black pixels in the middle of a group button's face (its text).
ink_at() {
    convert "ppm:$work/menu-latin.ppm" -crop "80x13+$(($1 - 40))+$(($2 - 6))" +repage -fuzz 35% \
        -fill white +opaque black -format '%[fx:int(w*h*(1-mean)+0.5)]' info:
}
for point in "74 35 1" "74 139 5" "74 288 10" "574 288 60"; do
    read -r x y group <<<"$point"
    [ "$(ink_at "$x" "$y")" -gt 10 ] || fail "with no Thai font, group $group shows no caption ($(ink_at "$x" "$y") pixels of text)"
done
press alt+F4
wait_until 15 program_ended || fail "Alt+F4 with no Thai font did not end the program"

echo "Velodane.exe ($bits-bit, in a ${WINEARCH#win}-bit prefix) under Wine: navigation, look at 96 and 144 dpi, 120 and 192 dpi, caption line, keyboard, report, no Thai font: all passed"
