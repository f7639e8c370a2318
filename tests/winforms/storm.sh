#!/usr/bin/env bash
# Velodane.exe under a storm of seeded random real input: pointer moves and
# clicks anywhere over the shown window, Tab, Shift+Tab, Space, Enter and
# Alt+F4. No Word is registered; .doc opens in a stand-in viewer, and only
# the odd groups' documents exist, so that a group click opens its document
# or fails with the report at random. After every event exactly one window
# is shown (with or without a report over it), or the program has ended;
# then it is started again. VELODANE_STORM_SEED replays a run.
#
#   storm.sh <Velodane.exe> <stand_in_viewer.exe> [events]
source "$(dirname "$0")/ui.sh"
exe=$1 viewer=$2 events=${3:-100}
seed=${VELODANE_STORM_SEED:-$RANDOM}
echo "storm seed $seed ($events events)"
RANDOM=$seed

wine_for_exe "$exe"
start_display
make_prefix
link_thai_font
documents="$WINEPREFIX/drive_c/Program Files/Velodane"
mkdir -p "$documents"
for n in $(seq 1 2 61); do echo "group $n" >"$documents/vd$n.doc"; done
printf 'REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.doc]\n@="VelodaneStorm.Document"\n[HKEY_CLASSES_ROOT\\VelodaneStorm.Document\\shell\\open\\command]\n@="\\"%s\\" \\"%s\\" \\"%%1\\""\n' \
    "$(windows_path "$viewer" | sed 's/\\/\\\\/g')" "$(windows_path "$wine_work/viewer.log" | sed 's/\\/\\\\/g')" \
    >"$wine_work/doc.reg"
wine reg import "$(windows_path "$wine_work/doc.reg")" >/dev/null 2>&1 || fail "could not associate .doc"

shown() { local n=0 w; for w in Form1 Form2; do window_shown "$w" && n=$((n + 1)); done; echo $n; }
runs=0 reports=0
for ((event = 1; event <= events; event++)); do
    if ((runs == 0)) || program_ended; then
        start_program "$exe"
        wait_window Form1 >/dev/null
        runs=$((runs + 1))
    fi
    window=$(window_of Form2)
    [ -n "$window" ] || window=$(window_of Form1)
    [ -n "$window" ] || { sleep 0.5; window=$(window_of Form2); [ -n "$window" ] || window=$(window_of Form1); }
    geometry "$window"
    case $((RANDOM % 10)) in
    0 | 1 | 2) xdotool mousemove $((X + RANDOM % WIDTH)) $((Y + RANDOM % HEIGHT)) ;;
    3 | 4 | 5) xdotool mousemove $((X + RANDOM % WIDTH)) $((Y + RANDOM % HEIGHT)) click 1 ;;
    6) xdotool key Tab ;;
    7) xdotool key shift+Tab ;;
    8) xdotool key $([ $((RANDOM % 2)) = 0 ] && echo space || echo Return) ;;
    9) ((RANDOM % 8 == 0)) && xdotool key alt+F4 || xdotool key Return ;;
    esac
    sleep 0.4
    window_shown Velodane && reports=$((reports + 1))
    count=$(shown)
    if ! program_ended && [ "$count" != 1 ]; then
        sleep 1 # a transition may still be on its way
        count=$(shown)
        program_ended || [ "$count" = 1 ] || fail "event $event (seed $seed): $count windows shown"
    fi
done
echo "storm: $events events, $runs program runs, $reports events with a report shown: one window every time"
