#!/usr/bin/env bash
# installer.sh setup|wow64 <velodane-sampledocs> <velodane-setup-1.00.exe> <Velodane.exe> <fake_word_server.exe>
#
# The shipped Windows setup program (as scripts/windows makes it, around the
# shipped 32-bit Velodane.exe) under Wine, in a fresh prefix of its own with
# its own virtual display; everything is removed at the end. In both modes
# the installed program is started from where the setup put it, enters its
# menu, a group click reaches the word processor (our test server registered
# as "word.Application") with that group's document, and its exit button
# ends it.
#
# setup: a 32-bit prefix (32-bit Windows). Silent install next to a user's
#   own documents, silent uninstall after the user changed a sample; then
#   install twice over and uninstall, which leaves nothing behind.
# wow64: a 64-bit prefix (64-bit Windows, the 32-bit setup and program under
#   WoW64): the documents land in the 64-bit "C:\Program Files\Velodane", not
#   in "Program Files (x86)", and the entry in the 64-bit registry.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../display_lib.sh"

mode=$1
sampledocs=$2
setup=$3
exe=$4
word_server=$5
shortcut_name="คำอธิบายกลุ่มชุดดิน"
display_name="คำอธิบายกลุ่มชุดดิน (Velodane)"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velodane'

fatal() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in Xvfb xdotool iconv strings; do
    command -v "$tool" >/dev/null || fatal "$tool is not installed (scripts/test installs what this test needs)"
done
for file in "$setup" "$exe" "$word_server"; do
    [ -f "$file" ] || fatal "no $file: scripts/windows makes it (scripts/test runs it)"
done
# Wine comes from the tests' Wine root (scripts/wine), through commands
# named wine, wine64 and wineserver in the run's own folder.
run_in_root=$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine
why32=$("$run_in_root" /usr/lib/wine/wine --version 2>&1) ||
    fatal "the 32-bit Wine of the tests' Wine root doesn't run ($(tail -n1 <<<"$why32")), so the 32-bit setup can't be tested here (scripts/test makes the root)"

case "$mode" in
setup)
    arch=win32 loader=wine
    echo "The shipped 32-bit setup in a 32-bit prefix."
    ;;
wow64)
    # The 64-bit loader hands a 32-bit program to the 32-bit one.
    arch=win64 loader=wine64
    echo "The shipped 32-bit setup in a 64-bit (WoW64) prefix."
    ;;
*)
    echo "usage: $0 setup|wow64 <velodane-sampledocs> <setup.exe> <Velodane.exe> <fake_word_server.exe>" >&2
    exit 2
    ;;
esac

work=$(mktemp -d)
"$run_in_root" --commands "$work/bin"
loader=$work/bin/$loader server=$work/bin/wineserver
xvfb=""
program=""
cleanup() {
    if [ -d "$work/prefix" ]; then
        "$server" -k 2>/dev/null || true
        timeout 30 "$server" -w 2>/dev/null || true
    fi
    [ -n "$program" ] && kill "$program" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

mkdir "$work/reference"
"$sampledocs" "$work/reference" >/dev/null

start_xvfb "$work" || fatal "Xvfb did not start: $(cat "$work/xvfb.log")"
xvfb=$xvfb_pid

export WINEPREFIX="$work/prefix" WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
timeout 120 "$loader" wineboot -i >"$work/wineboot.log" 2>&1 || fatal "wineboot failed: $(tail -n5 "$work/wineboot.log")"
timeout 60 "$server" -w
"$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# One program kept running for the whole test keeps the prefix's services up:
# each Wine command after it starts in about a second instead of four.
mkfifo "$work/hold"
"$loader" cmd /c pause <"$work/hold" >/dev/null 2>&1 &
exec 4>"$work/hold"

drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Velodane"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/$shortcut_name.lnk"

# reg query's output, Thai included (Wine writes it in the Thai code page
# under a Thai locale).
reg_query() { LC_ALL=th_TH.UTF-8 "$loader" reg query "$@" 2>/dev/null | iconv -f CP874 -t UTF-8 | tr -d '\r'; }
# A value out of a key's reg query output: value_of <output> <name>.
value_of() { sed -n "s/^ *$2 \{4\}REG_[A-Z_]* \{4\}//p" <<<"$1"; }
reg_has_key() { "$loader" reg query "$@" >/dev/null 2>&1; }

run_setup() {
    timeout 120 "$loader" "$setup" /S
}
# The uninstaller copies itself to a temporary folder, starts the copy and
# returns; the copy's last step removes the key HKLM\Software\Velodane.
run_uninstaller() {
    timeout 60 "$loader" 'C:\Program Files\Velodane\Uninstall.exe' /S || return 1
    wait_until 60 eval '! reg_has_key "HKLM\\Software\\Velodane"' || echo "the uninstaller did not finish within 60 s" >&2
    sleep 0.5
}

sample_same() { cmp -s "$folder/vd$1.doc" "$work/reference/vd$1.doc"; }
# Groups whose sample the setup wrote (vd5.doc and VD9.DOC are the user's).
written_groups() {
    local n
    for n in $(seq 1 62); do [ "$n" = 5 ] || [ "$n" = 9 ] || echo "$n"; done
}
all_written_samples_present() {
    local n
    for n in $(written_groups); do sample_same "$n" || return 1; done
}
all_samples_present() {
    local n
    for n in $(seq 1 62); do sample_same "$n" || return 1; done
}
count_named() { find "$folder" -maxdepth 1 -iname "$1" | wc -l; }

# Our test server as "word.Application", as Word registers itself: in the
# registry's 32-bit view, the one a 32-bit program reads (on 64-bit Windows
# the 32-bit reg.exe writes there).
word_clsid='{75581102-42CF-4CF0-B8F5-9C78CE8E4805}'
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
register_word() {
    local command reg=reg
    [ "$arch" = win64 ] && reg='C:\windows\syswow64\reg.exe'
    command="\"$(winpath "$word_server")\" \"$(winpath "$work/word.log")\" \"$(winpath "$work/word.control")\""
    printf 'ok\n' >"$work/word.control"
    printf 'REGEDIT4\n\n[HKEY_CLASSES_ROOT\\word.Application\\CLSID]\n@="%s"\n[HKEY_CLASSES_ROOT\\CLSID\\%s\\LocalServer32]\n@="%s"\n' \
        "$word_clsid" "$word_clsid" "$(sed 's/\\/\\\\/g; s/"/\\"/g' <<<"$command")" >"$work/word.reg"
    "$loader" "$reg" import "$(winpath "$work/word.reg")" >/dev/null 2>&1
}
opened_in_word() { grep -qF ".documents Open \"$1\" (method)" "$work/word.log" 2>/dev/null; }

# Started from the folder the setup put it in: the intro window, Enter, a
# click on group 7 reaching Word with its document, the exit button.
installed_program_works() {
    local window=""
    register_word || { fail "could not register the test server as word.Application"; return; }
    (cd "$work" && exec "$loader" 'C:\Program Files\Velodane\Velodane.exe') >"$work/velodane.log" 2>&1 &
    program=$!
    find_window() { window=$(window_of "$1") && [ -n "$window" ]; }
    click_window() { # a real click at a point of a window, in its own pixels
        eval "$(xdotool getwindowgeometry --shell "$1")"
        xdotool mousemove $((X + $2)) $((Y + $3))
        sleep 0.3
        xdotool click 1
    }
    wait_until 30 find_window Form1 ||
        { fail "the installed program showed no intro window: $(cat "$work/velodane.log")"; return; }
    echo "ok: the installed program shows its intro window"
    click_window "$window" 461 331
    wait_until 30 find_window Form2 || { fail "its enter button showed no menu: $(cat "$work/velodane.log")"; return; }
    echo "ok: its enter button shows the menu"
    click_window "$window" 74 219
    check "a click on group 7 opens vd7.doc in Word" wait_until 30 opened_in_word 'c:\Program Files\Velodane\vd7.doc'
    click_window "$window" 530 443
    if wait_until 20 eval '! kill -0 $program 2>/dev/null'; then
        wait "$program" && echo "ok: its exit button ends it" || fail "the program ended with status $?"
    else
        fail "the exit button did not end the program"
    fi
}

if [ "$mode" = wow64 ]; then
    run_setup || fatal "the silent setup ended with status $?"
    check "Velodane.exe in the 64-bit C:\\Program Files\\Velodane" cmp -s "$folder/Velodane.exe" "$exe"
    check "the 62 samples beside it" all_written_samples_present
    check "nothing in Program Files (x86)" test ! -e "$drive/Program Files (x86)/Velodane"
    check "the entry in the 64-bit registry" reg_has_key "$uninstall_key" /reg:64
    check "no entry in the 32-bit registry" eval '! reg_has_key "$uninstall_key" /reg:32'
    check "the shortcut" test -f "$shortcut"
    installed_program_works
    program=""
    run_uninstaller || fatal "the silent uninstall failed"
    check "the folder removed" test ! -e "$folder"
    check "the entry removed" eval '! reg_has_key "$uninstall_key" /reg:64'
    [ $failures -eq 0 ] || exit 1
    echo "all passed"
    exit 0
fi

# --- A user's documents already there; silent install -----------------------
mkdir -p "$folder"
printf '{\\rtf1 my own description of group 5}\n' >"$folder/vd5.doc"
printf '{\\rtf1 my own description of group 9}\n' >"$folder/VD9.DOC"
cp -p "$folder/vd5.doc" "$work/own5" && cp -p "$folder/VD9.DOC" "$work/own9"

run_setup || fatal "the silent setup ended with status $?"
check "Velodane.exe installed" cmp -s "$folder/Velodane.exe" "$exe"
check "the uninstaller installed" test -f "$folder/Uninstall.exe"
check "the 60 missing samples written, each the generator's" all_written_samples_present
check "the user's vd5.doc unchanged" cmp -s "$folder/vd5.doc" "$work/own5"
check "the user's VD9.DOC unchanged, and no second vd9.doc" \
    eval 'cmp -s "$folder/VD9.DOC" "$work/own9" && [ "$(count_named vd9.doc)" = 1 ]'
check "exactly the 62 documents and the two programs" \
    eval '[ "$(find "$folder" -mindepth 1 | wc -l)" = 64 ]'
if [ "$arch" = win64 ]; then
    check "nothing in Program Files (x86)" test ! -e "$drive/Program Files (x86)/Velodane"
fi

check "the Start-menu shortcut" test -f "$shortcut"
check "the shortcut starts the installed Velodane.exe" \
    eval 'strings -e l "$shortcut" | grep -qF "C:\\Program Files\\Velodane\\Velodane.exe"'

entry=$(reg_query "$uninstall_key")
check "the entry's name" [ "$(value_of "$entry" DisplayName)" = "$display_name" ]
check "the entry's version" [ "$(value_of "$entry" DisplayVersion)" = 1.00 ]
check "the entry's publisher" [ "$(value_of "$entry" Publisher)" = "Velodane Project" ]
check "the entry's icon" [ "$(value_of "$entry" DisplayIcon)" = 'C:\Program Files\Velodane\Velodane.exe,0' ]
check "the entry's uninstaller" [ "$(value_of "$entry" UninstallString)" = '"C:\Program Files\Velodane\Uninstall.exe"' ]
# The uninstaller speaks the setup's language, Thai (1054) unless chosen otherwise.
check "the setup's language, Thai, kept for the uninstaller" \
    [ "$(value_of "$(reg_query 'HKLM\Software\Velodane' /v InstallerLanguage)" InstallerLanguage)" = 1054 ]
# The size is that of what the setup put there, in KiB rounded up.
bytes=$(($(stat -c %s "$folder/Velodane.exe") + $(stat -c %s "$folder/Uninstall.exe")))
for n in $(written_groups); do bytes=$((bytes + $(stat -c %s "$folder/vd$n.doc"))); done
kib=$(((bytes + 1023) / 1024))
shown=$(value_of "$entry" EstimatedSize)
check "the entry's size, $kib KiB" [ "$((shown))" = "$kib" ]

# --- The installed program, started from where the setup put it -----------
installed_program_works
program=""

# --- The user changes a sample and adds a file; silent uninstall ----------
printf '\n{\\rtf1 notes of the user}' >>"$folder/vd7.doc"
cp -p "$folder/vd7.doc" "$work/changed7"
printf 'notes\n' >"$folder/notes.txt"

run_uninstaller || fatal "the silent uninstall failed"
check "Velodane.exe removed" test ! -e "$folder/Velodane.exe"
check "the uninstaller removed" test ! -e "$folder/Uninstall.exe"
check "the shortcut removed" test ! -e "$shortcut"
check "the entry removed" eval '! reg_has_key "$uninstall_key"'
check "the list of installed samples removed" eval '! reg_has_key "HKLM\\Software\\Velodane"'
check "the user's vd5.doc kept unchanged" cmp -s "$folder/vd5.doc" "$work/own5"
check "the user's VD9.DOC kept unchanged" cmp -s "$folder/VD9.DOC" "$work/own9"
check "the changed sample vd7.doc kept unchanged" cmp -s "$folder/vd7.doc" "$work/changed7"
check "the user's notes.txt kept" test -f "$folder/notes.txt"
check "every unchanged sample removed, nothing else" \
    eval '[ "$(cd "$folder" && ls | sort | tr "\n" " ")" = "VD9.DOC notes.txt vd5.doc vd7.doc " ]'

# --- Without the user's files: install twice over, uninstall ---------------
# The second setup finds every sample in place and keeps it; the uninstaller
# still knows them as installed, and the folder goes with the last of them.
rm -f "$folder/vd5.doc" "$folder/VD9.DOC" "$folder/vd7.doc" "$folder/notes.txt"
run_setup || fatal "the first setup of the second round ended with status $?"
run_setup || fatal "the setup over an installed Velodane ended with status $?"
check "all 62 samples after installing twice" all_samples_present
run_uninstaller || fatal "the second silent uninstall failed"
check "the folder removed with the last sample" test ! -e "$folder"
check "the entry removed again" eval '! reg_has_key "$uninstall_key"'

if [ $failures -ne 0 ]; then
    echo "$failures failed" >&2
    exit 1
fi
echo "all passed"
